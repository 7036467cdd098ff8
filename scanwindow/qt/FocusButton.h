#pragma once

#include <QPushButton>

namespace ombrix {

// A push button whose keyboard focus shows plainly: a ring in the highlight
// colour inside its edge, where most styles draw only a faint outline.
class FocusButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ombrix
