// A real button in a shown window: Qt's own event delivery and the pixels
// that reach the screen. CTest runs these at pixel ratios 1, 2 and 1.25.

#include "ButtonTest.h"
#include "core/BevelPictures.h"

#include <VarnoButton/VarnoButtonCore.h>

#include <QAccessible>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace ombrix::test {
namespace {

class ScreenTest : public ::testing::Test {
protected:
    ScreenTest()
    {
        button->InitProperties();
        button->setCaption(QString());
        button->setGeometry(0, 0, 100, 30);
        window.resize(100, 30);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        record(*button, journal);
    }

    QImage rendered() const { return button->grab().toImage(); }
    // The colour at pixel (x, y) of the button, whatever the pixel ratio.
    static QRgb at(const QImage& image, int x, int y)
    {
        return image.pixel(int(x * image.devicePixelRatio()), int(y * image.devicePixelRatio()));
    }
    QRgb system(QPalette::ColorRole role) const { return button->palette().color(QPalette::Active, role).rgb(); }

    QApplication& application = testApplication();
    QWidget window;
    VarnoButton* button = new VarnoButton(&window);
    Journal journal;
};

TEST_F(ScreenTest, disabledButtonTakesNoInputThroughItsPictureOrItself)
{
    button->setBehavior(1);
    button->setShowPicture(true);  // at 5, 3 pixels: left 75, top 37.5 twips
    auto* picture = button->findChild<PictureBox*>();
    for (QWidget* disabled : {static_cast<QWidget*>(button), &window}) {
        disabled->setEnabled(false);
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(2, 4));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(50, 20));
        QTest::keyClick(button, Qt::Key_Space);
        disabled->setEnabled(true);
    }
    EXPECT_EQ(journal, Journal{});
    EXPECT_FALSE(button->ButtonDown());

    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(2, 4));
    EXPECT_EQ(journal, (Journal{"MouseDown 1 0 105 97.5", "MouseUp 1 0 105 97.5", "Click"}));
    EXPECT_TRUE(button->ButtonDown());
}

// The caption's pixels in ForeColor, none of them left while the holder is
// disabled. The face and frame are the pictures of bevelIsTheCoresPictureInDevicePixels.
TEST_F(ScreenTest, captionIsPaintedInForeColorAndGreyedWithItsHolder)
{
    button->setCaption(QStringLiteral("MMMM"));
    button->setForeColor(0x000000FF);
    button->Refresh();  // ForeColor alone does not repaint
    const auto redPixels = [this] {
        const QImage image = rendered().convertToFormat(QImage::Format_RGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        return std::count_if(pixels, pixels + image.width() * image.height(),
                             [](QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; });
    };
    EXPECT_GT(redPixels(), 20);
    window.setEnabled(false);
    EXPECT_EQ(redPixels(), 0);
}

// Dots: on the rows of the focus rectangle's top edge, the shadow colour
// never runs longer than one scaled pixel.
TEST_F(ScreenTest, focusRectangleIsDottedAtEveryPixelRatio)
{
    button->setBorderStyle(1);
    const auto longestDotAndCount = [this](const QImage& image) {
        const qreal ratio = image.devicePixelRatio();
        int longest = 0, count = 0;
        for (int y = int(2 * ratio); y < int(5 * ratio); ++y)
            for (int x = int(10 * ratio), run = 0; x < int(90 * ratio); ++x) {
                run = image.pixel(x, y) == system(QPalette::Dark) ? run + 1 : 0;
                count += run ? 1 : 0;
                longest = std::max(longest, run);
            }
        return std::pair(longest, count);
    };
    button->clearFocus();
    EXPECT_EQ(longestDotAndCount(rendered()).second, 0);

    button->setFocus();
    const QImage image = rendered();
    const auto [longest, count] = longestDotAndCount(image);
    EXPECT_LE(longest, qRound(image.devicePixelRatio()));
    EXPECT_GE(count, 35 * image.devicePixelRatio());
}

TEST_F(ScreenTest, pictureShowsAndSystemColoursFollowThePalette)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    button->setPicture(QPixmap::fromImage(picture));
    button->setPictureAlign(2);
    button->setShowPicture(true);
    EXPECT_EQ(at(rendered(), 50, 15), QColor(Qt::green).rgb());
    EXPECT_EQ(at(rendered(), 10, 15), system(QPalette::Button));

    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Qt::magenta);
    button->setPalette(palette);
    EXPECT_EQ(at(rendered(), 10, 15), QColor(Qt::magenta).rgb());
}

// What a Qt developer and assistive tools expect of a button.
TEST_F(ScreenTest, mnemonicClicksAndToolsSeeANamedPushOrToggleButton)
{
    button->setCaption(QStringLiteral("&Save"));
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(journal, Journal{"Click"});
    EXPECT_TRUE(button->hasFocus());

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Save"));
    EXPECT_FALSE(accessible->state().checkable);
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(journal, (Journal{"Click", "Click"}));

    QSignalSpy toggled(button, &VarnoButton::toggled);
    button->setBehavior(1);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_TRUE(accessible->state().checkable && accessible->state().checked);
    EXPECT_EQ(toggled, QList<QVariantList>{{true}});
}

// The core's pictures of the bevel, pixel for pixel, at pixel ratios 1 and 2.
TEST_F(ScreenTest, bevelIsTheCoresPictureInDevicePixels)
{
    const qreal ratio = button->devicePixelRatioF();
    if (ratio != 1 && ratio != 2)
        GTEST_SKIP() << "the pictures are drawn at ratios 1 and 2";
    const auto color = [this](char letter) {
        switch (letter) {
        case 'H': return system(QPalette::Light);
        case 'D': return system(QPalette::Shadow);
        case 'S': return system(QPalette::Dark);
        case 'F': return system(QPalette::Button);
        case 'r': return qRgb(255, 0, 0);
        default: return qRgb(255, 255, 255);
        }
    };
    button->resize(kBevelWidth, kBevelHeight);
    button->clearFocus();  // no focus cue in the pictures
    for (const BevelCase& c : bevelCases()) {
        button->core().InitProperties();
        button->setCaption(QString());
        c.apply(button->core());
        const QImage image = rendered();
        const std::vector<std::string>& expected = ratio == 1 ? c.scale1 : c.scale2;
        ASSERT_EQ(image.size(), QSize(int(expected[0].size()), int(expected.size())));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(image.pixel(x, y), color(expected[y][x])) << c.name << " pixel " << x << ", " << y;
    }
}

}  // namespace
}  // namespace ombrix::test
