#pragma once

namespace ombrix::ViewLayout {

// Layout rules both views of a window follow. Sizes and places are in the
// view's own pixels, measured by the toolkit that draws.

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Place {
    int left = 0;
    int top = 0;

    bool operator==(const Place&) const = default;
};

// The width of a one-line text's box: as wide as the text, so it never wraps
// or loses its end, but never narrower than its design nor wider than `room`.
int FittedWidth(int textWidth, int designWidth, int room);

// The width of each of the finding list's two columns: half the list's inside
// width less a vertical scroll bar, so rows added later never make the list
// scroll sideways.
int FindingColumnWidth(int insideWidth, int scrollBarWidth);

// Where a window of `width` x `height` goes: centred on its owner, or on the
// work area without one, and kept whole on the work area where it fits.
Place CentredOn(const Box* owner, int width, int height, const Box& workArea);

}  // namespace ombrix::ViewLayout
