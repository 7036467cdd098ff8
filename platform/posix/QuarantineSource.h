#pragma once

namespace ombrix::quarantine {

// The entry `name` of the folder open as `folder`: taken relative to that very
// folder, so nothing resolves its path again.
struct Source {
    int folder = -1;
    const char* name = nullptr;
};

}  // namespace ombrix::quarantine
