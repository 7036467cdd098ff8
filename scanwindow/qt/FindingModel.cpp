#include "FindingModel.h"

#include "ImageList.h"
#include "frmScan.h"

namespace ombrix {

namespace {

QString decoded(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

FindingModel::FindingModel(const frmScan& form, const ImageList& images, QObject* parent)
    : QAbstractTableModel(parent), form_(form), images_(images)
{
}

void FindingModel::catchUp()
{
    const FindingListMirror::Changes changes = mirror_.catchUp(form_);
    const int rows = static_cast<int>(form_.findings().size());
    if (changes.restarted) {
        beginResetModel();
        hasColumns_ = form_.hasColumns();
        shownRows_ = rows;
        endResetModel();
        return;
    }
    for (const std::size_t row : changes.changedRows)
        emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), 1));
    if (rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
}

int FindingModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int FindingModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !hasColumns_ ? 0 : 2;
}

QVariant FindingModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shownRows_)
        return {};
    const Finding& finding = form_.findings()[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return decoded(index.column() == 0 ? finding.VirusName.text() : finding.FullPath);
    if (role == Qt::DecorationRole && index.column() == 0)
        return images_.icon(finding.IconKey);
    return {};
}

QVariant FindingModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("Virus Name") : QStringLiteral("Filename");
}

}  // namespace ombrix
