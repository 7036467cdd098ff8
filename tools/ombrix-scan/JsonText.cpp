#include "JsonText.h"

#include <array>
#include <cstdio>

namespace ombrix {

namespace {

// Length of the valid UTF-8 sequence starting at `s[i]`, or 0 when there is none.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    unsigned char min2 = 0x80, max2 = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            min2 = 0xA0;
        if (lead == 0xED)
            max2 = 0x9F;  // no UTF-16 surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            min2 = 0x90;
        if (lead == 0xF4)
            max2 = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size() || byte(i + 1) < min2 || byte(i + 1) > max2)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    return length;
}

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
