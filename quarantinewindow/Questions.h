#pragma once

#include <optional>
#include <string>

namespace ombrix {

// The questions the quarantine window asks before it acts; modal, titled "Ombrix".
class Questions {
public:
    virtual ~Questions() = default;
    // Yes or No; true for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // A save dialog that starts at `suggestedPath`: the path chosen, or nothing
    // when the user cancelled.
    virtual std::optional<std::string> saveAs(const std::string& title, const std::string& suggestedPath) = 0;
};

}  // namespace ombrix
