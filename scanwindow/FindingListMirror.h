#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Finding.h"

namespace ombrix {

class frmScan;

// A view's finding list kept in step with a frmScan's rows. A scan changes the
// rows far more often than the view repaints; each catch-up tells what changed
// since the last, so the view redraws no more than that.
class FindingListMirror {
public:
    struct Changes {
        // The list was emptied since: the view drops every row and column, and
        // shows the columns if the form has them.
        bool restarted = false;
        // Rows shown before whose texts or icon changed, from 0.
        std::vector<std::size_t> changedRows;
        // The rows from here to the form's last are new.
        std::size_t firstNewRow = 0;
    };

    Changes catchUp(const frmScan& form);
    std::size_t shownRows() const { return shown_.size(); }

private:
    std::uint64_t generation_ = 0;
    std::vector<Finding> shown_;
};

}  // namespace ombrix
