#include "ButtonTest.h"

#include <algorithm>

namespace ombrix::test {
namespace {

using Kind = DrawOp::Kind;
using Journal = std::vector<std::string>;

using InputTest = ButtonTest;

TEST_F(InputTest, spaceOnAPushButtonPressesReleasesThenClicks)
{
    tap(Qt::Key_Space, QStringLiteral(" "));

    EXPECT_EQ(journal, (Journal{"KeyDown 32 0", "paint down", "KeyPress 32", "KeyUp 32 0", "paint up", "Click"}));
    EXPECT_FALSE(button->ButtonDown());
}

TEST_F(InputTest, enterOnAToggleButtonFlipsItOnRelease)
{
    button->setBehavior(1);
    tap(Qt::Key_Return, QStringLiteral("\r"));

    EXPECT_EQ(journal, (Journal{"KeyDown 13 0", "paint up", "KeyPress 13", "KeyUp 13 0", "paint down", "Click"}));
    EXPECT_TRUE(button->ButtonDown());
    tap(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(button->ButtonDown());
}

TEST_F(InputTest, handlerThatClearsKeyCodeStopsThePressOrTheRelease)
{
    events.changeKeyDown = [](int16_t& keyCode) { keyCode = keyCode == 13 ? 0 : keyCode; };
    events.changeKeyUp = events.changeKeyDown;
    tap(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(journal, (Journal{"KeyDown 13 0", "KeyPress 13", "KeyUp 13 0"}));

    events.changeKeyDown = [](int16_t&) {};
    tap(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_TRUE(button->ButtonDown());  // pressed, never released
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Click"), 0);
}

TEST_F(InputTest, handlerCanTurnAnyKeyIntoSpace)
{
    events.changeKeyDown = [](int16_t& keyCode) { keyCode = keyCode == 65 ? 32 : keyCode; };
    key(QEvent::KeyPress, Qt::Key_A, QStringLiteral("a"));

    EXPECT_TRUE(button->ButtonDown());
}

TEST_F(InputTest, otherKeysOnlyRaiseTheirEvents)
{
    tap(Qt::Key_A, QStringLiteral("a"));

    EXPECT_EQ(journal, (Journal{"KeyDown 65 0", "KeyPress 97", "KeyUp 65 0"}));
}

TEST_F(InputTest, heldSpaceRepeatsThePressAndClicksOnce)
{
    key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    for (int repeat = 0; repeat < 2; ++repeat) {
        key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "), true);
        key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "), true);
    }
    key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));

    EXPECT_EQ(std::count(journal.begin(), journal.end(), "paint down"), 3);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "KeyUp 32 0"), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Click"), 1);
    EXPECT_FALSE(button->ButtonDown());
}

TEST_F(InputTest, anyMouseButtonPressesAPushButtonAndReportsAfterTheRepaint)
{
    mouse(QEvent::MouseButtonPress, {10, 20});
    EXPECT_TRUE(button->ButtonDown());
    mouse(QEvent::MouseButtonRelease, {10, 20});

    EXPECT_EQ(journal, (Journal{"paint down", "MouseDown 1 0 150 300", "paint up", "MouseUp 1 0 150 300", "Click"}));

    mouse(QEvent::MouseButtonPress, {10, 20}, Qt::RightButton);
    EXPECT_TRUE(button->ButtonDown());
    EXPECT_EQ(journal.back(), "MouseDown 2 0 150 300");
}

TEST_F(InputTest, toggleFlipsOnEveryReleaseEvenOutsideTheButton)
{
    button->setBehavior(1);
    mouse(QEvent::MouseButtonPress, {10, 20});
    EXPECT_FALSE(button->ButtonDown());
    mouse(QEvent::MouseButtonRelease, {300, 200});

    EXPECT_EQ(journal, (Journal{"paint up", "MouseDown 1 0 150 300", "paint down", "MouseUp 1 0 4500 3000"}));
    mouse(QEvent::MouseButtonPress, {10, 20});
    mouse(QEvent::MouseButtonRelease, {10, 20});
    EXPECT_FALSE(button->ButtonDown());
}

TEST_F(InputTest, doubleClickPressesAgainAndReportsTheDoubleClick)
{
    mouse(QEvent::MouseButtonPress, {10, 20});
    mouse(QEvent::MouseButtonRelease, {10, 20});
    journal.clear();
    mouse(QEvent::MouseButtonDblClick, {10, 20});
    mouse(QEvent::MouseButtonRelease, {10, 20});

    EXPECT_EQ(journal, (Journal{"paint down", "MouseDown 1 0 150 300", "DblClick", "paint up", "MouseUp 1 0 150 300"}));
}

TEST_F(InputTest, mouseMoveOnlyReports)
{
    mouse(QEvent::MouseMove, {10, 20});

    EXPECT_EQ(journal, (Journal{"MouseMove 0 0 150 300"}));
}

TEST_F(InputTest, mouseOnThePictureReportsButtonCoordinates)
{
    button->setShowPicture(true);  // picture at left 75, top 37.5
    journal.clear();
    mouse(QEvent::MouseButtonPress, {2, 4}, Qt::LeftButton, &picture1());
    EXPECT_EQ(picture1().Left(), 95);  // the press shifted it
    mouse(QEvent::MouseButtonRelease, {2, 4}, Qt::LeftButton, &picture1());

    EXPECT_EQ(journal, (Journal{"paint down", "MouseDown 1 0 105 97.5", "paint up", "MouseUp 1 0 125 107.5", "Click"}));
}

TEST_F(InputTest, mousePressShiftsContentButKeyboardPressDoesNot)
{
    button->setShowPicture(true);
    key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0), print(645, 125, SystemColor::ButtonText, QStringLiteral("VarnoButton")));
    EXPECT_EQ(picture1().Left(), 75);
    key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));

    mouse(QEvent::MouseButtonPress, {10, 20});
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).x1, 675);  // 10 of its own, 20 with the picture
    EXPECT_EQ(surface->lastRepaint(Kind::Print).at(0).y1, 135);
    EXPECT_EQ(picture1().Top(), 47.5);
}

TEST_F(InputTest, focusShowsAndHidesTheFocusRectangle)
{
    button->setBorderStyle(1);
    focus(true);
    EXPECT_EQ(surface->lastRepaint(Kind::Rectangle).size(), 2u);
    focus(false);
    EXPECT_EQ(surface->lastRepaint(Kind::Rectangle).size(), 1u);
}

}  // namespace
}  // namespace ombrix::test
