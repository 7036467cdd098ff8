#pragma once

namespace ombrix::quarantine {

// The entry itself, opened (never through a reparse point) with DELETE,
// READ_CONTROL and FILE_READ_ATTRIBUTES access: it is renamed by this handle, so
// nothing resolves its path again.
struct Source {
    void* file = nullptr;
};

}  // namespace ombrix::quarantine
