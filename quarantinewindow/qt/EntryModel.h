#pragma once

#include <QAbstractTableModel>
#include <cstdint>

#include "ImageList.h"

namespace ombrix {

class frmQuarantine;

// The quarantine's rows as a Qt model. It shows what the form held at the last
// catchUp(): the form rebuilds its rows at once, so the model starts over.
class EntryModel final : public QAbstractTableModel {
public:
    EntryModel(const frmQuarantine& form, QObject* parent);

    // A reset when the form's rows were rebuilt since; nothing otherwise.
    void catchUp();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const frmQuarantine& form_;
    ImageList images_;
    std::uint64_t generation_ = 0;
};

}  // namespace ombrix
