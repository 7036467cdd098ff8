#include "ButtonTest.h"

#include "SystemColors.h"

#include <QImage>

namespace ombrix::test {
namespace {

using Kind = DrawOp::Kind;
constexpr quint32 kFace = SystemColor::ButtonFace;
constexpr quint32 kShadow = SystemColor::ButtonShadow;
constexpr quint32 kLight = SystemColor::ButtonHighlight;
constexpr quint32 kDark = SystemColor::DarkShadow;

using PaintTest = ButtonTest;

TEST_F(PaintTest, gradientBandsRunFromFadetoColorAtTheTopToBackColorAtTheBottom)
{
    button->setFadetoColor(0);
    button->setBackColor(0x00C8641C);  // red 28, green 100, blue 200
    button->setStyle(1);

    const auto bands = surface->lastRepaint(Kind::Fill);
    ASSERT_EQ(bands.size(), 57u);  // 450 twips: bands at 0, 8, ... 448
    EXPECT_EQ(bands.front(), fill(0, 0, 1500, 8, 0));
    EXPECT_EQ(bands[1], fill(0, 8, 1500, 16, 0x00040200));   // red 0.5 rounds to 0
    EXPECT_EQ(bands[3], fill(0, 24, 1500, 32, 0x000B0502));  // red 1.5 rounds to 2
    EXPECT_EQ(bands[5], fill(0, 40, 1500, 48, 0x00120902));  // red 2.5 rounds to 2
    EXPECT_EQ(bands.back(), fill(0, 448, 1500, 456, 0x00C8641C));
}

TEST_F(PaintTest, pressedGradientSwapsItsColours)
{
    button->setFadetoColor(0x00FFFFFF);
    button->setBackColor(0x00804020);
    button->setStyle(1);
    button->setButtonDown(true);

    const auto bands = surface->lastRepaint(Kind::Fill);
    EXPECT_EQ(bands.front().color, 0x00804020u);
    EXPECT_EQ(bands[56].color, 0x00FFFFFFu);
}

TEST_F(PaintTest, gradientTakesSystemColoursAsTheyAre)
{
    button->setStyle(1);  // button face at the bottom, unresolved

    EXPECT_EQ(surface->lastRepaint(Kind::Fill).back().color, 0x0000000Fu);
}

TEST_F(PaintTest, surfaceWithoutHeightGetsOneBandInTheStartColour)
{
    button->setFadetoColor(0x00123456);
    button->setStyle(1);
    sizeTo(100, 0);

    EXPECT_EQ(surface->lastRepaint(Kind::Fill), std::vector<DrawOp>{fill(0, 0, 1500, 8, 0x00123456)});
}

TEST_F(PaintTest, raisedBevelDrawsEdgesFrameAndCutCorners)
{
    button->setBorderStyle(1);

    const std::vector<DrawOp> expected{
        line(15, 15, 1500, 0, kLight, 2),
        line(15, 15, 0, 450, kLight, 2),
        line(1492, 0, 1492, 442, kDark, 2),
        line(0, 442, 1492, 442, kDark, 2),
        outline(0, 0, 1484, 434, kShadow, 2),
        fill(0, 0, 45, 45, kFace),
        line(0, 45, 45, 0, kShadow, 1),
        fill(0, 389, 45, 434, kFace),
        line(0, 389, 45, 434, kShadow, 2),
        fill(1439, 389, 1484, 434, kFace),
        line(1439, 434, 1484, 389, kShadow, 2),
        fill(1439, 0, 1484, 45, kFace),
        line(1439, 0, 1484, 45, kShadow, 1),
        print(75, 125, SystemColor::ButtonText, QStringLiteral("VarnoButton")),
    };
    EXPECT_EQ(surface->lastRepaint(), expected);
}

TEST_F(PaintTest, sunkenBevelSwapsEdgeColoursAndLineWeights)
{
    button->setBorderStyle(2);

    const auto ops = surface->lastRepaint();
    ASSERT_GE(ops.size(), 13u);
    EXPECT_EQ(ops[0].color, kDark);
    EXPECT_EQ(ops[1].color, kDark);
    EXPECT_EQ(ops[2].color, kLight);
    EXPECT_EQ(ops[3].color, kLight);
    EXPECT_EQ(ops[4], outline(0, 0, 1484, 434, kShadow, 1));
    EXPECT_EQ(ops[6].lineWidth, 2);   // top-left cut
    EXPECT_EQ(ops[8].lineWidth, 1);   // bottom-left cut
    EXPECT_EQ(ops[12].lineWidth, 2);  // top-right cut
}

struct BorderCase {
    qint32 borderStyle;
    bool focused;
    bool down;
    bool hideFocus;
    int bevels;  // frames drawn
    bool sunken;  // the first edge is dark
    bool focusRectangle;
};

class BorderCueTest : public ButtonTest, public ::testing::WithParamInterface<BorderCase> {};

TEST_P(BorderCueTest, drawsTheBevelAndFocusCueOfItsBorderStyle)
{
    const BorderCase& c = GetParam();
    button->setHideFocus(c.hideFocus);
    button->setBorderStyle(c.borderStyle);
    focus(c.focused);
    button->setButtonDown(c.down);

    int bevels = 0;
    bool focusRectangle = false;
    for (const DrawOp& op : surface->lastRepaint(Kind::Rectangle)) {
        if (op.style == LineStyle::Dotted) {
            EXPECT_EQ(op, outline(50, 50, 1442, 392, kShadow, 1, LineStyle::Dotted));
            focusRectangle = true;
        } else {
            ++bevels;
        }
    }
    EXPECT_EQ(bevels, c.bevels);
    EXPECT_EQ(focusRectangle, c.focusRectangle);
    if (c.bevels > 0) {
        EXPECT_EQ(surface->lastRepaint(Kind::Line).front().color, c.sunken ? kDark : kLight);
    }
    EXPECT_EQ(surface->lineStyle(), LineStyle::Solid);
}

INSTANTIATE_TEST_SUITE_P(AllStyles, BorderCueTest,
                         ::testing::Values(
                             // Flat: nothing at rest, sunk while down, raised as the focus cue.
                             BorderCase{0, false, false, false, 0, false, false},
                             BorderCase{0, true, false, false, 1, false, false},
                             BorderCase{0, true, false, true, 0, false, false},
                             BorderCase{0, false, true, false, 1, true, false},
                             BorderCase{0, true, true, false, 1, true, false},
                             // Raised: the dotted rectangle is the focus cue, gone while down.
                             BorderCase{1, false, false, false, 1, false, false},
                             BorderCase{1, true, false, false, 1, false, true},
                             BorderCase{1, true, false, true, 1, false, false},
                             BorderCase{1, true, true, false, 1, true, false},
                             // Sunken: always sunken, never a cue.
                             BorderCase{2, true, false, false, 1, true, false},
                             // Anything else: no border, no cue.
                             BorderCase{3, true, false, false, 0, false, false},
                             BorderCase{-1, true, true, false, 0, false, false}),
                         [](const ::testing::TestParamInfo<BorderCase>& info) {
                             const BorderCase& c = info.param;
                             return "BorderStyle" + std::string(c.borderStyle < 0 ? "Minus" : "")
                                 + std::to_string(std::abs(c.borderStyle)) + (c.focused ? "Focused" : "")
                                 + (c.down ? "Down" : "") + (c.hideFocus ? "HideFocus" : "");
                         });

TEST_F(PaintTest, captionFollowsTextAlign)
{
    const std::pair<qint32, float> cases[] = {{0, 75}, {1, 325}, {2, 200}, {5, 75}, {-1, 75}};
    for (const auto& [align, x] : cases) {
        button->setTextAlign(align);
        EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0), print(x, 125, SystemColor::ButtonText, QStringLiteral("VarnoButton")))
            << "TextAlign " << align;
    }
}

TEST_F(PaintTest, captionMakesRoomForAVisibleLeftPicture)
{
    button->setShowPicture(true);

    EXPECT_EQ(picture1().Left(), 75);
    EXPECT_EQ(picture1().Top(), 37.5);
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).x1, 75 + 75 + 495);
    button->setTextAlign(2);
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).x1, 200 + 75 + 495);
    button->setTextAlign(1);  // placed from the right edge, over the picture if need be
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).x1, 325);

    button->setTextAlign(0);
    button->setShowPicture(false);
    EXPECT_TRUE(picture1().isHidden());
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).x1, 75);
}

TEST_F(PaintTest, pictureAboveCentresPictureAndCaptionTogether)
{
    sizeTo(100, 60);  // 900 twips high
    button->setPictureAlign(1);
    button->setShowPicture(true);

    EXPECT_EQ(picture1().Top(), 162.5f);  // (900 - 375 - 200) / 2
    EXPECT_EQ(picture1().Left(), 502.5f);
    const DrawOp caption = surface->lastRepaint(Kind::Print).at(0);
    EXPECT_EQ(caption.x1, 75);
    EXPECT_EQ(caption.y1, 618.75f);  // centred below the picture's bottom edge
}

TEST_F(PaintTest, centredPictureTakesItsOwnSizeAndKeepsIt)
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    button->setPicture(QPixmap::fromImage(image));
    button->setShowPicture(true);
    button->setPictureAlign(2);

    EXPECT_EQ(picture1().Width(), 300);
    EXPECT_EQ(picture1().Height(), 150);
    EXPECT_EQ(picture1().Left(), 600);
    EXPECT_EQ(picture1().Top(), 150);
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).x1, 75);  // the caption ignores it

    button->setPictureAlign(0);
    EXPECT_TRUE(picture1().autoSize());
    EXPECT_EQ(picture1().Width(), 300);
}

TEST_F(PaintTest, disabledCaptionIsGreyAndForeColorSurvives)
{
    button->setForeColor(0x000000FF);
    button->setEnabled(false);

    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).color, SystemColor::GrayText);
    EXPECT_EQ(button->ForeColor(), 0x000000FFu);
}

}  // namespace
}  // namespace ombrix::test
