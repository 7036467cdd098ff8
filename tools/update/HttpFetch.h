#pragma once

#include <string>
#include <utility>

#include "HttpTransfer.h"

namespace ombrix::update {

struct FetchResult {
    enum class Kind { Ok, TooLarge, HttpError, Failed } kind = Kind::Failed;
    long httpStatus = 0;
    std::string body;
    std::string error;  // for Failed: what went wrong, in words
};

// Empty when `transport` lets `url` be fetched: https, or plain http to a host
// the administrator allowed and not reached through https; else why not.
std::string AddressRefusal(const std::string& url, bool fromHttps, const Transport& transport);

// `reference` (a redirect's target, a file name) read against the address `base`.
std::string ResolveUrl(const std::string& base, const std::string& reference);

// The address of the file `name` in the folder of `url` (a plain file name: it
// needs no escaping).
std::string SiblingUrl(const std::string& url, const std::string& name);

// HTTPS downloads through the system's HTTP stack, and plain HTTP only to the
// hosts the administrator named. Redirects are followed one by one, each checked by the
// same rule, and never from https to http. The updater sends no validators
// (If-None-Match, If-Modified-Since), so a 304 is an error like any other.
class HttpFetch {
public:
    explicit HttpFetch(Transport transport) : transport_(std::move(transport)), transfer_(transport_) {}

    // At most `maxBytes` of the body at `url`; more is TooLarge.
    FetchResult fetch(const std::string& url, std::size_t maxBytes, const FetchProgress& progress = {});

private:
    FetchResult fetchOne(const std::string& url, std::size_t maxBytes, const FetchProgress& progress,
                         std::string& redirect);

    Transport transport_;
    HttpTransfer transfer_;
};

}  // namespace ombrix::update
