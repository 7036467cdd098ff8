#pragma once

#include <QCheckBox>

namespace ombrix {

// An option's check box. A click leaves its state to the window, which knows
// where a click leads (never back to grey) and shows the value it keeps.
class OptionCheckBox final : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
};

}  // namespace ombrix
