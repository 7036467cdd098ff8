#include "ButtonTest.h"

#include <QImage>

namespace ombrix::test {
namespace {

using PaintTest = ButtonTest;

TEST_F(PaintTest, gradientRunsFromFadetoColorAtTheTopToBackColorAtTheBottomAndTurnsWhileDown)
{
    button->setFadetoColor(0);
    button->setBackColor(0x00C8641C);  // red 28, green 100, blue 200 in 56 steps
    button->setStyle(1);

    const auto bands = surface->bands();
    ASSERT_EQ(bands.size(), 57u);  // 450 twips: bands at 0, 8, ... 448
    EXPECT_EQ(bands[0], 0u);
    EXPECT_EQ(bands[3], 0x000B0502u);  // red 1.5 rounds to 2
    EXPECT_EQ(bands[5], 0x00120902u);  // red 2.5 rounds to 2
    EXPECT_EQ(bands[56], 0x00C8641Cu);

    button->setButtonDown(true);
    EXPECT_EQ(surface->bands().front(), 0x00C8641Cu);

    button->setBackColor(SystemColor::ButtonFace);  // taken as it is: red 15
    EXPECT_EQ(surface->bands().front(), 0x0000000Fu);
    sizeTo(100, 0);
    EXPECT_EQ(surface->bands(), std::vector<Color>{0x0000000F});  // one band in the start colour
}

TEST_F(PaintTest, eachBorderStyleDrawsItsBevelAndFocusCue)
{
    const struct {
        qint32 borderStyle;
        bool focused, down, hideFocus;
        const char* bevel;
        bool focusRectangle;
    } cases[] = {
        // Flat: nothing at rest, sunk while down, raised as the focus cue.
        {0, false, false, false, "", false},
        {0, true, false, false, "R", false},
        {0, true, true, false, "S", false},
        // Raised: the dotted rectangle is the focus cue, gone while down.
        {1, false, false, false, "R", false},
        {1, true, false, false, "R", true},
        {1, true, false, true, "R", false},
        {1, true, true, false, "S", false},
        // Sunken: always sunken, never a cue.
        {2, true, false, false, "S", false},
        // Anything else: no border, no cue.
        {-1, true, true, false, "", false},
    };
    const DrawOp focusRectangle{
        DrawOp::Kind::Rectangle, 50, 50, 1442, 392, SystemColor::ButtonShadow, 1, LineStyle::Dotted};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "BorderStyle " << c.borderStyle << " focused " << c.focused << " down "
                                          << c.down << " HideFocus " << c.hideFocus);
        newButton();
        button->setHideFocus(c.hideFocus);
        button->setBorderStyle(c.borderStyle);
        focus(c.focused);
        button->setButtonDown(c.down);

        EXPECT_EQ(surface->bevel(), c.bevel);
        EXPECT_EQ(surface->focusRectangle(), c.focusRectangle ? std::optional(focusRectangle) : std::nullopt);
        EXPECT_EQ(surface->lineStyle(), LineStyle::Solid);
        focus(false);
        EXPECT_FALSE(surface->focusRectangle());
    }
}

// On a button 1500 by 900 twips, whose caption is 1100 wide and 290 high
// ("Hy" 200), with a picture of 300 by 150 in an element of 495 by 375.
TEST_F(PaintTest, captionAndPictureFollowTheirAlignmentsAndAMouseButNotAKeyPress)
{
    enum Press { None, Mouse, Key };
    const struct {
        qint32 textAlign, pictureAlign;
        bool showPicture;
        Press press;
        QPointF caption, picture;  // top-left corners in twips
    } cases[] = {
        {0, 0, false, None, {75, 350}, {75, 262.5}},
        {1, 0, true, None, {325, 350}, {75, 262.5}},  // from the right edge, over the picture if need be
        {2, 0, true, None, {770, 350}, {75, 262.5}},
        {5, 0, true, None, {645, 350}, {75, 262.5}},
        {0, 1, true, None, {75, 596.25}, {502.5, 117.5}},  // below the picture, the two centred together
        {0, 2, true, None, {75, 350}, {600, 375}},         // the element takes the picture's size
        // Pressed: the caption moves 10 right and down, the picture 20 right and 10 down.
        {0, 0, false, Mouse, {85, 360}, {95, 272.5}},
        {0, 0, true, Mouse, {675, 360}, {95, 272.5}},
        {0, 1, true, Mouse, {85, 611.25}, {522.5, 127.5}},
        {0, 0, true, Key, {645, 350}, {75, 262.5}},
    };
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (const auto& c : cases) {
        newButton();
        sizeTo(100, 60);
        button->setPicture(QPixmap::fromImage(image));
        button->setTextAlign(c.textAlign);
        button->setShowPicture(c.showPicture);
        button->setPictureAlign(c.pictureAlign);
        if (c.press == Mouse)
            mouse(QEvent::MouseButtonPress, {1, 1});
        if (c.press == Key)
            key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));

        const DrawOp caption = surface->caption();
        EXPECT_EQ(QPointF(caption.x1, caption.y1), c.caption) << c.textAlign << c.pictureAlign << c.showPicture;
        EXPECT_EQ(QPointF(picture1().Left(), picture1().Top()), c.picture) << c.textAlign << c.pictureAlign;
        EXPECT_EQ(picture1().isHidden(), !c.showPicture);
    }
    button->setPictureAlign(2);
    button->setPictureAlign(0);
    EXPECT_TRUE(picture1().autoSize());
    EXPECT_EQ(picture1().Width(), 300);
}

}  // namespace
}  // namespace ombrix::test
