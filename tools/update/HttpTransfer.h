#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ombrix::update {

// What every download of one update shares: one deadline for all of them
// together, a lowest speed, and the hosts plain http may go to.
struct Transport {
    std::chrono::steady_clock::time_point deadline;
    long totalSeconds = 300;  // what the deadline was made of, for messages
    long connectSeconds = 15;
    // A download slower than lowSpeedBytes per second over lowSpeedSeconds is abandoned.
    long lowSpeedBytes = 1024;
    long lowSpeedSeconds = 30;
    std::vector<std::string> httpHosts;
    std::string httpHostsFile;  // where httpHosts are set, for messages
};

// Called while a body arrives with the bytes so far and the announced total (0
// unknown); returns false to abandon the download.
using FetchProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// What one request brought.
struct Transfer {
    enum class Failure {
        None,
        TooLarge,
        TimedOut,  // connecting or the whole request took longer than allowed
        TooSlow,   // below the lowest speed for its whole span
        UnknownHost,
        UnknownProxy,
        NoConnection,
        CutShort,
        Canceled,  // the progress callback asked to stop
        Other,     // `detail` says what in the library's words
    } failure = Failure::Other;
    long httpStatus = 0;
    std::string body;
    std::string location;  // a redirect's target as the server sent it
    std::string detail;
};

// One GET through the platform's HTTP stack (libcurl on Linux, WinHTTP on
// Windows), redirects not followed. Proxies are the system's: on Linux the
// usual environment variables, on Windows WinHTTP's own setting.
class HttpTransfer {
public:
    explicit HttpTransfer(const Transport& transport);
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    // At most `maxBytes` of the body, within `millisecondsLeft`.
    Transfer get(const std::string& url, std::size_t maxBytes, const FetchProgress& progress, long millisecondsLeft);

private:
    const Transport& transport_;
    void* session_;
};

}  // namespace ombrix::update
