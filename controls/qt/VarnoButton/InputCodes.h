#pragma once

#include <VarnoButton/KeyCodes.h>

#include <Qt>
#include <QByteArray>
#include <QList>

#include <cstdint>

class QKeyEvent;
class QString;

namespace ombrix {

// Qt's input reported in the codes VarnoButton's events carry.

// The virtual-key code of the key: 13 Enter, 32 Space, 65 to 90 the letters,
// and for a symbol the code of the key that types it on a US keyboard ("!"
// and "1" are 49, "+" and "=" 187); otherwise KeyCode::Character or KeyCode::Unmapped.
int16_t virtualKeyCode(const QKeyEvent& event);

// The codes of the characters text types, one per character, in the 8-bit
// text encoding of codeset: Latin-1 (the first 256 characters) when codeset
// is UTF-8, else the codeset's one-byte code. A character the encoding cannot
// hold ("€" in Latin-1, a Cyrillic letter outside KOI8-R or CP1251) is 63,
// "?", as an 8-bit Windows program receives it.
QList<int16_t> ansiCodes(const QString& text, const QByteArray& codeset);
// The same in the encoding of the current locale.
QList<int16_t> ansiCodes(const QString& text);

// Bits 1 Shift, 2 Ctrl, 4 Alt.
int16_t shiftBits(Qt::KeyboardModifiers modifiers);

// Bits 1 left, 2 right, 4 middle.
int16_t buttonBits(Qt::MouseButtons buttons);

}  // namespace ombrix
