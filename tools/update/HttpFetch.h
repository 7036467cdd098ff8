#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ombrix::update {

struct FetchRequest {
    std::string url;
    // Validators of the last success; sent as If-None-Match / If-Modified-Since when set.
    std::string etag;
    std::string lastModified;
    std::size_t maxBytes = 0;
    long connectSeconds = 15;
    long totalSeconds = 300;
};

struct FetchResult {
    enum class Kind { Ok, NotModified, TooLarge, HttpError, Failed } kind = Kind::Failed;
    long httpStatus = 0;
    std::string body;
    std::string etag;
    std::string lastModified;
    std::string error;  // for Failed: what went wrong, in words
};

// Called while a body arrives with the bytes so far and the announced total (0
// unknown); returns false to abandon the download.
using FetchProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// HTTP and HTTPS downloads through libcurl. Proxies come from the usual
// environment variables (http_proxy, https_proxy, no_proxy), which libcurl reads
// itself. One client reuses its connection for the list and its signature.
class HttpFetch {
public:
    HttpFetch();
    ~HttpFetch();
    HttpFetch(const HttpFetch&) = delete;
    HttpFetch& operator=(const HttpFetch&) = delete;

    FetchResult fetch(const FetchRequest& request, const FetchProgress& progress = {});

private:
    void* curl_;
};

}  // namespace ombrix::update
