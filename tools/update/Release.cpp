#include "Release.h"

#include <sodium.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace ombrix::update {

namespace {

constexpr std::time_t kDay = 24 * 60 * 60;

// The UTC calendar date of `when`, by C++'s own calendar: the same on every system.
std::chrono::year_month_day utcDate(std::time_t when)
{
    return std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(std::chrono::sys_seconds(
        std::chrono::seconds(when))));
}

std::optional<std::uint64_t> number(std::string_view digits)
{
    std::uint64_t value = 0;
    if (digits.empty() || digits.front() == '+' || digits.front() == '-')
        return std::nullopt;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

// Letters, digits, '.', '_' and '-', not starting with '.': it can name nothing
// but a file beside the release, and needs no escaping in an address.
bool plainFileName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || name.front() == '.')
        return false;
    for (const char c : name)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-'))
            return false;
    return true;
}

bool lowerHex(std::string_view text, std::size_t length)
{
    if (text.size() != length)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// The largest version a list issued at `issued` may carry: the next day's date
// with the highest serial.
std::uint64_t versionCeiling(std::time_t issued)
{
    const auto day = utcDate(issued + kDay);
    if (int(day.year()) < 0)
        return kVersionCeiling;
    const std::uint64_t date = std::uint64_t(int(day.year())) * 10000 + unsigned(day.month()) * 100 + unsigned(day.day());
    return std::min(date * 100 + 99, kVersionCeiling);
}

}  // namespace

std::string UtcText(std::time_t when)
{
    const auto day = utcDate(when);
    const std::chrono::seconds sinceEpoch(when);
    const std::chrono::hh_mm_ss time(sinceEpoch - std::chrono::floor<std::chrono::days>(sinceEpoch));
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", int(day.year()), unsigned(day.month()),
                  unsigned(day.day()), int(time.hours().count()), int(time.minutes().count()),
                  int(time.seconds().count()));
    return text;
}

std::optional<std::time_t> ParseUtc(std::string_view text)
{
    // YYYY-MM-DDTHH:MM:SSZ, each part range-checked by formatting it back.
    if (text.size() != 20)
        return std::nullopt;
    const auto part = [&](std::size_t at, std::size_t length) { return number(text.substr(at, length)); };
    const auto year = part(0, 4), month = part(5, 2), day = part(8, 2);
    const auto hour = part(11, 2), minute = part(14, 2), second = part(17, 2);
    if (!year || !month || !day || !hour || !minute || !second || text[4] != '-' || text[7] != '-' ||
        text[10] != 'T' || text[13] != ':' || text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(int(*year)), std::chrono::month(unsigned(*month)),
                                           std::chrono::day(unsigned(*day))};
    if (!date.ok() || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    const std::time_t when = std::chrono::sys_days(date).time_since_epoch().count() * kDay +
                             std::time_t(*hour * 3600 + *minute * 60 + *second);
    if (UtcText(when) != text)
        return std::nullopt;
    return when;
}

std::string ReleaseText(const Release& release)
{
    return "List: " + release.listName + "\nVersion: " + std::to_string(release.version) +
           "\nDate: " + UtcText(release.issued) + "\nValid-Until: " + UtcText(release.validUntil) +
           "\nSize: " + std::to_string(release.size) + "\nSHA256: " + release.sha256 + "\n";
}

std::optional<Release> ParseRelease(std::string_view text, std::string& why)
{
    std::string_view seen[6];
    constexpr std::string_view kNames[6] = {"List", "Version", "Date", "Valid-Until", "Size", "SHA256"};
    while (!text.empty()) {
        std::string_view line = text.substr(0, text.find('\n'));
        text.remove_prefix(std::min(text.size(), line.size() + 1));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const auto colon = line.find(": ");
        if (colon == std::string_view::npos) {
            why = "a line is not \"Name: value\"";
            return std::nullopt;
        }
        for (std::size_t i = 0; i < 6; ++i) {
            if (line.substr(0, colon) != kNames[i])
                continue;
            if (seen[i].data()) {
                why = "it names \"" + std::string(kNames[i]) + "\" twice";
                return std::nullopt;
            }
            seen[i] = line.substr(colon + 2);
        }
    }
    for (std::size_t i = 0; i < 6; ++i)
        if (!seen[i].data()) {
            why = "it has no \"" + std::string(kNames[i]) + "\"";
            return std::nullopt;
        }
    const auto version = number(seen[1]);
    const auto issued = ParseUtc(seen[2]);
    const auto validUntil = ParseUtc(seen[3]);
    const auto size = number(seen[4]);
    if (!plainFileName(seen[0]))
        why = "its list name \"" + std::string(seen[0]) + "\" is not a plain file name";
    else if (!version)
        why = "its version is not a number";
    else if (!issued || !validUntil)
        why = "its dates are not of the form 2026-12-06T09:00:00Z";
    else if (!size)
        why = "its size is not a number";
    else if (!lowerHex(seen[5], 64))
        why = "its SHA256 is not 64 lower-case hex digits";
    if (!why.empty())
        return std::nullopt;
    return Release{std::string(seen[0]), *version, *issued, *validUntil, *size, std::string(seen[5])};
}

std::string ReleaseProblem(const Release& release, std::time_t now)
{
    if (release.validUntil <= release.issued)
        return "its validity ends before it begins";
    if (release.validUntil - release.issued > kMaxValidDays * kDay)
        return "it is valid for more than " + std::to_string(kMaxValidDays) + " days (until " +
               UtcText(release.validUntil) + ")";
    if (release.issued > now + kDay)
        return "it was issued in the future (" + UtcText(release.issued) + ")";
    if (now >= release.validUntil)
        return "it expired on " + UtcText(release.validUntil);
    if (release.version > versionCeiling(release.issued))
        return "its version " + std::to_string(release.version) + " is more than a day ahead of its date " +
               UtcText(release.issued);
    return {};
}

std::string Sha256Hex(std::string_view bytes)
{
    unsigned char hash[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(hash, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    char hex[2 * sizeof hash + 1];
    sodium_bin2hex(hex, sizeof hex, hash, sizeof hash);
    return hex;
}

}  // namespace ombrix::update
