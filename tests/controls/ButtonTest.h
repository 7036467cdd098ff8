#pragma once

#include <VarnoButton/PaintSurface.h>
#include <VarnoButton/PictureBox.h>
#include <VarnoButton/VarnoButton.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::test {

// One drawing operation with the drawing state it used. A print keeps its
// text position in x1, y1 and its text colour in color.
struct DrawOp {
    enum class Kind { Clear, Line, Rectangle, Fill, Print };

    Kind kind = Kind::Clear;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    Color color = 0;
    int lineWidth = 0;
    LineStyle style = LineStyle::Solid;

    bool operator==(const DrawOp&) const = default;
};

// Keeps every operation instead of drawing. Text is 100 twips a character
// wide and 180 + 10 a character high, so every string has a height of its
// own ("Hy" 200).
class RecordingSurface final : public PaintSurface {
public:
    std::vector<DrawOp> ops;
    // Runs at every clear, that is at the start of every repaint.
    std::function<void()> onClear;

    // The operations of the last repaint, all or of one kind.
    std::vector<DrawOp> lastRepaint(std::optional<DrawOp::Kind> kind = std::nullopt) const;
    DrawOp caption() const { return lastRepaint(DrawOp::Kind::Print).at(0); }
    // The colours of the gradient's bands, top to bottom.
    std::vector<Color> bands() const;
    // The bevel: "" none, R raised, S sunken, ? one whose parts disagree.
    std::string bevel() const;
    std::optional<DrawOp> focusRectangle() const;

    using Kind = DrawOp::Kind;
    void line(float x1, float y1, float x2, float y2, Color c) override { add(Kind::Line, x1, y1, x2, y2, c); }
    void rectangle(float x1, float y1, float x2, float y2, Color c) override { add(Kind::Rectangle, x1, y1, x2, y2, c); }
    void fillRectangle(float x1, float y1, float x2, float y2, Color c) override { add(Kind::Fill, x1, y1, x2, y2, c); }
    float textWidth(const std::string& text) const override { return 100 * float(text.size()); }
    float textHeight(const std::string& text) const override { return 180 + 10 * float(text.size()); }
    void print(const std::string&) override { add(Kind::Print, currentX(), currentY(), 0, 0, textColor()); }

protected:
    void fillBackground() override;

private:
    void add(Kind kind, float x1, float y1, float x2, float y2, Color c) { ops.push_back({kind, x1, y1, x2, y2, c, lineWidth(), lineStyle()}); }
};

// The one application object the widget tests need; never destroyed. Key
// codes are checked under a UTF-8 locale, whatever the environment's.
QApplication& testApplication();

using Journal = std::vector<std::string>;

// Writes each signal of button into journal as a line such as "KeyDown 32 0"
// or "MouseUp 1 0 150 300".
void record(VarnoButton& button, Journal& journal);

// A new button (InitProperties has run) 100 by 30 pixels, that is 1500 by 450
// twips, in a holding window, drawing on a recording surface. The journal gets
// its signals and "paint down" or "paint up" at every repaint.
class ButtonTest : public ::testing::Test {
protected:
    ButtonTest() { newButton(); }

    // Replaces the button with a new one.
    void newButton();
    // Resizes the button the way a holder's layout does.
    void sizeTo(int width, int height);
    void send(QEvent&& event) { QApplication::sendEvent(button, &event); }
    void focus(bool in) { send(QFocusEvent(in ? QEvent::FocusIn : QEvent::FocusOut)); }
    void key(QEvent::Type type, Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = {},
             bool autoRepeat = false)
    {
        send(QKeyEvent(type, key, modifiers, text, autoRepeat));
    }
    // Presses and releases a key.
    void tap(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = {})
    {
        this->key(QEvent::KeyPress, key, text, modifiers);
        this->key(QEvent::KeyRelease, key, text, modifiers);
    }
    // A mouse event at a pixel position of the button; which is held down
    // except on release.
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton which = Qt::LeftButton);
    PictureBox& picture1() const { return *button->findChild<PictureBox*>(QStringLiteral("Picture1")); }

    QApplication& application = testApplication();
    QWidget window;
    VarnoButton* button = nullptr;        // owned by window
    RecordingSurface* surface = nullptr;  // owned by button
    Journal journal;
};

}  // namespace ombrix::test
