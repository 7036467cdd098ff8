#pragma once

#include <QStyledItemDelegate>

namespace ombrix {

// Item views (the drive tree, the finding list) show long texts in part; this
// delegate makes an item's whole text its tooltip while the view shows only part.
class ElidedToolTips final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // True when the view, drawing `index` with `option`, leaves part of its text out.
    bool isElided(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

}  // namespace ombrix
