#pragma once

#include <QAbstractTableModel>

#include "FindingListMirror.h"

namespace ombrix {

class frmScan;
class ImageList;

// The finding list's rows as a Qt model. It shows the rows the form held at the
// last catchUp(), so rows a scan adds between two repaints reach the view as
// one insertion.
class FindingModel final : public QAbstractTableModel {
public:
    FindingModel(const frmScan& form, const ImageList& images, QObject* parent);

    // Shows what the form holds now: a reset when the list was emptied, else
    // the changed rows refreshed and the new ones in one insertion.
    void catchUp();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const frmScan& form_;
    const ImageList& images_;
    FindingListMirror mirror_;
    bool hasColumns_ = false;
    int shownRows_ = 0;
};

}  // namespace ombrix
