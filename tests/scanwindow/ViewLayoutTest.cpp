#include "ViewLayout.h"

#include <gtest/gtest.h>

namespace ombrix::ViewLayout {
namespace {

TEST(ViewLayout, aOneLineTextGetsItsWidthBetweenItsDesignAndItsRoom)
{
    const struct { int text, design, room, width; } cases[] = {
        {40, 89, 450, 89},   // short: the design's width
        {230, 89, 450, 230}, // longer: the text's width, so it never wraps
        {600, 89, 450, 450}, // longer than the room: cut at the room
        {40, 89, 60, 60},    // a room narrower than the design
    };
    for (const auto& c : cases)
        EXPECT_EQ(FittedWidth(c.text, c.design, c.room), c.width) << "text " << c.text << " room " << c.room;
}

TEST(ViewLayout, findingColumnsLeaveRoomForTheVerticalScrollBar)
{
    EXPECT_EQ(FindingColumnWidth(573, 17), 278);
    EXPECT_EQ(FindingColumnWidth(860, 26), 417);
    EXPECT_EQ(FindingColumnWidth(10, 17), 0);
}

TEST(ViewLayout, aWindowOpensCentredOnItsOwnerAndWholeOnTheWorkArea)
{
    const Box work{0, 0, 1024, 740};
    const struct { Box owner; bool hasOwner; Place place; } cases[] = {
        {{200, 150, 600, 400}, true, {200, 150}},   // centred on the owner
        {{0, 0, 0, 0}, false, {212, 170}},          // no owner: centred on the work area
        {{-300, 600, 600, 400}, true, {0, 340}},    // owner partly off the screen: kept whole
        {{700, 0, 600, 400}, true, {424, 0}},
    };
    for (const auto& c : cases) {
        const Place place = CentredOn(c.hasOwner ? &c.owner : nullptr, 600, 400, work);
        EXPECT_EQ(place, c.place) << "owner at " << c.owner.left << "," << c.owner.top;
    }
    EXPECT_EQ(CentredOn(nullptr, 1200, 900, work), (Place{0, 0})) << "a window larger than the screen";
}

}  // namespace
}  // namespace ombrix::ViewLayout
