#include "UpdateState.h"

#include <charconv>
#include <sstream>

#include "Release.h"

namespace ombrix::update {

std::string ParseUpdateState(const std::string& text, UpdateState& state)
{
    std::istringstream in(text);
    std::string line;
    bool hasFloor = false;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        const auto equals = line.find(" = ");
        const std::string name = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 3);
        if (name == "floor") {
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), state.floor);
            if (error != std::errc() || end != value.data() + value.size() || value.empty())
                return "its floor is not a number";
            if (state.floor > kVersionCeiling)
                return "its floor " + value + " is past the highest version " + std::to_string(kVersionCeiling);
            hasFloor = true;
        } else if (name == "floor-sha256") {
            state.floorSha256 = value;
        } else if (name == "last-success") {
            const auto when = ParseUtc(value);
            if (!when)
                return "its last-success is not a time";
            state.lastSuccess = *when;
        } else if (name == "valid-until") {
            const auto when = ParseUtc(value);
            if (!when)
                return "its valid-until is not a time";
            state.validUntil = *when;
        } else {
            return "it holds the unknown line \"" + line + "\"";
        }
    }
    // The updater always writes a floor; a file without one was cut short or emptied.
    return hasFloor ? std::string() : "it has no floor";
}

std::string UpdateStateText(const UpdateState& state)
{
    return "# The Ombrix updater's own state; see ombrix-update(1).\n"
           "floor = " + std::to_string(state.floor) + "\nfloor-sha256 = " + state.floorSha256 +
           "\nlast-success = " + UtcText(state.lastSuccess) + "\n" +
           (state.validUntil != 0 ? "valid-until = " + UtcText(state.validUntil) + "\n" : std::string());
}

}  // namespace ombrix::update
