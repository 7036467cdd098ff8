#include "ButtonTest.h"

#include <VarnoButton/InputCodes.h>

#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>

#include <algorithm>

namespace ombrix::test {
namespace {

using InputTest = ButtonTest;

// A held key repeats the press but clicks once.
TEST_F(InputTest, spaceAndEnterPressAndReleaseThenClickAndToggleOnRelease)
{
    key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "), {}, true);
    key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "), {}, true);
    key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(journal, (Journal{"KeyDown 32 0", "paint down", "KeyPress 32", "KeyDown 32 0", "paint down",
                                "KeyPress 32", "KeyUp 32 0", "paint up", "Click"}));

    journal.clear();
    button->setBehavior(1);
    tap(Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_EQ(journal, (Journal{"KeyDown 13 0", "paint up", "KeyPress 13", "KeyUp 13 0", "paint down", "Click"}));
}

// KeyPress codes as under a UTF-8 locale: Latin-1, "?" for what it lacks.
TEST_F(InputTest, everyKeyHasACodeAndEveryCharacterItsEightBitCode)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        qint16 keyCode, shift;
        std::vector<int> keyAscii;
    } cases[] = {
        {Qt::Key_Escape, {}, "\x1b", 27, 0, {27}},
        {Qt::Key_F5, {}, "", 116, 0, {}},
        {Qt::Key_Delete, {}, "\x7f", 46, 0, {127}},
        {Qt::Key_Insert, {}, "", 45, 0, {}},
        {Qt::Key_Home, {}, "", 36, 0, {}},
        {Qt::Key_Left, {}, "", 37, 0, {}},
        {Qt::Key_PageDown, {}, "", 34, 0, {}},
        {Qt::Key_Backspace, {}, "\b", 8, 0, {8}},
        {Qt::Key_Z, Qt::ShiftModifier, "Z", 90, 1, {90}},
        {Qt::Key_Colon, Qt::ShiftModifier, ":", 186, 1, {58}},
        {Qt::Key_Eacute, {}, "\u00e9", KeyCode::Character, 0, {233}},
        {Qt::Key(0x20AC), {}, "\u20ac", KeyCode::Character, 0, {63}},
        {Qt::Key_Dead_Circumflex, {}, "", KeyCode::Unmapped, 0, {}},
        {Qt::Key_5, Qt::KeypadModifier, "5", 101, 0, {53}},
        {Qt::Key_A, Qt::ControlModifier, "\x01", 65, 2, {1}},
        {Qt::Key_A, Qt::AltModifier, "", 65, 4, {}},
        {Qt::Key_Control, Qt::ShiftModifier, "", 17, 3, {}},  // Qt adds the key's own modifier
    };
    for (const auto& c : cases) {
        journal.clear();
        tap(c.key, QString::fromUtf8(c.text), c.modifiers);
        const std::string codes = std::to_string(c.keyCode) + " " + std::to_string(c.shift);
        Journal expected{"KeyDown " + codes};
        for (const int code : c.keyAscii)
            expected.push_back("KeyPress " + std::to_string(code));
        expected.push_back("KeyUp " + codes);
        EXPECT_EQ(journal, expected) << "key 0x" << std::hex << c.key;
    }
    const QString text = QString::fromUtf8("\u00e9\u20ac\u0416");
    EXPECT_EQ(ansiCodes(text, "ISO-8859-15"), (QList<int16_t>{233, 164, 63}));
    EXPECT_EQ(ansiCodes(text, "KOI8-R"), (QList<int16_t>{63, 63, 246}));
}

// Enter and Space belong to the focused button: the dialog's default button
// stays still and the window sees neither; other keys go on to it.
TEST_F(InputTest, enterAndSpaceStopAtTheButtonOtherKeysGoOn)
{
    QDialog dialog;
    auto* defaultButton = new QPushButton(QStringLiteral("OK"), &dialog);
    defaultButton->setDefault(true);
    button->setParent(&dialog);
    dialog.show();  // a dialog presses only a visible default button
    QSignalSpy defaultClicked(defaultButton, &QPushButton::clicked);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    tap(Qt::Key_Return, QStringLiteral("\r"));
    tap(Qt::Key_Enter, QStringLiteral("\r"), Qt::KeypadModifier);
    tap(Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(defaultClicked.count(), 0);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Click"), 3);
    tap(Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_EQ(rejected.count(), 1);
    button->setParent(&window);
}

// Mouse signals follow the repaint; a toggle flips at every release, even
// outside the button, and a double click presses again.
TEST_F(InputTest, mousePressesRepaintThenReport)
{
    mouse(QEvent::MouseButtonPress, {10, 20}, Qt::RightButton);
    mouse(QEvent::MouseMove, {12, 20}, Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, {10, 20}, Qt::RightButton);
    mouse(QEvent::MouseButtonDblClick, {10, 20});
    mouse(QEvent::MouseButtonRelease, {10, 20});
    EXPECT_EQ(journal, (Journal{"paint down", "MouseDown 2 0 150 300", "MouseMove 2 0 180 300", "paint up",
                                "MouseUp 2 0 150 300", "Click", "paint down", "MouseDown 1 0 150 300", "DblClick",
                                "paint up", "MouseUp 1 0 150 300"}));

    journal.clear();
    button->setBehavior(1);
    mouse(QEvent::MouseButtonPress, {10, 20});
    mouse(QEvent::MouseButtonRelease, {300, 200});
    EXPECT_EQ(journal, (Journal{"paint up", "MouseDown 1 0 150 300", "paint down", "MouseUp 1 0 4500 3000"}));
    mouse(QEvent::MouseButtonPress, {10, 20});
    mouse(QEvent::MouseButtonRelease, {10, 20});
    EXPECT_FALSE(button->ButtonDown());
}

}  // namespace
}  // namespace ombrix::test
