#pragma once

#include <QLabel>

namespace ombrix {

// A label that acts like a link: it reports a click, a left-button release
// over it after a press on it, as a push button does. Given the focus (a
// focus policy), it shows a focus cue and Enter or Space click it. Screen
// readers see a link that can be pressed.
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    explicit ClickLabel(QWidget* parent = nullptr);
    ClickLabel(const QString& text, QWidget* parent);

    // Clicks the label, as the mouse or the keyboard does; a disabled one stays still.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace ombrix
