#include "JsonText.h"

#include <array>
#include <cstdio>

#include "Utf8.h"

namespace ombrix {

namespace {

// Bytes that stand for themselves in a JSON string: printable ASCII but the quote and backslash.
constexpr auto kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x7F; ++c)
        plain[std::size_t(c)] = c != '"' && c != '\\';
    return plain;
}();

void appendEscape(std::string& out, unsigned code)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
    out += buffer;
}

}  // namespace

void appendJsonString(std::string& out, std::string_view bytes)
{
    out += '"';
    // Plain printable ASCII, by far the most of any name, is copied in runs.
    std::size_t plain = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (kPlain[c]) {
            ++i;
            continue;
        }
        out.append(bytes.substr(plain, i - plain));
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c < 0x80) {
            appendEscape(out, c);
            ++i;
        } else if (const std::size_t length = utf8SequenceLength(bytes, i); length == 0) {
            appendEscape(out, 0xDC00 + c);
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
        plain = i;
    }
    out.append(bytes.substr(plain));
    out += '"';
}

std::string jsonString(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 2);
    appendJsonString(out, bytes);
    return out;
}

}  // namespace ombrix
