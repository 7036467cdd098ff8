#include "HttpTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <string_view>

namespace ombrix::update {

namespace {

struct Sink {
    std::size_t maxBytes;
    const FetchProgress* progress;
    std::string body;
    bool tooLarge = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& sink = *static_cast<Sink*>(user);
    if (sink.body.size() + size * count > sink.maxBytes) {
        sink.tooLarge = true;
        return 0;
    }
    sink.body.append(data, size * count);
    return size * count;
}

int onProgress(void* user, curl_off_t total, curl_off_t done, curl_off_t, curl_off_t)
{
    auto& sink = *static_cast<Sink*>(user);
    const bool goOn = !*sink.progress || (*sink.progress)(std::uint64_t(done), std::uint64_t(total));
    return goOn ? 0 : 1;
}

Transfer::Failure failureOf(CURLcode code, std::string_view detail)
{
    switch (code) {
    case CURLE_OK:
        return Transfer::Failure::None;
    case CURLE_FILESIZE_EXCEEDED:
        return Transfer::Failure::TooLarge;
    case CURLE_OPERATION_TIMEDOUT:
        // One code for three limits: the deadline, connecting, the lowest speed.
        return detail.starts_with("Operation too slow") ? Transfer::Failure::TooSlow : Transfer::Failure::TimedOut;
    case CURLE_COULDNT_RESOLVE_HOST:
        return Transfer::Failure::UnknownHost;
    case CURLE_COULDNT_RESOLVE_PROXY:
        return Transfer::Failure::UnknownProxy;
    case CURLE_COULDNT_CONNECT:
        return Transfer::Failure::NoConnection;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return Transfer::Failure::CutShort;
    case CURLE_ABORTED_BY_CALLBACK:
        return Transfer::Failure::Canceled;
    default:
        return Transfer::Failure::Other;
    }
}

}  // namespace

HttpTransfer::HttpTransfer(const Transport& transport) : transport_(transport)
{
    // Counted by libcurl, so every client may ask for it.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    session_ = curl_easy_init();
}

HttpTransfer::~HttpTransfer()
{
    curl_easy_cleanup(static_cast<CURL*>(session_));
    curl_global_cleanup();
}

Transfer HttpTransfer::get(const std::string& url, std::size_t maxBytes, const FetchProgress& progress,
                           long millisecondsLeft)
{
    Transfer result;
    auto* curl = static_cast<CURL*>(session_);
    if (!curl) {
        result.detail = "cannot start the download library";
        return result;
    }
    Sink sink{maxBytes, &progress, {}, false};
    char detail[CURL_ERROR_SIZE] = "";

    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, millisecondsLeft);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, std::min(millisecondsLeft, transport_.connectSeconds * 1000));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, transport_.lowSpeedBytes);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, transport_.lowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "ombrix-update/2");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &sink);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    result.failure = sink.tooLarge ? Transfer::Failure::TooLarge : failureOf(code, detail);
    if (result.failure == Transfer::Failure::Other)
        result.detail = *detail ? std::string(detail) : curl_easy_strerror(code);
    curl_header* location = nullptr;
    if (curl_easy_header(curl, "Location", 0, CURLH_HEADER, -1, &location) == CURLHE_OK)
        result.location = location->value;
    result.body = std::move(sink.body);
    return result;
}

}  // namespace ombrix::update
