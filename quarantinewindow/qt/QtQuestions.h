#pragma once

#include "Questions.h"

namespace ombrix {

// QMessageBox and QFileDialog over the window the user works in.
class QtQuestions final : public Questions {
public:
    bool confirm(const std::string& text) override;
    std::optional<std::string> saveAs(const std::string& title, const std::string& suggestedPath) override;
};

}  // namespace ombrix
