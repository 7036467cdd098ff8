#include "ElidedToolTips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace ombrix {

bool ElidedToolTips::isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = item.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    // The text's room as the style draws it: its rectangle less the focus margins.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).width() - 2 * margin;
    return item.fontMetrics.horizontalAdvance(item.text) > room;
}

bool ElidedToolTips::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                               const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = isElided(option, index) ? index.data(Qt::DisplayRole).toString() : QString();
    QToolTip::showText(event->globalPos(), text, view, option.rect);
    event->setAccepted(!text.isEmpty());
    return event->isAccepted();
}

}  // namespace ombrix
