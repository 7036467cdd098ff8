// VarnoButton: focus, keyboard and mouse, and the events they raise.

#include "VarnoButton.h"

#include "InputCodes.h"
#include "PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ombrix {

namespace {

constexpr int16_t kEnter = 13;
constexpr int16_t kSpace = 32;

bool pressesButton(int16_t keyCode)
{
    return keyCode == kEnter || keyCode == kSpace;
}

}  // namespace

void VarnoButton::UserControl_GotFocus()
{
    hasFocus_ = true;
    UserControl_Paint();
}

void VarnoButton::UserControl_LostFocus()
{
    hasFocus_ = false;
    UserControl_Paint();
}

void VarnoButton::UserControl_Click()
{
    if (events_)
        events_->Click();
    emit clicked();
}

void VarnoButton::UserControl_DblClick()
{
    if (events_)
        events_->DblClick();
    emit dblClicked();
}

void VarnoButton::UserControl_KeyDown(int16_t KeyCode, int16_t Shift)
{
    if (events_)
        events_->KeyDown(KeyCode, Shift);
    emit keyDown(KeyCode, Shift);
    // The holder's handler or a slot may have changed the key.
    if (pressesButton(KeyCode)) {
        if (behavior_ != 1)
            putButtonDown(true);
        UserControl_Paint();
    }
}

void VarnoButton::UserControl_KeyPress(int16_t KeyAscii)
{
    if (events_)
        events_->KeyPress(KeyAscii);
    emit keyPress(KeyAscii);
}

void VarnoButton::UserControl_KeyUp(int16_t KeyCode, int16_t Shift)
{
    if (events_)
        events_->KeyUp(KeyCode, Shift);
    emit keyUp(KeyCode, Shift);
    if (pressesButton(KeyCode)) {
        putButtonDown(behavior_ == 1 ? !buttonDown_ : false);
        UserControl_Paint();
        UserControl_Click();
    }
}

void VarnoButton::UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    if (behavior_ != 1)
        putButtonDown(true);
    UserControl_Resize();
    UserControl_Paint();
    if (events_)
        events_->MouseDown(Button, Shift, X, Y);
    emit mouseDown(Button, Shift, X, Y);
}

void VarnoButton::UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y)
{
    if (events_)
        events_->MouseMove(Button, Shift, X, Y);
    emit mouseMove(Button, Shift, X, Y);
}

void VarnoButton::UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y)
{
    putButtonDown(behavior_ == 1 ? !buttonDown_ : false);
    UserControl_Resize();
    UserControl_Paint();
    if (events_)
        events_->MouseUp(Button, Shift, X, Y);
    emit mouseUp(Button, Shift, X, Y);
}

// Input on the picture is input on the button, at the button's coordinates.

void VarnoButton::Picture1_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    UserControl_MouseDown(Button, Shift, X + picture1_->Left(), Y + picture1_->Top());
}

void VarnoButton::Picture1_MouseMove(int16_t Button, int16_t Shift, float X, float Y)
{
    UserControl_MouseMove(Button, Shift, X + picture1_->Left(), Y + picture1_->Top());
}

void VarnoButton::Picture1_MouseUp(int16_t Button, int16_t Shift, float X, float Y)
{
    UserControl_MouseUp(Button, Shift, X + picture1_->Left(), Y + picture1_->Top());
}

void VarnoButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    UserControl_GotFocus();
}

void VarnoButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    UserControl_LostFocus();
}

void VarnoButton::keyPressEvent(QKeyEvent* event)
{
    const int16_t keyCode = virtualKeyCode(*event);
    UserControl_KeyDown(keyCode, shiftBits(event->modifiers()));
    for (const int16_t keyAscii : ansiCodes(event->text()))
        UserControl_KeyPress(keyAscii);
    // Keys the button does not use go on to the window (Escape, arrows).
    if (!pressesButton(keyCode))
        QWidget::keyPressEvent(event);
}

void VarnoButton::keyReleaseEvent(QKeyEvent* event)
{
    const int16_t keyCode = virtualKeyCode(*event);
    // A held key repeats its press only: it is let go once.
    if (event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    UserControl_KeyUp(keyCode, shiftBits(event->modifiers()));
    if (!pressesButton(keyCode))
        QWidget::keyReleaseEvent(event);
}

void VarnoButton::mousePressEvent(QMouseEvent* event)
{
    routeMouse(*event, *this);
}

void VarnoButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    routeMouse(*event, *this);
}

void VarnoButton::mouseMoveEvent(QMouseEvent* event)
{
    routeMouse(*event, *this);
}

void VarnoButton::mouseReleaseEvent(QMouseEvent* event)
{
    routeMouse(*event, *this);
}

bool VarnoButton::eventFilter(QObject* watched, QEvent* event)
{
    // This filter runs before Qt drops input to a disabled widget, so it drops
    // it itself: a disabled button, or one in a disabled window, takes none.
    if (watched == picture1_ && isEnabled()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
            routeMouse(static_cast<QMouseEvent&>(*event), *picture1_);
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// A press and a release over the same element make a click; the second press
// of a double click presses the button and reports the double click instead,
// and its release makes no click.
void VarnoButton::routeMouse(QMouseEvent& event, const QWidget& receiver)
{
    const bool onPicture = &receiver == picture1_;
    const int16_t shift = shiftBits(event.modifiers());
    const float x = float(event.position().x()) * kTwipsPerPixel;
    const float y = float(event.position().y()) * kTwipsPerPixel;
    const auto down = [&](int16_t button) {
        if (onPicture)
            Picture1_MouseDown(button, shift, x, y);
        else
            UserControl_MouseDown(button, shift, x, y);
    };

    switch (event.type()) {
    case QEvent::MouseButtonPress:
        clickPending_ = true;
        down(buttonBits(event.button()));
        break;
    case QEvent::MouseButtonDblClick:
        clickPending_ = false;
        down(buttonBits(event.button()));
        UserControl_DblClick();
        break;
    case QEvent::MouseMove:
        if (onPicture)
            Picture1_MouseMove(buttonBits(event.buttons()), shift, x, y);
        else
            UserControl_MouseMove(buttonBits(event.buttons()), shift, x, y);
        break;
    case QEvent::MouseButtonRelease: {
        const bool click = clickPending_ && receiver.rect().contains(event.position().toPoint());
        clickPending_ = false;
        if (onPicture)
            Picture1_MouseUp(buttonBits(event.button()), shift, x, y);
        else
            UserControl_MouseUp(buttonBits(event.button()), shift, x, y);
        if (click)
            UserControl_Click();
        break;
    }
    default:
        break;
    }
}

}  // namespace ombrix
