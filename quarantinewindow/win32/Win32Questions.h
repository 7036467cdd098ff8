#pragma once

#include "Questions.h"

namespace ombrix {

// MessageBoxA and the common save dialog over the program's active window.
class Win32Questions final : public Questions {
public:
    bool confirm(const std::string& text) override;
    std::optional<std::string> saveAs(const std::string& title, const std::string& suggestedPath) override;
};

}  // namespace ombrix
