#include "JsonText.h"

#include <cstdio>

#include "Utf8.h"

namespace ombrix {

namespace {

void appendEscape(std::string& out, unsigned code)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
    out += buffer;
}

}  // namespace

std::string jsonString(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += char(c);
            } else if (c < 0x20 || c == 0x7F) {
                appendEscape(out, c);
            } else {
                out += char(c);
            }
            ++i;
            continue;
        }
        const std::size_t length = utf8SequenceLength(bytes, i);
        if (length == 0) {
            appendEscape(out, 0xDC00 + c);
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    out += '"';
    return out;
}

}  // namespace ombrix
