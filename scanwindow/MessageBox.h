#pragma once

#include <string>

namespace ombrix {

// The program's message boxes: modal, OK button only, no icon, titled "Ombrix".
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Returns once the user has answered.
    virtual void show(const std::string& text) = 0;
};

}  // namespace ombrix
