#include "EntryModel.h"

#include "frmQuarantine.h"

namespace ombrix {

EntryModel::EntryModel(const frmQuarantine& form, QObject* parent) : QAbstractTableModel(parent), form_(form)
{
    generation_ = form_.listGeneration();
}

void EntryModel::catchUp()
{
    if (generation_ == form_.listGeneration())
        return;
    beginResetModel();
    generation_ = form_.listGeneration();
    endResetModel();
}

int EntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(form_.rows().size());
}

int EntryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(kQuarantineColumns.size());
}

QVariant EntryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole) {
        const std::string& text = form_.rows()[static_cast<std::size_t>(index.row())].texts[column];
        return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    }
    // A held file: neither found (red) nor gone (green).
    if (role == Qt::DecorationRole && index.column() == 0)
        return images_.icon("yellowbug");
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (kQuarantineColumns[column].alignRight ? Qt::AlignRight : Qt::AlignLeft));
    return {};
}

QVariant EntryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(kQuarantineColumns.size()))
        return {};
    return QString::fromLatin1(kQuarantineColumns[static_cast<std::size_t>(section)].title);
}

}  // namespace ombrix
