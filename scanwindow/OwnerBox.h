#pragma once

#include <optional>
#include <string_view>

#include "ViewLayout.h"

// A window of another program that opens over the window that started it: the
// starter leaves its frame ("left,top,width,height" in its toolkit's screen
// pixels) in the environment the started program inherits.
namespace ombrix::OwnerBox {

inline constexpr const char* kVariable = "OMBRIX_OWNER_BOX";

// Programs started from now on open over `frame`.
void Pass(const ViewLayout::Box& frame);

// The frame this program was started over; none without one, or a malformed one.
std::optional<ViewLayout::Box> Given();
std::optional<ViewLayout::Box> Parse(std::string_view text);

}  // namespace ombrix::OwnerBox
