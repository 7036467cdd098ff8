#include "HttpFetch.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace ombrix::update {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxRedirects = 5;

std::string lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A URL's parts as far as the updater needs them; `scheme` is empty when the
// text is no absolute URL. Blanks, control and non-ASCII bytes make no URL: a
// server must escape them.
struct Url {
    std::string scheme;     // lower case
    std::string authority;  // user, host and port as written
    std::string host;       // lower case, an IPv6 address without its brackets
    std::string path;       // from the first "/" up to "?" or "#"
};

// True when `text` starts with a scheme ("name:"), so it is no relative reference.
bool hasScheme(const std::string& text)
{
    const auto colon = text.find(':');
    return colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(text[0])) &&
           text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.") == colon;
}

Url parse(const std::string& text)
{
    Url url;
    if (std::any_of(text.begin(), text.end(), [](char c) { return c <= 0x20 || c >= 0x7f; }))
        return url;
    const auto colon = text.find(':');
    if (!hasScheme(text) || text.compare(colon, 3, "://") != 0)
        return url;
    const auto start = colon + 3;
    const auto end = std::min(text.find_first_of("/?#", start), text.size());
    url.authority = text.substr(start, end - start);
    const std::string_view hostPort = std::string_view(url.authority).substr(url.authority.rfind('@') + 1);
    std::string_view host = hostPort.substr(0, hostPort.find(':'));
    if (hostPort.starts_with('[')) {
        const auto close = hostPort.find(']');
        if (close == std::string_view::npos)
            return url;
        host = hostPort.substr(1, close - 1);
    }
    if (host.empty())
        return url;
    url.host = lower(std::string(host));
    const auto pathEnd = std::min(text.find_first_of("?#", end), text.size());
    url.path = pathEnd > end ? text.substr(end, pathEnd - end) : std::string(1, '/');
    url.scheme = lower(text.substr(0, colon));
    return url;
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

std::string ResolveUrl(const std::string& base, const std::string& reference)
{
    const Url from = parse(base);
    if (from.scheme.empty() || hasScheme(reference))
        return reference;
    const std::string origin = from.scheme + "://" + from.authority;
    if (reference.starts_with("//"))
        return from.scheme + ":" + reference;
    if (reference.starts_with('/'))
        return origin + reference;
    return origin + from.path.substr(0, from.path.rfind('/') + 1) + reference;
}

std::string SiblingUrl(const std::string& url, const std::string& name)
{
    return ResolveUrl(url, name);
}

std::string AddressRefusal(const std::string& url, bool fromHttps, const Transport& transport)
{
    const Url address = parse(url);
    if (address.scheme == "https")
        return {};
    if (address.scheme != "http")
        return '"' + shown(url) + "\" is not an http or https address";
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
        fromHttps = fromHttps || parse(current).scheme == "https";
        std::string next;
        result = fetchOne(current, maxBytes, progress, next);
        if (next.empty())
            return result;
        current = ResolveUrl(current, next);
    }
    FetchResult result;
    result.error = "more than ";
    result.error += std::to_string(kMaxRedirects) + " redirects from " + url;
    return result;
}

FetchResult HttpFetch::fetchOne(const std::string& url, std::size_t maxBytes, const FetchProgress& progress,
                                std::string& redirect)
{
    FetchResult result;
    const std::string late = "the update did not finish within " + std::to_string(transport_.totalSeconds) + " s";
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(transport_.deadline - Clock::now());
    if (left.count() <= 0) {
        result.error = late;
        return result;
    }
    Transfer transfer = transfer_.get(url, maxBytes, progress, left.count());
    const std::string host = parse(url).host;
    result.httpStatus = transfer.httpStatus;
    switch (transfer.failure) {
    case Transfer::Failure::None:
        break;
    case Transfer::Failure::TooLarge:
        result.kind = FetchResult::Kind::TooLarge;
        return result;
    case Transfer::Failure::TimedOut:
        result.error = Clock::now() + std::chrono::milliseconds(50) >= transport_.deadline
                           ? late
                           : "the server " + host + " did not answer in time";
        return result;
    case Transfer::Failure::TooSlow:
        result.error = "the download from " + host + " was slower than " + std::to_string(transport_.lowSpeedBytes) +
                       " bytes/s for " + std::to_string(transport_.lowSpeedSeconds) + " s";
        return result;
    case Transfer::Failure::UnknownHost:
        result.error = "cannot find the server " + host + " (no network, or the name is unknown)";
        return result;
    case Transfer::Failure::UnknownProxy:
        result.error = "cannot find the proxy server";
        return result;
    case Transfer::Failure::NoConnection:
        result.error = "cannot connect to " + host;
        return result;
    case Transfer::Failure::CutShort:
        result.error = "the download from " + host + " was cut short";
        return result;
    case Transfer::Failure::Canceled:
        result.error = "the update was canceled";
        return result;
    case Transfer::Failure::Other:
        result.error = transfer.detail;
        return result;
    }
    if (redirected(transfer.httpStatus)) {
        redirect = transfer.location;
        if (redirect.empty())
            result.kind = FetchResult::Kind::HttpError;
    } else if (transfer.httpStatus != 200) {
        result.kind = FetchResult::Kind::HttpError;
    } else {
        result.kind = FetchResult::Kind::Ok;
        result.body = std::move(transfer.body);
    }
    return result;
}

}  // namespace ombrix::update
