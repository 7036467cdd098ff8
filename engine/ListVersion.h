#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ombrix::update {

// The version a signature list declares (the updater compares it; the engine
// keeps it with what a scan removes) in its first comment line of the form
// "' version 2026120601" (word in any letter case, blanks around the parts).
// Lines end as the list loader ends them. nullopt when no such line exists.
std::optional<std::uint64_t> ListVersion(std::string_view list);

}  // namespace ombrix::update
