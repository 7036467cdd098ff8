// VarnoButton: Qt's focus, keyboard and mouse events turned into the core's input.

#include "VarnoButton/VarnoButton.h"

#include "VarnoButton/InputCodes.h"
#include "VarnoButton/PictureBox.h"

#include <VarnoButton/Twips.h>
#include <VarnoButton/VarnoButtonCore.h>

#include <QKeyEvent>
#include <QMouseEvent>

namespace ombrix {

bool VarnoButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Enter and Space press this button before any shortcut of the window.
        if (VarnoButtonCore::pressesButton(virtualKeyCode(static_cast<QKeyEvent&>(*event)))) {
            event->accept();
            return true;
        }
        break;
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent*>(event)->shortcutId() == mnemonic_) {
            setFocus(Qt::ShortcutFocusReason);
            core_->UserControl_Click();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void VarnoButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    core_->UserControl_GotFocus();
}

void VarnoButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    core_->UserControl_LostFocus();
}

void VarnoButton::keyPressEvent(QKeyEvent* event)
{
    const int16_t keyCode = virtualKeyCode(*event);
    core_->UserControl_KeyDown(keyCode, shiftBits(event->modifiers()));
    for (const int16_t keyAscii : ansiCodes(event->text()))
        core_->UserControl_KeyPress(keyAscii);
    // Keys the button does not use go on to the window (Escape, arrows);
    // Enter and Space stop here, so a dialog's default button stays still.
    if (!VarnoButtonCore::pressesButton(keyCode))
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
    core_->UserControl_KeyUp(keyCode, shiftBits(event->modifiers()));
    if (!VarnoButtonCore::pressesButton(keyCode))
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
    VarnoButtonCore& core = *core_;
    const bool onPicture = &receiver == picture1_;
    const int16_t shift = shiftBits(event.modifiers());
    const float x = float(event.position().x()) * kTwipsPerPixel;
    const float y = float(event.position().y()) * kTwipsPerPixel;
    const auto down = [&](int16_t button) {
        if (onPicture)
            core.Picture1_MouseDown(button, shift, x, y);
        else
            core.UserControl_MouseDown(button, shift, x, y);
    };

    switch (event.type()) {
    case QEvent::MouseButtonPress:
        clickPending_ = true;
        down(buttonBits(event.button()));
        break;
    case QEvent::MouseButtonDblClick:
        clickPending_ = false;
        down(buttonBits(event.button()));
        core.UserControl_DblClick();
        break;
    case QEvent::MouseMove:
        if (onPicture)
            core.Picture1_MouseMove(buttonBits(event.buttons()), shift, x, y);
        else
            core.UserControl_MouseMove(buttonBits(event.buttons()), shift, x, y);
        break;
    case QEvent::MouseButtonRelease: {
        const bool click = clickPending_ && receiver.rect().contains(event.position().toPoint());
        clickPending_ = false;
        if (onPicture)
            core.Picture1_MouseUp(buttonBits(event.button()), shift, x, y);
        else
            core.UserControl_MouseUp(buttonBits(event.button()), shift, x, y);
        if (click)
            core.UserControl_Click();
        break;
    }
    default:
        break;
    }
}

}  // namespace ombrix
