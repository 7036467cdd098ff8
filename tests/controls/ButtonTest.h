#pragma once

#include "PictureBox.h"
#include "RecordingSurface.h"
#include "VarnoButton.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ombrix::test {

// The one application object the widget tests need; never destroyed.
QApplication& testApplication();

// Writes every event into a journal, and lets a test change the key codes.
class JournalEvents final : public VarnoButtonEvents {
public:
    explicit JournalEvents(std::vector<std::string>& journal);

    std::function<void(int16_t& KeyCode)> changeKeyDown;
    std::function<void(int16_t& KeyCode)> changeKeyUp;

    void Click() override;
    void DblClick() override;
    void KeyDown(int16_t& KeyCode, int16_t& Shift) override;
    void KeyPress(int16_t& KeyAscii) override;
    void KeyUp(int16_t& KeyCode, int16_t& Shift) override;
    void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
    void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) override;
    void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) override;

private:
    void mouse(const char* name, int16_t button, int16_t shift, float x, float y);

    std::vector<std::string>& journal_;
};

// A new button (InitProperties has run) 100 by 30 pixels, that is 1500 by 450
// twips, drawing on a recording surface. The journal gets "paint down" or
// "paint up" at every repaint and a line for every event.
class ButtonTest : public ::testing::Test {
protected:
    ButtonTest();

    // Replaces the button with a new one.
    void newButton();
    // Resizes the button the way a holder's layout does.
    void sizeTo(int width, int height);
    void focus(bool in);
    void key(QEvent::Type type, Qt::Key key, const QString& text = {}, bool autoRepeat = false);
    // Presses and releases a key.
    void tap(Qt::Key key, const QString& text);
    // A mouse event at a pixel position of target (the button when null).
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton, QWidget* target = nullptr);
    // The button's picture element.
    PictureBox& picture1() const;

    RecordingSurface* surface = nullptr;  // owned by button
    std::unique_ptr<VarnoButton> button;
    std::vector<std::string> journal;
    JournalEvents events{journal};
};

}  // namespace ombrix::test
