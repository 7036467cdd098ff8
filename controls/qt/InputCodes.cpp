#include "VarnoButton/InputCodes.h"

#include <QKeyEvent>

#include <iconv.h>
#include <langinfo.h>

#include <array>
#include <utility>

namespace ombrix {

namespace {

// Keys whose virtual-key code differs from their Qt code. Symbols take the
// code of the US key that types them, shifted or not.
constexpr std::pair<int, int16_t> kKeyCodes[] = {
    {Qt::Key_Cancel, 3},          {Qt::Key_Backspace, 8},     {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},         {Qt::Key_Clear, 12},        {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},          {Qt::Key_Shift, 16},        {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},            {Qt::Key_AltGr, 18},        {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},       {Qt::Key_Escape, 27},       {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},       {Qt::Key_End, 35},          {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},           {Qt::Key_Up, 38},           {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},           {Qt::Key_Select, 41},       {Qt::Key_Execute, 43},
    {Qt::Key_Print, 44},          {Qt::Key_Insert, 45},       {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},           {Qt::Key_ParenRight, 48},   {Qt::Key_Exclam, 49},
    {Qt::Key_At, 50},             {Qt::Key_NumberSign, 51},   {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53},        {Qt::Key_AsciiCircum, 54},  {Qt::Key_Ampersand, 55},
    {Qt::Key_Asterisk, 56},       {Qt::Key_ParenLeft, 57},    {Qt::Key_Meta, 91},
    {Qt::Key_Super_L, 91},        {Qt::Key_Super_R, 92},      {Qt::Key_Menu, 93},
    {Qt::Key_Sleep, 95},          {Qt::Key_NumLock, 144},     {Qt::Key_ScrollLock, 145},
    {Qt::Key_Back, 166},          {Qt::Key_Forward, 167},     {Qt::Key_Refresh, 168},
    {Qt::Key_Stop, 169},          {Qt::Key_Search, 170},      {Qt::Key_Favorites, 171},
    {Qt::Key_HomePage, 172},      {Qt::Key_VolumeMute, 173},  {Qt::Key_VolumeDown, 174},
    {Qt::Key_VolumeUp, 175},      {Qt::Key_MediaNext, 176},   {Qt::Key_MediaPrevious, 177},
    {Qt::Key_MediaStop, 178},     {Qt::Key_MediaTogglePlayPause, 179}, {Qt::Key_LaunchMail, 180},
    {Qt::Key_LaunchMedia, 181},   {Qt::Key_Launch0, 182},     {Qt::Key_Launch1, 183},
    {Qt::Key_Semicolon, 186},     {Qt::Key_Colon, 186},       {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},          {Qt::Key_Comma, 188},       {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},         {Qt::Key_Underscore, 189},  {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},       {Qt::Key_Slash, 191},       {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},     {Qt::Key_AsciiTilde, 192},  {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},     {Qt::Key_Backslash, 220},   {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},  {Qt::Key_BraceRight, 221},  {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
};

// Keypad keys have codes of their own.
int16_t keypadCode(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return int16_t(96 + key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;  // the decimal separator, whatever the layout prints
    case Qt::Key_Slash: return 111;
    default: return 0;
    }
}

int16_t tableCode(int key)
{
    for (const auto& [qtKey, code] : kKeyCodes) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

constexpr int16_t kUnknownCharacter = '?';

// The one byte codeset gives c, or kUnknownCharacter.
int16_t singleByteCode(char32_t c, const QByteArray& codeset)
{
    const iconv_t converter = iconv_open(codeset.constData(), "UTF-32LE");
    if (converter == iconv_t(-1))
        return kUnknownCharacter;
    const std::array<char, 4> in{char(c & 0xFF), char((c >> 8) & 0xFF), char((c >> 16) & 0xFF), char(c >> 24)};
    std::array<char, 8> out{};
    char* inPtr = const_cast<char*>(in.data());
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    const bool converted = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
    iconv_close(converter);
    if (!converted || outPtr - out.data() != 1)
        return kUnknownCharacter;
    return int16_t(static_cast<unsigned char>(out[0]));
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
    if (const int16_t code = tableCode(key))
        return code;
    return event.text().isEmpty() ? KeyCode::Unmapped : KeyCode::Character;
}

QList<int16_t> ansiCodes(const QString& text, const QByteArray& codeset)
{
    const bool latin1 = codeset.compare("UTF-8", Qt::CaseInsensitive) == 0
        || codeset.compare("utf8", Qt::CaseInsensitive) == 0;
    QList<int16_t> codes;
    for (const char32_t c : text.toUcs4()) {
        if (latin1)
            codes.append(c < 256 ? int16_t(c) : kUnknownCharacter);
        else
            codes.append(singleByteCode(c, codeset));
    }
    return codes;
}

QList<int16_t> ansiCodes(const QString& text)
{
    return ansiCodes(text, QByteArray(nl_langinfo(CODESET)));
}

int16_t shiftBits(Qt::KeyboardModifiers modifiers)
{
    return int16_t((modifiers & Qt::ShiftModifier ? ShiftBit::Shift : 0)
                   | (modifiers & Qt::ControlModifier ? ShiftBit::Ctrl : 0)
                   | (modifiers & Qt::AltModifier ? ShiftBit::Alt : 0));
}

int16_t buttonBits(Qt::MouseButtons buttons)
{
    return int16_t((buttons & Qt::LeftButton ? MouseBit::Left : 0) | (buttons & Qt::RightButton ? MouseBit::Right : 0)
                   | (buttons & Qt::MiddleButton ? MouseBit::Middle : 0));
}

}  // namespace ombrix
