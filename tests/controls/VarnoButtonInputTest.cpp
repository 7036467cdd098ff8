#include "ButtonTest.h"

#include "InputCodes.h"

#include <algorithm>

namespace ombrix::test {
namespace {

using InputTest = ButtonTest;

TEST_F(InputTest, spaceAndEnterPressAndReleaseThenClickAndToggleOnRelease)
{
    tap(Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(journal, (Journal{"KeyDown 32 0", "paint down", "KeyPress 32", "KeyUp 32 0", "paint up", "Click"}));

    journal.clear();
    button->setBehavior(1);
    tap(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(journal, (Journal{"KeyDown 13 0", "paint up", "KeyPress 13", "KeyUp 13 0", "paint down", "Click"}));
    tap(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(button->ButtonDown());
}

// The handler runs first and the signal's slots see what it left; the button
// acts on the key they leave.
TEST_F(InputTest, handlerAndSlotsCanChangeTheKeyTheButtonActsOn)
{
    struct SwallowEnter final : VarnoButtonEvents {
        void KeyDown(int16_t& keyCode, int16_t&) override { keyCode = keyCode == 13 ? 0 : keyCode; }
        void KeyUp(int16_t& keyCode, int16_t&) override { keyCode = keyCode == 13 ? 0 : keyCode; }
    } handler;
    button->setEventHandler(&handler);
    tap(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(journal, (Journal{"KeyDown 0 0", "KeyPress 13", "KeyUp 0 0"}));

    button->setEventHandler(nullptr);
    QObject::connect(button, &VarnoButton::keyDown, [](qint16& keyCode, qint16&) { keyCode = keyCode == 65 ? 32 : keyCode; });
    QObject::connect(button, &VarnoButton::keyUp, [](qint16& keyCode, qint16&) { keyCode = 0; });
    tap(Qt::Key_A, QStringLiteral("a"));
    EXPECT_TRUE(button->ButtonDown());  // pressed as Space, never released
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Click"), 0);
}

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    qint16 keyCode, shift;
    std::vector<int> keyAscii;
};

// KeyPress codes as under a UTF-8 locale: Latin-1, "?" for what it lacks.
TEST_F(InputTest, everyKeyHasACodeAndEveryCharacterItsEightBitCode)
{
    const KeyCase cases[] = {
        {Qt::Key_A, {}, "a", 65, 0, {97}},
        {Qt::Key_Escape, {}, "\x1b", 27, 0, {27}},
        {Qt::Key_F5, {}, "", 116, 0, {}},
        {Qt::Key_Exclam, Qt::ShiftModifier, "!", 49, 1, {33}},
        {Qt::Key_Colon, Qt::ShiftModifier, ":", 186, 1, {58}},
        {Qt::Key_At, {}, "@", 50, 0, {64}},
        {Qt::Key_Plus, {}, "+", 187, 0, {43}},
        {Qt::Key_NumberSign, {}, "#", 51, 0, {35}},
        {Qt::Key_Less, {}, "<", 188, 0, {60}},
        {Qt::Key_Eacute, {}, "\u00e9", kCharacterKey, 0, {233}},
        {Qt::Key_Adiaeresis, {}, "\u00e4", kCharacterKey, 0, {228}},
        {Qt::Key_ssharp, {}, "\u00df", kCharacterKey, 0, {223}},
        {Qt::Key(0x0416), {}, "\u0436", kCharacterKey, 0, {63}},  // Cyrillic zhe
        {Qt::Key(0x20AC), {}, "\u20ac", kCharacterKey, 0, {63}},
        {Qt::Key_Dead_Circumflex, {}, "", kUnmappedKey, 0, {}},
        {Qt::Key_Meta, Qt::MetaModifier, "", 91, 0, {}},
        {Qt::Key_Clear, Qt::KeypadModifier, "", 12, 0, {}},
        {Qt::Key_5, Qt::KeypadModifier, "5", 101, 0, {53}},
        {Qt::Key_A, Qt::ControlModifier, "\x01", 65, 2, {1}},
        {Qt::Key_A, Qt::AltModifier, "", 65, 4, {}},
        {Qt::Key_Control, Qt::ShiftModifier, "", 17, 3, {}},  // Qt adds the key's own modifier
    };
    for (const KeyCase& c : cases) {
        journal.clear();
        tap(c.key, QString::fromUtf8(c.text), c.modifiers);

        Journal expected{"KeyDown " + std::to_string(c.keyCode) + " " + std::to_string(c.shift)};
        for (const int code : c.keyAscii)
            expected.push_back("KeyPress " + std::to_string(code));
        expected.push_back("KeyUp " + std::to_string(c.keyCode) + " " + std::to_string(c.shift));
        EXPECT_EQ(journal, expected) << "key 0x" << std::hex << c.key;
    }
}

TEST(EightBitCodesTest, anEightBitLocaleGivesItsOwnCodes)
{
    const QString text = QString::fromUtf8("\u00e9\u20ac\u0416");
    EXPECT_EQ(ansiCodes(text, "ISO-8859-15"), (QList<int16_t>{233, 164, 63}));
    EXPECT_EQ(ansiCodes(text, "KOI8-R"), (QList<int16_t>{63, 63, 246}));
}

TEST_F(InputTest, heldSpaceRepeatsThePressAndClicksOnce)
{
    key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    for (int repeat = 0; repeat < 2; ++repeat) {
        key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "), {}, true);
        key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "), {}, true);
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
    mouse(QEvent::MouseMove, {12, 20});
    mouse(QEvent::MouseButtonRelease, {10, 20});
    EXPECT_EQ(journal, (Journal{"paint down", "MouseDown 1 0 150 300", "MouseMove 1 0 180 300", "paint up",
                                "MouseUp 1 0 150 300", "Click"}));

    journal.clear();
    mouse(QEvent::MouseButtonPress, {10, 20}, Qt::RightButton);
    mouse(QEvent::MouseMove, {10, 20}, Qt::NoButton);
    EXPECT_EQ(journal, (Journal{"paint down", "MouseDown 2 0 150 300", "MouseMove 0 0 150 300"}));
}

TEST_F(InputTest, toggleFlipsOnEveryReleaseEvenOutsideTheButton)
{
    button->setBehavior(1);
    mouse(QEvent::MouseButtonPress, {10, 20});
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

TEST_F(InputTest, mousePressShiftsTheContentButAKeyboardPressDoesNot)
{
    button->setShowPicture(true);
    key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(surface->caption().x1, 645);
    EXPECT_EQ(picture1().Left(), 75);
    key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));

    mouse(QEvent::MouseButtonPress, {10, 20});
    EXPECT_EQ(surface->caption().x1, 675);
    EXPECT_EQ(picture1().Left(), 95);
}

}  // namespace
}  // namespace ombrix::test
