#include "QuarantineRecord.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <vector>

namespace ombrix::quarantine {

namespace {

constexpr std::string_view kRecordEnd = ".entry";
constexpr std::string_view kHeldEnd = ".held";
constexpr std::string_view kPartEnd = ".part";
constexpr std::string_view kFirstLine = "ombrix-quarantine 1";
constexpr std::string_view kLastLine = "end";

// Paths are bytes: a line end or any control byte in them is written as an
// escape, so every record line is one line whatever the path holds.
std::string escaped(std::string_view text)
{
    constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7f) {
            out += "\\x";
            out.push_back(kDigits[byte >> 4]);
            out.push_back(kDigits[byte & 0xf]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            out.push_back('\\');
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x') {
            unsigned value = 0;
            const auto [end, error] = std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16);
            if (error != std::errc() || end != text.data() + i + 4)
                return std::nullopt;
            out.push_back(char(value));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

template <typename Number>
bool readNumber(std::string_view text, Number& number)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string RecordName(const std::string& id)
{
    return id + std::string(kRecordEnd);
}

std::string HeldName(const std::string& id)
{
    return id + std::string(kHeldEnd);
}

std::string PartName(const std::string& id)
{
    return id + std::string(kPartEnd);
}

bool IsId(std::string_view text)
{
    const auto idByte = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
    };
    return !text.empty() && std::all_of(text.begin(), text.end(), idByte);
}

std::string IdOfRecord(std::string_view name)
{
    if (!name.ends_with(kRecordEnd) || !IsId(name.substr(0, name.size() - kRecordEnd.size())))
        return {};
    return std::string(name.substr(0, name.size() - kRecordEnd.size()));
}

bool IsPartName(std::string_view name)
{
    return name.ends_with(kPartEnd);
}

std::string NewId(std::int64_t takenAt, std::uint64_t random)
{
    using namespace std::chrono;
    const sys_seconds time{seconds(takenAt / 1000000000)};
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[48];
    std::snprintf(text, sizeof text, "%04d%02u%02uT%02d%02d%02dZ-%012llx", int(date.year()), unsigned(date.month()),
                  unsigned(date.day()), int(clock.hours().count()), int(clock.minutes().count()),
                  int(clock.seconds().count()), static_cast<unsigned long long>(random & 0xffffffffffffULL));
    return text;
}

namespace {

void appendLine(std::string& text, std::string_view name, const std::string& value)
{
    text.append(name).append(" ").append(value).append("\n");
}

void appendFacts(std::string& text, const Entry& e)
{
    appendLine(text, "size", std::to_string(e.size));
    appendLine(text, "mode", std::to_string(e.mode));
    appendLine(text, "owner", escaped(e.owner));
    appendLine(text, "group", escaped(e.group));
    appendLine(text, "modified", std::to_string(e.times.modified));
    appendLine(text, "accessed", std::to_string(e.times.accessed));
    appendLine(text, "changed", std::to_string(e.times.changed));
}

}  // namespace

std::string RecordStart(const Entry& e)
{
    std::string text(kFirstLine);
    text.push_back('\n');
    appendLine(text, "path", escaped(e.originalPath));
    appendLine(text, "threat", escaped(e.threat));
    appendLine(text, "list-version", escaped(e.listVersion));
    appendLine(text, "road", escaped(e.road));
    appendLine(text, "program", escaped(e.program));
    appendLine(text, "taken", std::to_string(e.takenAt));
    appendFacts(text, e);
    return text;
}

std::string RecordEnd(const Entry& held)
{
    std::string text;
    appendFacts(text, held);
    appendLine(text, "sha256", held.sha256);
    return text.append(kLastLine).append("\n");
}

std::optional<Entry> ParseRecord(std::string_view text, bool complete)
{
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            break;
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    const bool ended = !lines.empty() && lines.back() == kLastLine;
    if (lines.empty() || lines.front() != kFirstLine || (complete && !ended))
        return std::nullopt;
    Entry e;
    bool valid = true;
    for (std::size_t i = 1; i < lines.size() - (ended ? 1 : 0) && valid; ++i) {
        const std::string_view line = lines[i];
        const std::size_t blank = line.find(' ');
        const std::string_view name = line.substr(0, blank);
        const std::string_view raw = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
        const std::optional<std::string> value = unescaped(raw);
        valid = value.has_value();
        if (!valid)
            break;
        if (name == "path") {
            // No path holds a NUL byte: one would cut the path short where the system reads it.
            valid = value->find('\0') == std::string::npos;
            e.originalPath = *value;
        } else if (name == "size")
            valid = readNumber(raw, e.size);
        else if (name == "sha256")
            e.sha256 = *value;
        else if (name == "mode")
            valid = readNumber(raw, e.mode);
        else if (name == "owner")
            e.owner = *value;
        else if (name == "group")
            e.group = *value;
        else if (name == "modified")
            valid = readNumber(raw, e.times.modified);
        else if (name == "accessed")
            valid = readNumber(raw, e.times.accessed);
        else if (name == "changed")
            valid = readNumber(raw, e.times.changed);
        else if (name == "threat")
            e.threat = *value;
        else if (name == "list-version")
            e.listVersion = *value;
        else if (name == "road")
            e.road = *value;
        else if (name == "program")
            e.program = *value;
        else if (name == "taken")
            valid = readNumber(raw, e.takenAt);
    }
    if (!valid || e.originalPath.empty())
        return std::nullopt;
    return e;
}

}  // namespace ombrix::quarantine
