#include "ViewLayout.h"

#include <algorithm>

namespace ombrix::ViewLayout {

namespace {

// The start of a span of `size` centred on `around`, moved inside `area` where
// it fits; one that does not fit starts where the area starts.
int centred(int aroundStart, int aroundSize, int size, int areaStart, int areaSize)
{
    const int start = aroundStart + (aroundSize - size) / 2;
    return std::max(areaStart, std::min(start, areaStart + areaSize - size));
}

}  // namespace

int FittedWidth(int textWidth, int designWidth, int room)
{
    return std::max(std::min(textWidth, room), std::min(designWidth, room));
}

int FindingColumnWidth(int insideWidth, int scrollBarWidth)
{
    return std::max(0, insideWidth - scrollBarWidth) / 2;
}

Place CentredOn(const Box* owner, int width, int height, const Box& workArea)
{
    const Box& around = owner ? *owner : workArea;
    return {centred(around.left, around.width, width, workArea.left, workArea.width),
            centred(around.top, around.height, height, workArea.top, workArea.height)};
}

}  // namespace ombrix::ViewLayout
