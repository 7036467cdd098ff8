#include "HttpFetch.h"

#include <curl/curl.h>

#include <cctype>
#include <string_view>

namespace ombrix::update {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxRedirects = 5;

struct Transfer {
    std::size_t maxBytes;
    const FetchProgress* progress;
    std::string body;
    bool tooLarge = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    if (transfer.body.size() + size * count > transfer.maxBytes) {
        transfer.tooLarge = true;
        return 0;
    }
    transfer.body.append(data, size * count);
    return size * count;
}

int onProgress(void* user, curl_off_t total, curl_off_t done, curl_off_t, curl_off_t)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const bool goOn = !*transfer.progress || (*transfer.progress)(std::uint64_t(done), std::uint64_t(total));
    return goOn ? 0 : 1;
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The scheme and host of `url` in lower case, without an IPv6 address's
// brackets; empty when it is no URL.
struct Address {
    std::string scheme;
    std::string host;
};

Address addressOf(const std::string& url)
{
    Address address;
    if (CURLU* parts = curl_url()) {
        char* scheme = nullptr;
        char* host = nullptr;
        if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
            curl_url_get(parts, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
            curl_url_get(parts, CURLUPART_HOST, &host, 0) == CURLUE_OK) {
            address.scheme = lower(scheme);
            address.host = lower(host);
            if (address.host.size() > 2 && address.host.front() == '[')
                address.host = address.host.substr(1, address.host.size() - 2);
        }
        curl_free(scheme);
        curl_free(host);
        curl_url_cleanup(parts);
    }
    return address;
}

// `url` for a message: a redirect target is the server's text, so its control
// and non-ASCII bytes are percent-escaped before they reach a terminal or the store.
std::string shown(const std::string& url)
{
    std::string text;
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x20 && byte < 0x7f) {
            text += c;
        } else {
            constexpr char kHex[] = "0123456789ABCDEF";
            text += {'%', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return text;
}

bool redirected(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

std::string SiblingUrl(const std::string& url, const std::string& name)
{
    std::string sibling;
    if (CURLU* parts = curl_url()) {
        char* joined = nullptr;
        if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
            curl_url_set(parts, CURLUPART_URL, name.c_str(), 0) == CURLUE_OK &&
            curl_url_get(parts, CURLUPART_URL, &joined, 0) == CURLUE_OK)
            sibling = joined;
        curl_free(joined);
        curl_url_cleanup(parts);
    }
    return sibling;
}

HttpFetch::HttpFetch(Transport transport) : transport_(std::move(transport))
{
    // Counted by libcurl, so every client may ask for it.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    curl_ = curl_easy_init();
}

HttpFetch::~HttpFetch()
{
    curl_easy_cleanup(static_cast<CURL*>(curl_));
    curl_global_cleanup();
}

std::string AddressRefusal(const std::string& url, bool fromHttps, const Transport& transport)
{
    const Address address = addressOf(url);
    if (address.scheme == "https")
        return {};
    if (address.scheme != "http")
        return "\"" + shown(url) + "\" is not an http or https address";
    if (fromHttps)
        return "an https address redirected to plain http (" + shown(url) + "), which is never followed";
    for (const std::string& host : transport.httpHosts)
        if (lower(host.size() > 2 && host.front() == '[' ? host.substr(1, host.size() - 2) : host) == address.host)
            return {};
    return "plain http to " + address.host + " is not allowed (\"allow-http = " + address.host + "\" in " +
           transport.httpHostsFile + " allows it)";
}

FetchResult HttpFetch::fetch(const std::string& url, std::size_t maxBytes, const FetchProgress& progress)
{
    std::string current = url;
    bool fromHttps = false;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        FetchResult result;
        if (result.error = AddressRefusal(current, fromHttps, transport_); !result.error.empty())
            return result;
        fromHttps = fromHttps || addressOf(current).scheme == "https";
        std::string next;
        result = fetchOne(current, maxBytes, progress, next);
        if (next.empty())
            return result;
        current = next;
    }
    FetchResult result;
    result.error = "more than " + std::to_string(kMaxRedirects) + " redirects from " + url;
    return result;
}

FetchResult HttpFetch::fetchOne(const std::string& url, std::size_t maxBytes, const FetchProgress& progress,
                                std::string& redirect)
{
    FetchResult result;
    auto* curl = static_cast<CURL*>(curl_);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(transport_.deadline - Clock::now());
    const std::string host = addressOf(url).host;
    const std::string late = "the update did not finish within " + std::to_string(transport_.totalSeconds) + " s";
    if (!curl) {
        result.error = "cannot start the download library";
        return result;
    }
    if (left.count() <= 0) {
        result.error = late;
        return result;
    }
    Transfer transfer{maxBytes, &progress, {}, false};
    char detail[CURL_ERROR_SIZE] = "";

    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(left.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(long(left.count()), transport_.connectSeconds * 1000));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, transport_.lowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, transport_.lowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "ombrix-update/2");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);

    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.kind = FetchResult::Kind::TooLarge;
    } else if (code == CURLE_OPERATION_TIMEDOUT) {
        // One error code for three limits: the deadline, the lowest speed, connecting.
        if (Clock::now() + std::chrono::milliseconds(50) >= transport_.deadline)
            result.error = late;
        else if (std::string_view(detail).starts_with("Operation too slow"))
            result.error = "the download from " + host + " was slower than " +
                           std::to_string(transport_.lowSpeedBytes) + " bytes/s for " +
                           std::to_string(transport_.lowSpeedSeconds) + " s";
        else
            result.error = "the server " + host + " did not answer in time";
    } else if (code != CURLE_OK) {
        switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            result.error = "cannot find the server " + host + " (no network, or the name is unknown)";
            break;
        case CURLE_COULDNT_RESOLVE_PROXY:
            result.error = "cannot find the proxy server";
            break;
        case CURLE_COULDNT_CONNECT:
            result.error = "cannot connect to " + host;
            break;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
            result.error = "the download from " + host + " was cut short";
            break;
        case CURLE_ABORTED_BY_CALLBACK:
            result.error = "the update was canceled";
            break;
        default:
            result.error = *detail ? std::string(detail) : curl_easy_strerror(code);
        }
    } else if (redirected(result.httpStatus)) {
        char* target = nullptr;
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &target);
        if (target)
            redirect = target;
        else
            result.kind = FetchResult::Kind::HttpError;
    } else if (result.httpStatus != 200) {
        result.kind = FetchResult::Kind::HttpError;
    } else {
        result.kind = FetchResult::Kind::Ok;
        result.body = std::move(transfer.body);
    }
    return result;
}

}  // namespace ombrix::update
