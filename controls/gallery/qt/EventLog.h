#pragma once

#include <VarnoButton/VarnoButtonEvents.h>

#include <QPlainTextEdit>

namespace ombrix {

// The gallery's running list of the events its buttons raise, newest last.
class EventLog final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit EventLog(QWidget* parent = nullptr);

    void add(const QString& source, const QString& event);
    // Mouse moves come in floods; they are left out unless asked for.
    bool logsMouseMoves() const { return logsMouseMoves_; }
    void setLogsMouseMoves(bool on) { logsMouseMoves_ = on; }

private:
    bool logsMouseMoves_ = false;
};

// Writes every event of one button into the log, with the button's name.
class EventLogger : public VarnoButtonEvents {
public:
    EventLogger(EventLog& log, QString source);

    void Click() override;
    void DblClick() override;
    void KeyDown(int16_t& KeyCode, int16_t& Shift) override;
    void KeyPress(int16_t& KeyAscii) override;
    void KeyUp(int16_t& KeyCode, int16_t& Shift) override;
    void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
    void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
    void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) override;

private:
    void addMouse(const char* event, int16_t button, int16_t shift, float x, float y);

    EventLog& log_;
    QString source_;
};

}  // namespace ombrix
