#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QMouseEvent>

namespace ombrix {

// Text that belongs to a check box (its buddy): a click on the text is a
// click on the box, and screen readers see the text as the box's label.
class BuddyLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        auto* box = qobject_cast<QAbstractButton*>(buddy());
        if (box && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            box->click();
        QLabel::mouseReleaseEvent(event);
    }
};

}  // namespace ombrix
