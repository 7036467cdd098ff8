// The button's rules without a toolkit: they hold for both skins.

#include "CoreButton.h"

#include <VarnoButton/KeyCodes.h>

namespace ombrix::test {
namespace {

using Kind = DrawOp::Kind;
constexpr Color kLight = SystemColor::ButtonHighlight, kDark = SystemColor::DarkShadow,
                kShadow = SystemColor::ButtonShadow, kFace = SystemColor::ButtonFace;

enum class Input { MouseDown, MouseUp, EnterDown, SpaceUp };

// Every press and release, for push (0 and 2) and toggle (1), from either
// state: the new state, one repaint, and the content shifted only by the mouse
// (the caption rests at 75, 125; the layout has not run before).
TEST_F(CoreButtonTest, pressesAndReleasesFollowTheStateTable)
{
    const struct {
        int32_t behavior;
        bool downBefore;
        Input input;
        bool downAfter;
    } cases[] = {
        {0, false, Input::MouseDown, true},  {0, true, Input::MouseUp, false},  {0, false, Input::EnterDown, true},
        {0, true, Input::SpaceUp, false},    {2, false, Input::MouseDown, true}, {2, true, Input::MouseUp, false},
        {2, false, Input::EnterDown, true},  {2, true, Input::SpaceUp, false},   {1, false, Input::MouseDown, false},
        {1, true, Input::MouseDown, true},   {1, false, Input::MouseUp, true},   {1, true, Input::MouseUp, false},
        {1, false, Input::EnterDown, false}, {1, true, Input::EnterDown, true},  {1, false, Input::SpaceUp, true},
        {1, true, Input::SpaceUp, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "Behavior " << c.behavior << " down " << c.downBefore << " input "
                                          << int(c.input));
        button.setBehavior(c.behavior);
        button.setButtonDown(c.downBefore);
        journal.clear();
        const bool mouse = c.input == Input::MouseDown || c.input == Input::MouseUp;
        switch (c.input) {
        case Input::MouseDown: button.UserControl_MouseDown(1, 0, 0, 0); break;
        case Input::MouseUp: button.UserControl_MouseUp(1, 0, 0, 0); break;
        case Input::EnterDown: button.UserControl_KeyDown(KeyCode::Enter, 0); break;
        case Input::SpaceUp: button.UserControl_KeyUp(KeyCode::Space, 0); break;
        }
        EXPECT_EQ(button.ButtonDown(), c.downAfter);
        EXPECT_EQ(std::count(journal.begin(), journal.end(), c.downAfter ? "paint down" : "paint up"), 1);
        const float shift = mouse && c.downAfter ? 10 : 0;
        EXPECT_EQ(caption(), std::pair(75 + shift, 125 + shift));
        // Back to rest for the next row, with a layout of the rest state.
        button.setBehavior(0);
        button.UserControl_MouseUp(1, 0, 0, 0);
    }
}

TEST_F(CoreButtonTest, onlyBehaviorZeroLetsAToggledButtonUpAndNothingRepaints)
{
    for (const int32_t behavior : {0, 2, -1, 1}) {
        button.setBehavior(1);
        button.setButtonDown(true);
        journal.clear();
        button.setBehavior(behavior);
        EXPECT_EQ(button.ButtonDown(), behavior != 0) << behavior;
        EXPECT_EQ(journal, Journal{"notify Behavior"}) << behavior;
    }
}

// The holder's handler runs first: the key it leaves decides, and a key it
// swallows neither presses nor clicks.
TEST_F(CoreButtonTest, handlerDecidesWhichKeyPresses)
{
    struct Swallow final : VarnoButtonEvents {
        void KeyDown(int16_t& k, int16_t&) override { k = k == KeyCode::Enter ? 0 : k == 65 ? KeyCode::Space : k; }
        void KeyUp(int16_t& k, int16_t& s) override { KeyDown(k, s); }
    } handler;
    button.setEventHandler(&handler);
    button.UserControl_KeyDown(KeyCode::Enter, 0);
    button.UserControl_KeyUp(KeyCode::Enter, 0);
    button.UserControl_KeyDown(65, ShiftBit::Shift);
    EXPECT_TRUE(button.ButtonDown());
    button.UserControl_KeyUp(65, 0);
    EXPECT_EQ(journal, (Journal{"KeyDown 0 0", "KeyUp 0 0", "KeyDown 32 1", "paint down", "KeyUp 32 0", "paint up",
                                "Click"}));
}

// Mouse events come after the repaint, with coordinates on Picture1 moved
// by its position at that moment (the press laid it out 20 right, 10
// down); a move only reports.
TEST_F(CoreButtonTest, mouseReportsAfterRepaintingAndPictureInputIsTheButtons)
{
    button.Picture1_MouseDown(MouseBit::Right, ShiftBit::Ctrl, 10, 20);
    button.Picture1_MouseMove(MouseBit::Right, 0, 11, 20);
    button.UserControl_MouseUp(MouseBit::Middle, 0, -5, 9000);
    EXPECT_EQ(journal, (Journal{"paint down", "MouseDown 2 2 250 260", "MouseMove 2 0 106 67.5", "paint up",
                                "MouseUp 4 0 -5 9000"}));
}

TEST_F(CoreButtonTest, captionIsGreyWhileTheButtonOrItsHolderIsDisabled)
{
    button.setForeColor(0x000000FF);
    for (const auto& [enabled, holderEnabled] : {std::pair(false, true), std::pair(true, false)}) {
        host.enabled = enabled;
        host.holderEnabled = holderEnabled;
        button.Refresh();
        EXPECT_EQ(surface.caption().color, SystemColor::GrayText);
        EXPECT_EQ(button.ForeColor(), 0x000000FFu);
    }
    host.holderEnabled = true;
    button.setEnabled(true);
    EXPECT_EQ(surface.caption().color, 0x000000FFu);
}

// While down the picture moves 20 twips right and 10 down whatever its
// alignment; PictureAlign 2 first sizes it to its picture (300 by 150).
TEST_F(CoreButtonTest, pressedPictureMovesTwentyRightAndTenDown)
{
    button.setPicture(PictureData{20, 10, std::vector<uint32_t>(200, 0xFFFF0000)});
    for (const int32_t align : {0, 1, 2, 9}) {
        button.setPictureAlign(align);
        const std::pair rest(picture1.Left(), picture1.Top());
        button.UserControl_MouseDown(1, 0, 0, 0);
        EXPECT_EQ(std::pair(picture1.Left(), picture1.Top()), std::pair(rest.first + 20, rest.second + 10)) << align;
        button.UserControl_MouseUp(1, 0, 0, 0);
        EXPECT_EQ(std::pair(picture1.Left(), picture1.Top()), rest) << align;
    }
    EXPECT_EQ(picture1.width, 300);
}

DrawOp op(Kind kind, float x1, float y1, float x2, float y2, Color color, int width)
{
    return {kind, x1, y1, x2, y2, color, width, LineStyle::Solid};
}

// The whole bevel of a button 1500 by 450 twips: edges, frame, and the four
// cut corners with their chamfers, raised and sunken.
TEST_F(CoreButtonTest, bevelDrawsItsEdgesFrameAndCornersWhereTheyBelong)
{
    const auto bevel = [](Color topLeft, Color bottomRight, int a, int b) {
        return std::vector<DrawOp>{
            op(Kind::Line, 15, 15, 1500, 0, topLeft, 2),         op(Kind::Line, 15, 15, 0, 450, topLeft, 2),
            op(Kind::Line, 1492, 0, 1492, 442, bottomRight, 2),  op(Kind::Line, 0, 442, 1492, 442, bottomRight, 2),
            op(Kind::Rectangle, 0, 0, 1484, 434, kShadow, a),    op(Kind::Fill, 0, 0, 45, 45, kFace, 1),
            op(Kind::Line, 0, 45, 45, 0, kShadow, b),            op(Kind::Fill, 0, 389, 45, 434, kFace, 1),
            op(Kind::Line, 0, 389, 45, 434, kShadow, a),         op(Kind::Fill, 1439, 389, 1484, 434, kFace, 1),
            op(Kind::Line, 1439, 434, 1484, 389, kShadow, a),    op(Kind::Fill, 1439, 0, 1484, 45, kFace, 1),
            op(Kind::Line, 1439, 0, 1484, 45, kShadow, b),
        };
    };
    const auto drawn = [this] {
        std::vector<DrawOp> ops = surface.lastRepaint();
        std::erase_if(ops, [](const DrawOp& o) { return o.kind == Kind::Clear || o.kind == Kind::Print; });
        return ops;
    };
    button.setBorderStyle(1);
    EXPECT_EQ(drawn(), bevel(kLight, kDark, 2, 1));
    button.setButtonDown(true);
    EXPECT_EQ(drawn(), bevel(kDark, kLight, 1, 2));
    button.setButtonDown(false);
    button.setBorderStyle(2);
    EXPECT_EQ(drawn(), bevel(kDark, kLight, 1, 2));
    EXPECT_EQ(surface.lineWidth(), 2);
}

// A gradient face fills its cut corners with its own bands.
TEST_F(CoreButtonTest, gradientCornersKeepTheBandsColours)
{
    button.setFadetoColor(0x00FFFFFF);
    button.setBackColor(0);
    button.setBorderStyle(1);
    button.setStyle(1);
    for (const DrawOp& fill : surface.lastRepaint(Kind::Fill)) {
        if (fill.x2 - fill.x1 == 45) {
            const std::vector<Color> bands = surface.bands();
            EXPECT_EQ(fill.color, bands.at(size_t(fill.y1) / 8)) << fill.x1 << ", " << fill.y1;
        }
    }
}

}  // namespace
}  // namespace ombrix::test
