#pragma once

#include <cstdint>
#include <string>

namespace ombrix::update {

// Exit statuses of the updater, also stored as the result of the last check.
inline constexpr int kUpdated = 0;
inline constexpr int kUpToDate = 1;
inline constexpr int kFailed = 2;

// The largest list accepted; a signature list is text, so more is a mistake or an attack.
inline constexpr std::size_t kMaxListBytes = 64u << 20;

struct UpdateOptions {
    std::string programFolder;
    std::string url;
    long connectSeconds = 15;
    long totalSeconds = 300;
};

struct Outcome {
    int status = kFailed;
    std::string message;  // one sentence for the user
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

// One check: fetches the list at `url` and its signature at `url` + ".sig" and
// installs the list when a trusted key signed it, it parses with at least one
// entry and its version is newer than the installed list's. Every failure
// leaves the installed list as it was.
Outcome RunUpdate(const UpdateOptions& options, UpdateReport& report);

}  // namespace ombrix::update
