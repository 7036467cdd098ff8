#include "TerminalText.h"

#include "Utf8.h"

namespace ombrix {

namespace {

void appendEscape(std::string& out, unsigned char byte)
{
    static constexpr std::string_view kLetters = "abtnvfr";
    out += '\\';
    if (byte >= '\a' && byte <= '\r') {
        out += kLetters[byte - '\a'];
    } else {
        out += char('0' + (byte >> 6));
        out += char('0' + ((byte >> 3) & 7));
        out += char('0' + (byte & 7));
    }
}

}  // namespace

std::string terminalText(std::string_view bytes, bool utf8)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\') {
            out += "\\\\";
            ++i;
            continue;
        }
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
            ++i;
            continue;
        }
        // U+0080..U+009F, the C1 controls, are C2 80..C2 9F in UTF-8.
        const std::size_t length = utf8 && c >= 0x80 ? utf8SequenceLength(bytes, i) : 0;
        const bool c1Control = length == 2 && c == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0;
        if (length > 0 && !c1Control) {
            out.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        const std::size_t escaped = c1Control ? 2 : 1;
        for (std::size_t k = 0; k < escaped; ++k)
            appendEscape(out, static_cast<unsigned char>(bytes[i + k]));
        i += escaped;
    }
    return out;
}

}  // namespace ombrix
