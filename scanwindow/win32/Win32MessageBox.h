#pragma once

#include "MessageBox.h"

namespace ombrix {

// MessageBoxA over the program's active window: OK only, no icon, "Ombrix".
class Win32MessageBox final : public MessageBox {
public:
    void show(const std::string& text) override;
};

}  // namespace ombrix
