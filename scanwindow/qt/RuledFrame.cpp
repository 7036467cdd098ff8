#include "RuledFrame.h"

#include <QPainter>

namespace ombrix {

void RuledFrame::addRule(int x1, int y, int x2)
{
    rules_.append(QLine(x1, y, x2 - 1, y));
    update();
}

void RuledFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    // Etched: a dark line with a light one below it, as a sunken line frame draws.
    for (const QLine& rule : rules_) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(rule);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(rule.translated(0, 1));
    }
}

}  // namespace ombrix
