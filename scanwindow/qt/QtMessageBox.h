#pragma once

#include "MessageBox.h"

namespace ombrix {

// Centred over the window the user works in, application-modal when there is none.
class QtMessageBox final : public MessageBox {
public:
    void show(const std::string& text) override;
};

}  // namespace ombrix
