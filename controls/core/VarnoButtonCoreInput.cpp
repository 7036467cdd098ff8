// VarnoButtonCore: focus, keyboard and mouse, and the events they raise.
// Each event goes to the holder's handler first, then to the skin.

#include "VarnoButton/KeyCodes.h"
#include "VarnoButton/VarnoButtonCore.h"

namespace ombrix {

bool VarnoButtonCore::pressesButton(int16_t keyCode)
{
    return keyCode == KeyCode::Enter || keyCode == KeyCode::Space;
}

void VarnoButtonCore::UserControl_GotFocus()
{
    hasFocus_ = true;
    UserControl_Paint();
}

void VarnoButtonCore::UserControl_LostFocus()
{
    hasFocus_ = false;
    UserControl_Paint();
}

void VarnoButtonCore::UserControl_Click()
{
    if (events_)
        events_->Click();
    host_.Click();
}

void VarnoButtonCore::UserControl_DblClick()
{
    if (events_)
        events_->DblClick();
    host_.DblClick();
}

void VarnoButtonCore::UserControl_KeyDown(int16_t KeyCode, int16_t Shift)
{
    if (events_)
        events_->KeyDown(KeyCode, Shift);
    host_.KeyDown(KeyCode, Shift);
    // The holder's handler may have changed the key.
    if (pressesButton(KeyCode)) {
        if (behavior_ != 1)
            putButtonDown(true);
        UserControl_Paint();
    }
}

void VarnoButtonCore::UserControl_KeyPress(int16_t KeyAscii)
{
    if (events_)
        events_->KeyPress(KeyAscii);
    host_.KeyPress(KeyAscii);
}

void VarnoButtonCore::UserControl_KeyUp(int16_t KeyCode, int16_t Shift)
{
    if (events_)
        events_->KeyUp(KeyCode, Shift);
    host_.KeyUp(KeyCode, Shift);
    if (pressesButton(KeyCode)) {
        putButtonDown(behavior_ == 1 ? !buttonDown_ : false);
        UserControl_Paint();
        UserControl_Click();
    }
}

void VarnoButtonCore::UserControl_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    if (behavior_ != 1)
        putButtonDown(true);
    UserControl_Resize();
    UserControl_Paint();
    if (events_)
        events_->MouseDown(Button, Shift, X, Y);
    host_.MouseDown(Button, Shift, X, Y);
}

void VarnoButtonCore::UserControl_MouseMove(int16_t Button, int16_t Shift, float X, float Y)
{
    if (events_)
        events_->MouseMove(Button, Shift, X, Y);
    host_.MouseMove(Button, Shift, X, Y);
}

void VarnoButtonCore::UserControl_MouseUp(int16_t Button, int16_t Shift, float X, float Y)
{
    putButtonDown(behavior_ == 1 ? !buttonDown_ : false);
    UserControl_Resize();
    UserControl_Paint();
    if (events_)
        events_->MouseUp(Button, Shift, X, Y);
    host_.MouseUp(Button, Shift, X, Y);
}

// Input on the picture is input on the button, at the button's coordinates.

void VarnoButtonCore::Picture1_MouseDown(int16_t Button, int16_t Shift, float X, float Y)
{
    UserControl_MouseDown(Button, Shift, X + picture1_.Left(), Y + picture1_.Top());
}

void VarnoButtonCore::Picture1_MouseMove(int16_t Button, int16_t Shift, float X, float Y)
{
    UserControl_MouseMove(Button, Shift, X + picture1_.Left(), Y + picture1_.Top());
}

void VarnoButtonCore::Picture1_MouseUp(int16_t Button, int16_t Shift, float X, float Y)
{
    UserControl_MouseUp(Button, Shift, X + picture1_.Left(), Y + picture1_.Top());
}

}  // namespace ombrix
