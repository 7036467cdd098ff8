#pragma once

#include <optional>
#include <string>
#include <vector>

#include "InstanceLock.h"
#include "MainEnvironment.h"
#include "mDisk.h"

namespace ombrix {

// The platform behind the main window, as the program itself uses it: the
// program folder, the command line, the settings store, the drives, the
// single-instance lock and the launcher. The drive table is read once; the
// lock, once taken, is held as long as this object lives.
class SystemEnvironment {
public:
    explicit SystemEnvironment(std::vector<std::string> commandLineWords);
    SystemEnvironment(const SystemEnvironment&) = delete;
    SystemEnvironment& operator=(const SystemEnvironment&) = delete;

    // Refers to this object: it must outlive what it is given to.
    MainEnvironment environment();

    // True when the words ask for the command-line road.
    bool scanNow() const;

private:
    std::vector<std::string> words_;
    const mDisk::MountTable mounts_{};
    std::optional<InstanceLock> lock_;
};

// The command-line road: one silent scan of the program's drive, no window.
// The exit status tells a scheduler whether the scan finished (0), was
// cancelled (3), or never ran because another copy was running (4).
constexpr int kAnotherCopyStatus = 4;
int RunSilentScan(SystemEnvironment& system);

}  // namespace ombrix
