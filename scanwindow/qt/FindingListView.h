#pragma once

#include <QTreeView>

namespace ombrix {

// ListView1: the finding list in report view. Reports the mouse actions the
// scan window handles itself.
class FindingListView final : public QTreeView {
    Q_OBJECT
public:
    explicit FindingListView(QWidget* parent);

signals:
    // The right button went down on `row` (from 0), after the standard
    // selection handling has run.
    void rightPressedOnRow(int row);
    void mouseReleased(Qt::MouseButton button, const QPoint& globalPosition);
    // The Menu key or Shift+F10: the keyboard's way to the popup menu.
    void menuKeyPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace ombrix
