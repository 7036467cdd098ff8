// The bevel in device pixels: whole pixels, no blending, the same on every
// skin.

#include "BevelPictures.h"
#include "CoreButton.h"
#include "MemorySurface.h"

namespace ombrix::test {
namespace {

std::vector<std::string> render(const BevelCase& c, double scale)
{
    Journal journal;
    FakeHost host(journal);
    host.width = 15 * kBevelWidth;
    host.height = 15 * kBevelHeight;
    MemorySurface surface(int(kBevelWidth * scale), int(kBevelHeight * scale), scale);
    FakePicture picture1;
    VarnoButtonCore button(host, surface, picture1);
    button.InitProperties();
    c.apply(button);
    return surface.rows();
}

TEST(BevelPixelsTest, everyBevelIsDrawnInWholeDevicePixels)
{
    for (const BevelCase& c : bevelCases()) {
        EXPECT_EQ(render(c, 1), c.scale1) << c.name;
        EXPECT_EQ(render(c, 2), c.scale2) << c.name;
    }
}

}  // namespace
}  // namespace ombrix::test
