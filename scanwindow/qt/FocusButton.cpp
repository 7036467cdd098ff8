#include "FocusButton.h"

#include <QPainter>

namespace ombrix {

void FocusButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawRect(QRectF(rect()).adjusted(3, 3, -3, -3));
}

}  // namespace ombrix
