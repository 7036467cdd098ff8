#include "EventLog.h"

#include <QFontDatabase>

namespace ombrix {

EventLog::EventLog(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setMaximumBlockCount(500);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setPlaceholderText(tr("Press, click or type on any button: its events appear here."));
}

void EventLog::add(const QString& source, const QString& event)
{
    appendPlainText(source + QStringLiteral(": ") + event);
}

EventLogger::EventLogger(EventLog& log, QString source)
    : log_(log)
    , source_(std::move(source))
{
}

void EventLogger::Click()
{
    log_.add(source_, QStringLiteral("Click"));
}

void EventLogger::DblClick()
{
    log_.add(source_, QStringLiteral("DblClick"));
}

void EventLogger::KeyDown(int16_t& KeyCode, int16_t& Shift)
{
    log_.add(source_, QStringLiteral("KeyDown KeyCode=%1 Shift=%2").arg(KeyCode).arg(Shift));
}

void EventLogger::KeyPress(int16_t& KeyAscii)
{
    log_.add(source_, QStringLiteral("KeyPress KeyAscii=%1").arg(KeyAscii));
}

void EventLogger::KeyUp(int16_t& KeyCode, int16_t& Shift)
{
    log_.add(source_, QStringLiteral("KeyUp KeyCode=%1 Shift=%2").arg(KeyCode).arg(Shift));
}

void EventLogger::MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y)
{
    addMouse("MouseDown", Button, Shift, X, Y);
}

void EventLogger::MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y)
{
    if (log_.logsMouseMoves())
        addMouse("MouseMove", Button, Shift, X, Y);
}

void EventLogger::MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y)
{
    addMouse("MouseUp", Button, Shift, X, Y);
}

void EventLogger::addMouse(const char* event, int16_t button, int16_t shift, float x, float y)
{
    log_.add(source_, QStringLiteral("%1 Button=%2 Shift=%3 X=%4 Y=%5")
                          .arg(QLatin1String(event))
                          .arg(button)
                          .arg(shift)
                          .arg(double(x))
                          .arg(double(y)));
}

}  // namespace ombrix
