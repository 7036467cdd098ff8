#include "InputCodes.h"

#include <QKeyEvent>

#include <array>
#include <utility>

namespace ombrix {

namespace {

// Keys whose virtual-key code differs from their Qt code.
constexpr std::array<std::pair<int, int16_t>, 36> kKeyCodes{{
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},        {Qt::Key_Backtab, 9},
    {Qt::Key_Return, 13},    {Qt::Key_Enter, 13},     {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},   {Qt::Key_Alt, 18},       {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},  {Qt::Key_Escape, 27},    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},  {Qt::Key_End, 35},       {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},      {Qt::Key_Up, 38},        {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},      {Qt::Key_Print, 44},     {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},    {Qt::Key_Menu, 93},      {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145}, {Qt::Key_Semicolon, 186}, {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},    {Qt::Key_Minus, 189},    {Qt::Key_Period, 190},
    {Qt::Key_Slash, 191},    {Qt::Key_QuoteLeft, 192}, {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220}, {Qt::Key_BracketRight, 221}, {Qt::Key_Apostrophe, 222},
}};

// Keypad keys have codes of their own.
int16_t keypadCode(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return int16_t(96 + key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period: return 110;
    case Qt::Key_Slash: return 111;
    default: return 0;
    }
}

}  // namespace

int16_t virtualKeyCode(const QKeyEvent& event)
{
    const int key = event.key();
    if (event.modifiers() & Qt::KeypadModifier) {
        if (const int16_t code = keypadCode(key))
            return code;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z) || key == Qt::Key_Space)
        return int16_t(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return int16_t(112 + key - Qt::Key_F1);
    for (const auto& [qtKey, code] : kKeyCodes) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

int16_t shiftBits(Qt::KeyboardModifiers modifiers)
{
    return int16_t((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
                   | (modifiers & Qt::AltModifier ? 4 : 0));
}

int16_t buttonBits(Qt::MouseButtons buttons)
{
    return int16_t((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
                   | (buttons & Qt::MiddleButton ? 4 : 0));
}

}  // namespace ombrix
