#pragma once

#include <string>
#include <string_view>

namespace ombrix {

// Bytes of a name as a terminal may be given them. Every byte that a terminal
// could act on (C0 and C1 controls, DEL, and bytes that are not part of a valid
// UTF-8 character) is written as an escape the way `ls -b` writes it (\r, \t,
// \033, \351), and a backslash is doubled, so the exact bytes can still be told.
// Without `utf8` every byte above 0x7F is escaped, since an 8-bit terminal may
// take one of them for a control.
std::string terminalText(std::string_view bytes, bool utf8);

}  // namespace ombrix
