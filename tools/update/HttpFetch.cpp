#include "HttpFetch.h"

#include <curl/curl.h>

#include <cctype>
#include <string_view>

namespace ombrix::update {

namespace {

struct Transfer {
    const FetchRequest* request;
    const FetchProgress* progress;
    std::string body;
    std::string etag;
    std::string lastModified;
    bool tooLarge = false;
};

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const std::string_view line(data, size * count);
    // A redirect starts a new response: only the last one's validators count.
    if (line.starts_with("HTTP/")) {
        transfer.etag.clear();
        transfer.lastModified.clear();
    } else if (startsWithNoCase(line, "etag:")) {
        transfer.etag = trimmed(line.substr(5));
    } else if (startsWithNoCase(line, "last-modified:")) {
        transfer.lastModified = trimmed(line.substr(14));
    }
    return size * count;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    if (transfer.body.size() + size * count > transfer.request->maxBytes) {
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

std::string hostOf(const std::string& url)
{
    std::string host = url;
    if (CURLU* parts = curl_url()) {
        char* name = nullptr;
        if (curl_url_set(parts, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
            curl_url_get(parts, CURLUPART_HOST, &name, 0) == CURLUE_OK)
            host = name;
        curl_free(name);
        curl_url_cleanup(parts);
    }
    return host;
}

std::string failureText(CURLcode code, const FetchRequest& request, const char* detail)
{
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return "cannot find the server " + hostOf(request.url) + " (no network, or the name is unknown)";
    case CURLE_COULDNT_RESOLVE_PROXY:
        return "cannot find the proxy server";
    case CURLE_COULDNT_CONNECT:
        return "cannot connect to " + hostOf(request.url);
    case CURLE_OPERATION_TIMEDOUT:
        return "the server " + hostOf(request.url) + " did not answer in time";
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
        return "the download from " + hostOf(request.url) + " was cut short";
    case CURLE_ABORTED_BY_CALLBACK:
        return "the update was canceled";
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
        return "\"" + request.url + "\" is not an http or https address";
    default:
        return *detail ? std::string(detail) : curl_easy_strerror(code);
    }
}

}  // namespace

HttpFetch::HttpFetch()
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

FetchResult HttpFetch::fetch(const FetchRequest& request, const FetchProgress& progress)
{
    FetchResult result;
    auto* curl = static_cast<CURL*>(curl_);
    if (!curl) {
        result.error = "cannot start the download library";
        return result;
    }
    Transfer transfer{&request, &progress, {}, {}, {}, false};
    char detail[CURL_ERROR_SIZE] = "";
    curl_slist* headers = nullptr;
    if (!request.etag.empty())
        headers = curl_slist_append(headers, ("If-None-Match: " + request.etag).c_str());
    if (!request.lastModified.empty())
        headers = curl_slist_append(headers, ("If-Modified-Since: " + request.lastModified).c_str());

    curl_easy_reset(curl);
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, request.connectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, request.totalSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "ombrix-update/1");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(request.maxBytes));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);

    if (transfer.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.kind = FetchResult::Kind::TooLarge;
    } else if (code != CURLE_OK) {
        result.error = failureText(code, request, detail);
    } else if (result.httpStatus == 304) {
        result.kind = FetchResult::Kind::NotModified;
    } else if (result.httpStatus != 200) {
        result.kind = FetchResult::Kind::HttpError;
    } else {
        result.kind = FetchResult::Kind::Ok;
        result.body = std::move(transfer.body);
        result.etag = std::move(transfer.etag);
        result.lastModified = std::move(transfer.lastModified);
    }
    return result;
}

}  // namespace ombrix::update
