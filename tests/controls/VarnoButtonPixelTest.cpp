#include "ButtonTest.h"

#include "SystemColors.h"

#include <QFocusEvent>
#include <QImage>

namespace ombrix::test {
namespace {

// A real button drawing on its own image, 100 by 30 pixels.
class PixelTest : public ::testing::Test {
protected:
    PixelTest()
    {
        button.InitProperties();
        button.resize(100, 30);
    }

    QImage rendered() { return button.grab().toImage(); }
    QRgb palette(QPalette::ColorRole role) const { return button.palette().color(QPalette::Active, role).rgb(); }

    QApplication& application = testApplication();
    VarnoButton button;
};

int count(const QImage& image, const std::function<bool(QColor)>& test)
{
    int found = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            found += test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return found;
}

TEST_F(PixelTest, gradientFaceRunsFromWhiteToBlueInsideACutFrame)
{
    button.setStyle(1);
    button.setFadetoColor(0x00FFFFFF);
    button.setBackColor(0x00C00000);
    button.setBorderStyle(1);
    button.setCaption(QString());
    const QImage image = rendered();

    EXPECT_GT(image.pixelColor(50, 4).red(), 200);
    EXPECT_GT(image.pixelColor(50, 25).blue(), 150);
    EXPECT_LT(image.pixelColor(50, 25).red(), 60);
    EXPECT_EQ(image.pixel(50, 0), palette(QPalette::Dark));  // frame
    EXPECT_EQ(image.pixel(0, 0), palette(QPalette::Button));  // cut corners
    EXPECT_EQ(image.pixel(99, 29), palette(QPalette::Button));
}

TEST_F(PixelTest, focusRectangleIsDotted)
{
    button.setBorderStyle(1);
    button.setCaption(QString());
    const QRgb shadow = palette(QPalette::Dark);
    const auto dotsOnRow = [&](const QImage& image) {
        int dots = 0;
        for (int x = 10; x < 90; ++x)
            dots += image.pixel(x, 3) == shadow ? 1 : 0;
        return dots;
    };
    EXPECT_EQ(dotsOnRow(rendered()), 0);

    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(&button, &in);
    EXPECT_EQ(dotsOnRow(rendered()), 40);  // every other pixel
}

TEST_F(PixelTest, captionIsDrawnInForeColorUnlessDisabled)
{
    button.setCaption(QStringLiteral("MMMM"));
    button.setForeColor(0x000000FF);
    button.Refresh();
    const auto red = [](QColor c) { return c.red() > 180 && c.green() < 80 && c.blue() < 80; };
    EXPECT_GT(count(rendered(), red), 20);

    button.setEnabled(false);
    EXPECT_EQ(count(rendered(), red), 0);
}

TEST_F(PixelTest, pictureShowsThroughItsElement)
{
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    button.setPicture(QPixmap::fromImage(picture));
    button.setPictureAlign(2);
    button.setShowPicture(true);
    button.show();  // a child is drawn only when shown with its parent

    EXPECT_EQ(rendered().pixel(50, 15), QColor(Qt::green).rgb());
}

}  // namespace
}  // namespace ombrix::test
