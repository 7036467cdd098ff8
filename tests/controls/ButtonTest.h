#pragma once

#include "PictureBox.h"
#include "RecordingSurface.h"
#include "VarnoButton.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace ombrix::test {

// The one application object the widget tests need; never destroyed.
QApplication& testApplication();

// Writes every event into a journal, and lets a test change the key codes.
class JournalEvents final : public VarnoButtonEvents {
public:
    explicit JournalEvents(std::vector<std::string>& journal) : journal_(journal) {}

    std::function<void(int16_t& KeyCode)> changeKeyDown = [](int16_t&) {};
    std::function<void(int16_t& KeyCode)> changeKeyUp = [](int16_t&) {};

    void Click() override { journal_.push_back("Click"); }
    void DblClick() override { journal_.push_back("DblClick"); }
    void KeyDown(int16_t& KeyCode, int16_t& Shift) override
    {
        add("KeyDown", KeyCode, Shift);
        changeKeyDown(KeyCode);
    }
    void KeyPress(int16_t& KeyAscii) override { add("KeyPress", KeyAscii); }
    void KeyUp(int16_t& KeyCode, int16_t& Shift) override
    {
        add("KeyUp", KeyCode, Shift);
        changeKeyUp(KeyCode);
    }
    void MouseDown(int16_t& Button, int16_t& Shift, float& X, float& Y) override { add("MouseDown", Button, Shift, X, Y); }
    void MouseMove(int16_t& Button, int16_t& Shift, float& X, float& Y) override { add("MouseMove", Button, Shift, X, Y); }
    void MouseUp(int16_t& Button, int16_t& Shift, float& X, float& Y) override { add("MouseUp", Button, Shift, X, Y); }

private:
    template <typename... Values>
    void add(const char* name, Values... values)
    {
        std::ostringstream line;
        line << name;
        ((line << ' ' << values), ...);
        journal_.push_back(line.str());
    }

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
    void key(QEvent::Type type, Qt::Key key, const QString& text, bool autoRepeat = false);
    // Presses and releases a key.
    void tap(Qt::Key key, const QString& text);
    // A mouse event at a pixel position of target (the button when null).
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton, QWidget* target = nullptr);
    PictureBox& picture1() const;

    RecordingSurface* surface = nullptr;  // owned by button
    std::unique_ptr<VarnoButton> button;
    std::vector<std::string> journal;
    JournalEvents events{journal};
};

}  // namespace ombrix::test
