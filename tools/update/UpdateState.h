#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace ombrix::update {

// What the updater remembers in STATE/update.state, a file only it writes:
//
//   floor = 2026120603                  the newest version it ever installed
//   floor-sha256 = 64 hex digits        that list's hash, as its release gave it
//   last-success = 2026-12-06T09:00:00Z the last check that ended installed or up to date
//   valid-until = 2026-12-13T09:00:00Z  until when that check's release was valid
//
// The floor is never lowered: a release below it is refused whatever list file
// is installed, so putting an older list in place (a reinstall) cannot open
// the door to older releases.
struct UpdateState {
    std::uint64_t floor = 0;
    std::string floorSha256;
    std::time_t lastSuccess = 0;
    std::time_t validUntil = 0;  // 0: not known (a state written before it was kept)
};

inline constexpr const char* kStateFileName = "update.state";

// Reads `text` (the file's content) into `state`; empty on success, else why not.
std::string ParseUpdateState(const std::string& text, UpdateState& state);
std::string UpdateStateText(const UpdateState& state);

}  // namespace ombrix::update
