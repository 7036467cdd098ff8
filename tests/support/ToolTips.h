#pragma once

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <QWidget>

namespace ombrix::test {

// The tooltip a user gets when the pointer rests at `place` in `widget`;
// empty when none shows.
inline QString toolTipAt(QWidget* widget, QPoint place)
{
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); }))
        return QStringLiteral("(an earlier tooltip stays)");
    QHelpEvent event(QEvent::ToolTip, place, widget->mapToGlobal(place));
    QApplication::sendEvent(widget, &event);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

}  // namespace ombrix::test
