#pragma once

#include <cstdint>
#include <string>

#include "mRegistry.h"

namespace ombrix::mRegistry {

// What every write of a value comes down to on each platform: stores `data` as a
// value of `type`, creating missing keys along `keyPath`. True when it was stored.
bool StoreRegValue(Hive hive, const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                   const std::string& data);

}  // namespace ombrix::mRegistry
