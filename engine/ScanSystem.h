#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "PassedOver.h"

#include "ScanWindow.h"

namespace ombrix {

// What a finished run counted, for front ends that report it.
struct ScanSummary {
    std::string folder;  // the start folder, ending in the separator
    std::size_t lookedFor = 0;
    double dirs = 0;
    double files = 0;
    std::size_t rows = 0;
    std::size_t removed = 0;
    std::size_t stillPresent = 0;
    bool canceled = false;
    bool removing = false;  // the run was to remove what it found
    // Folders the walk could not enter for want of a descriptor: a scan that
    // missed any is never called clean.
    double unreached = 0;
    // What the walk met but did not scan.
    PassedOver passedOver;
    // The list's declared version, if it declares one.
    std::optional<std::uint64_t> listVersion;
    // How long the run took and when it ended.
    std::chrono::duration<double> duration{};
    std::chrono::system_clock::time_point ended;
    // Result values the settings store refused, and why it refused the first.
    std::size_t unrecorded = 0;
    std::string recordError;
};

// One complete scan of `drive`, which gets a trailing separator when it lacks
// one. `nomsg` asks for a silent run that ends by closing the window.
ScanSummary ScanSystem(ScanWindow& window, std::string& drive, bool nomsg);

// Local date as 2005-08-12 and local time as 09:05:07.
std::string retDate();
std::string retTime();

}  // namespace ombrix
