#pragma once

#include <QAbstractButton>
#include <QLabel>

namespace ombrix {

// Text that belongs to a check box (its buddy): a click on the text is a
// click on the box, screen readers see the text as the box's label, and while
// the box holds the keyboard the text is marked, where the eye looks.
class BuddyLabel final : public QLabel {
public:
    using QLabel::QLabel;

    void setBox(QAbstractButton* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QAbstractButton* box_ = nullptr;
};

}  // namespace ombrix
