#pragma once

#include <VarnoButton/PictureBox.h>
#include <VarnoButton/VarnoButton.h>

#include "core/RecordingSurface.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::test {

// The one application object the widget tests need; never destroyed. Key
// codes are checked under a UTF-8 locale, whatever the environment's.
QApplication& testApplication();

using Journal = std::vector<std::string>;

// Writes each signal of button into journal as a line such as "KeyDown 32 0"
// or "MouseUp 1 0 150 300".
void record(VarnoButton& button, Journal& journal);

// A new button (InitProperties has run) 100 by 30 pixels, that is 1500 by 450
// twips, in a holding window, drawing on a recording surface. The journal gets
// its signals and "paint down" or "paint up" at every repaint.
class ButtonTest : public ::testing::Test {
protected:
    ButtonTest() { newButton(); }

    // Replaces the button with a new one.
    void newButton();
    // Resizes the button the way a holder's layout does.
    void sizeTo(int width, int height);
    void send(QEvent&& event) { QApplication::sendEvent(button, &event); }
    void focus(bool in) { send(QFocusEvent(in ? QEvent::FocusIn : QEvent::FocusOut)); }
    void key(QEvent::Type type, Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = {},
             bool autoRepeat = false)
    {
        send(QKeyEvent(type, key, modifiers, text, autoRepeat));
    }
    // Presses and releases a key.
    void tap(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = {})
    {
        this->key(QEvent::KeyPress, key, text, modifiers);
        this->key(QEvent::KeyRelease, key, text, modifiers);
    }
    // A mouse event at a pixel position of the button; which is held down
    // except on release.
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton which = Qt::LeftButton);
    PictureBox& picture1() const { return *button->findChild<PictureBox*>(QStringLiteral("Picture1")); }

    QApplication& application = testApplication();
    QWidget window;
    VarnoButton* button = nullptr;        // owned by window
    RecordingSurface* surface = nullptr;  // owned by button
    Journal journal;
};

}  // namespace ombrix::test
