#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// The small signed file published beside a signature list. It names the list and
// pins its exact bytes (size and SHA-256), says which version it is and until when
// it may be installed, so a replayed or withheld release goes stale instead of
// holding machines on an old list for ever. The signature file signs its bytes.
//
//   List: ombrix.ini
//   Version: 2026120601
//   Date: 2026-12-06T09:00:00Z
//   Valid-Until: 2026-12-13T09:00:00Z
//   Size: 2143
//   SHA256: 64 hex digits
//
// One "Name: value" per line; every field once; other names are passed over so a
// later publisher may add fields.
namespace ombrix::update {

struct Release {
    std::string listName;  // a plain file name in the release's own folder
    std::uint64_t version = 0;
    std::time_t issued = 0;
    std::time_t validUntil = 0;
    std::uint64_t size = 0;
    std::string sha256;  // lower-case hex
};

// The highest version any release may carry: a version is a date and a serial,
// YYYYMMDDNN, and no list is published after the year 9999.
inline constexpr std::uint64_t kVersionCeiling = 9999123199;

// The longest a release may stay valid. A longer one would let whoever replays it
// hold machines on its list for as long, which expiry exists to prevent.
inline constexpr long kMaxValidDays = 365;

std::string ReleaseText(const Release& release);

// The release in `text`; nullopt with `why` set when it is not one.
std::optional<Release> ParseRelease(std::string_view text, std::string& why);

// Empty when the release may be installed at `now`, else why not: it expired,
// it is valid for longer than kMaxValidDays, it was issued more than a day in the
// future, or its version is absurd (past the ceiling, or more than a day ahead of
// its issue date).
std::string ReleaseProblem(const Release& release, std::time_t now);

// "2026-12-06T09:00:00Z"; ParseUtc takes exactly that form.
std::string UtcText(std::time_t when);
std::optional<std::time_t> ParseUtc(std::string_view text);

// SHA-256 of `bytes` in lower-case hex. Needs initCrypto().
std::string Sha256Hex(std::string_view bytes);

}  // namespace ombrix::update
