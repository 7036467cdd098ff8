#include "BuddyLabel.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

namespace ombrix {

void BuddyLabel::setBox(QAbstractButton* box)
{
    box_ = box;
    setBuddy(box);
    box->installEventFilter(this);
}

bool BuddyLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == box_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
    return QLabel::eventFilter(watched, event);
}

void BuddyLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (box_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        box_->click();
    QLabel::mouseReleaseEvent(event);
}

void BuddyLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!box_ || !box_->hasFocus())
        return;
    // The text underlined in the highlight colour, which every style shows plainly.
    QPainter painter(this);
    const int width = std::min(fontMetrics().horizontalAdvance(text()), contentsRect().width());
    const int y = std::min(fontMetrics().height() + 1, height() - 2);
    painter.fillRect(QRect(contentsRect().left(), y, width, 2), palette().color(QPalette::Highlight));
}

}  // namespace ombrix
