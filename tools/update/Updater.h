#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "UpdateFolders.h"

namespace ombrix::update {

// Exit statuses of the updater, also stored as the result of the last check.
inline constexpr int kUpdated = 0;
inline constexpr int kUpToDate = 1;
inline constexpr int kFailed = 2;

// The largest list accepted; a signature list is text, so more is a mistake or an attack.
inline constexpr std::size_t kMaxListBytes = 64u << 20;

struct UpdateOptions {
    UpdateFolders folders;
    // The release's address from --url or the user's "Update URL"; empty: the
    // administrator's, from update.conf.
    std::string url;
    long totalSeconds = 300;  // one deadline for every request of the update
    long lowSpeedBytes = 1024;
    long lowSpeedSeconds = 30;
};

struct Outcome {
    Outcome() = default;
    Outcome(int status, std::string message, std::string windowMessage = {})
        : status(status), message(std::move(message)), windowMessage(std::move(windowMessage))
    {
    }

    int status = kFailed;
    std::string message;  // one sentence for the user
    // The same for a person at the update window, where `message` names a
    // command to type; empty when `message` serves both.
    std::string windowMessage;
};

// What the updater is doing, for a progress line or window.
class UpdateReport {
public:
    virtual ~UpdateReport() = default;
    virtual void step(const std::string& what) = 0;
    // Bytes of the current download so far and its announced size (0 unknown).
    virtual void progress(std::uint64_t done, std::uint64_t total) = 0;
    // True once the user asked to stop; a download then ends at its next chunk.
    virtual bool canceled() const { return false; }
};

// One check: fetches the release at the address and its signature (address +
// ".sig"), and when a trusted key signed it, it is valid now and newer than
// every list installed before, fetches the list it names, checks its size, hash
// and version line, appends CONFIG/local.ini and installs it as STATE/ombrix.ini.
// Every failure leaves the installed list as it was.
Outcome RunUpdate(const UpdateOptions& options, UpdateReport& report);

}  // namespace ombrix::update
