#pragma once

#include <cstdint>
#include <string>

namespace ombrix {

// What the main window does to the scan window.
class ScanWindowOps {
public:
    virtual ~ScanWindowOps() = default;
    virtual void setOptions(std::int16_t scanSubFolders, std::int16_t scanAll, std::int16_t autoRepair) = 0;
    virtual void setCanceled(bool canceled) = 0;
    // Shows the window, not modal, owned by the main window.
    virtual void showOwned() = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void scanSystem(std::string& drive, bool nomsg) = 0;
    virtual void unload() = 0;
};

}  // namespace ombrix
