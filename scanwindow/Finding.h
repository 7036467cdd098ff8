#pragma once

#include <string>

#include "ThreatName.h"

namespace ombrix {

// One row of the finding list.
struct Finding {
    ThreatName VirusName;
    std::string FullPath;
    // "redbug" while the file is there, "greenbug" once it is known to be gone.
    std::string IconKey;
    bool Selected = false;
};

}  // namespace ombrix
