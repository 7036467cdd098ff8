#include "FindingListMirror.h"

#include "frmScan.h"

namespace ombrix {

FindingListMirror::Changes FindingListMirror::catchUp(const frmScan& form)
{
    Changes changes;
    if (form.listGeneration() != generation_) {
        generation_ = form.listGeneration();
        shown_.clear();
        changes.restarted = true;
    }
    const std::vector<Finding>& rows = form.findings();
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const Finding& row = rows[i];
        if (row.VirusName != shown_[i].VirusName || row.FullPath != shown_[i].FullPath ||
            row.IconKey != shown_[i].IconKey)
            changes.changedRows.push_back(i);
    }
    changes.firstNewRow = shown_.size();
    shown_ = rows;
    return changes;
}

}  // namespace ombrix
