#pragma once

#include <QFrame>
#include <QLine>
#include <QList>

namespace ombrix {

// A panel with etched horizontal rules drawn on it. Drawn rather than made of
// line widgets, which screen readers would announce as unnamed frames.
class RuledFrame final : public QFrame {
public:
    explicit RuledFrame(QWidget* parent) : QFrame(parent) {}

    // A rule from (x1, y) to (x2, y), in this frame's pixels.
    void addRule(int x1, int y, int x2);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QLine> rules_;
};

}  // namespace ombrix
