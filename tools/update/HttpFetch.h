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

struct FetchResult {
    enum class Kind { Ok, TooLarge, HttpError, Failed } kind = Kind::Failed;
    long httpStatus = 0;
    std::string body;
    std::string error;  // for Failed: what went wrong, in words
};

// Called while a body arrives with the bytes so far and the announced total (0
// unknown); returns false to abandon the download.
using FetchProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Empty when `transport` lets `url` be fetched: https, or plain http to a host
// the administrator allowed and not reached through https; else why not.
std::string AddressRefusal(const std::string& url, bool fromHttps, const Transport& transport);

// The address of the file `name` in the folder of `url` (a plain file name: it
// needs no escaping).
std::string SiblingUrl(const std::string& url, const std::string& name);

// HTTPS downloads through libcurl, and plain HTTP only to the hosts the
// administrator named. Redirects are followed one by one, each checked by the
// same rule, and never from https to http. The updater sends no validators
// (If-None-Match, If-Modified-Since), so a 304 is an error like any other.
// Proxies come from the usual environment variables (http_proxy, https_proxy,
// no_proxy), which libcurl reads itself.
class HttpFetch {
public:
    explicit HttpFetch(Transport transport);
    ~HttpFetch();
    HttpFetch(const HttpFetch&) = delete;
    HttpFetch& operator=(const HttpFetch&) = delete;

    // At most `maxBytes` of the body at `url`; more is TooLarge.
    FetchResult fetch(const std::string& url, std::size_t maxBytes, const FetchProgress& progress = {});

private:
    FetchResult fetchOne(const std::string& url, std::size_t maxBytes, const FetchProgress& progress,
                         std::string& redirect);

    Transport transport_;
    void* curl_;
};

}  // namespace ombrix::update
