#pragma once

#include <string>

namespace ombrix {

// The user's security identifier as text ("S-1-5-21-..."); empty when it cannot be read.
std::string UserSid();

}  // namespace ombrix
