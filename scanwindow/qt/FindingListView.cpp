#include "FindingListView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace ombrix {

FindingListView::FindingListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    // A long path loses its middle, so the file name stays in sight.
    setTextElideMode(Qt::ElideMiddle);
    header()->setStretchLastSection(false);
}

void FindingListView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        event->accept();
        emit menuKeyPressed();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void FindingListView::contextMenuEvent(QContextMenuEvent* event)
{
    // Some platforms follow the Menu key with a context-menu request of their
    // own; the key has already opened the menu.
    if (event->reason() == QContextMenuEvent::Keyboard)
        event->accept();
    else
        QTreeView::contextMenuEvent(event);
}

void FindingListView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        emit rightPressedOnRow(index.row());
}

void FindingListView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    emit mouseReleased(event->button(), event->globalPosition().toPoint());
}

}  // namespace ombrix
