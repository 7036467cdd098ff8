#pragma once

#include <QLabel>

namespace ombrix {

// A label that reports a click: a left-button release over it after a press
// on it, as a push button does.
class ClickLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};

}  // namespace ombrix
