#include "HttpTransfer.h"

#include <windows.h>

#include <winhttp.h>

#include <algorithm>

namespace ombrix::update {

namespace {

using Clock = std::chrono::steady_clock;

// Closes a WinHTTP handle when it goes out of scope.
struct Handle {
    HINTERNET value = nullptr;
    ~Handle()
    {
        if (value)
            WinHttpCloseHandle(value);
    }
};

Transfer::Failure failureOf(DWORD error)
{
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
        return Transfer::Failure::TimedOut;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return Transfer::Failure::UnknownHost;
    case ERROR_WINHTTP_CANNOT_CONNECT:
        return Transfer::Failure::NoConnection;
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        return Transfer::Failure::CutShort;
    default:
        return Transfer::Failure::Other;
    }
}

std::string detailOf(DWORD error, const std::string& host)
{
    if (error == ERROR_WINHTTP_SECURE_FAILURE)
        return "the secure connection to " + host + " failed (its certificate is not trusted or not valid)";
    return "the download from " + host + " failed (WinHTTP error " + std::to_string(error) + ")";
}

std::wstring widened(const std::string& ascii)
{
    // AddressRefusal lets only printable ASCII through.
    return std::wstring(ascii.begin(), ascii.end());
}

std::string narrowed(const std::wstring& text)
{
    std::string ascii;
    for (const wchar_t c : text)
        ascii += c > 0x20 && c < 0x7f ? char(c) : '?';
    return ascii;
}

std::wstring header(HINTERNET request, DWORD which)
{
    DWORD size = 0;
    WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size, WINHTTP_NO_HEADER_INDEX);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return {};
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
        return {};
    text.resize(size / sizeof(wchar_t));
    return text;
}

// A numeric header's value; false when it is not there.
bool number(HINTERNET request, DWORD which, std::uint64_t& value)
{
    const std::wstring text = header(request, which);
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos || text.size() > 18)
        return false;
    value = std::stoull(text);
    return true;
}

}  // namespace

HttpTransfer::HttpTransfer(const Transport& transport) : transport_(transport)
{
    session_ = WinHttpOpen(L"ombrix-update/2", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                           WINHTTP_NO_PROXY_BYPASS, 0);
}

HttpTransfer::~HttpTransfer()
{
    if (session_)
        WinHttpCloseHandle(session_);
}

Transfer HttpTransfer::get(const std::string& url, std::size_t maxBytes, const FetchProgress& progress,
                           long millisecondsLeft)
{
    Transfer result;
    const auto deadline = Clock::now() + std::chrono::milliseconds(millisecondsLeft);
    const std::wstring wideUrl = widened(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = DWORD(-1);
    parts.dwUrlPathLength = DWORD(-1);
    parts.dwExtraInfoLength = DWORD(-1);
    if (!session_ || !WinHttpCrackUrl(wideUrl.c_str(), DWORD(wideUrl.size()), 0, &parts)) {
        result.detail = session_ ? "\"" + url + "\" is not an address WinHTTP can use"
                                 : "cannot start the download library";
        return result;
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    // The fragment is the client's own; the server gets path and query.
    std::wstring target = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                          std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    target = target.substr(0, target.find(L'#'));
    const std::string hostText = narrowed(host);

    const int total = int(millisecondsLeft);
    const int connect = int(std::min(millisecondsLeft, transport_.connectSeconds * 1000));
    // A read that waits longer than the speed's span is too slow whatever came before.
    const int receive = int(std::min(millisecondsLeft, transport_.lowSpeedSeconds * 1000));
    Handle connection{WinHttpConnect(session_, host.c_str(), parts.nPort, 0)};
    Handle request{connection.value ? WinHttpOpenRequest(connection.value, L"GET", target.c_str(), nullptr,
                                                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                         parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0)
                                    : nullptr};
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    if (!request.value || !WinHttpSetTimeouts(request.value, total, connect, total, total) ||
        !WinHttpSetOption(request.value, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects) ||
        !WinHttpSendRequest(request.value, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(request.value, nullptr)) {
        const DWORD error = GetLastError();
        result.failure = failureOf(error);
        result.detail = detailOf(error, hostText);
        return result;
    }
    std::uint64_t status = 0;
    number(request.value, WINHTTP_QUERY_STATUS_CODE, status);
    result.httpStatus = long(status);
    result.location = narrowed(header(request.value, WINHTTP_QUERY_LOCATION));
    std::uint64_t announced = 0;
    const bool sized = number(request.value, WINHTTP_QUERY_CONTENT_LENGTH, announced);
    if (sized && announced > maxBytes) {
        result.failure = Transfer::Failure::TooLarge;
        return result;
    }
    result.failure = Transfer::Failure::None;
    if (status != 200)
        return result;

    WinHttpSetTimeouts(request.value, total, connect, total, receive);
    const auto span = std::chrono::seconds(transport_.lowSpeedSeconds);
    auto spanStart = Clock::now();
    std::uint64_t spanBytes = 0;
    char buffer[16384];
    for (;;) {
        DWORD got = 0;
        if (!WinHttpReadData(request.value, buffer, sizeof buffer, &got)) {
            const DWORD error = GetLastError();
            result.failure = error != ERROR_WINHTTP_TIMEOUT ? failureOf(error)
                             : Clock::now() + std::chrono::milliseconds(50) >= deadline
                                 ? Transfer::Failure::TimedOut
                                 : Transfer::Failure::TooSlow;
            result.detail = detailOf(error, hostText);
            return result;
        }
        if (got == 0)
            break;
        if (result.body.size() + got > maxBytes) {
            result.failure = Transfer::Failure::TooLarge;
            return result;
        }
        result.body.append(buffer, got);
        if (progress && !progress(result.body.size(), sized ? announced : 0)) {
            result.failure = Transfer::Failure::Canceled;
            return result;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            result.failure = Transfer::Failure::TimedOut;
            return result;
        }
        spanBytes += got;
        if (now - spanStart >= span) {
            if (spanBytes < std::uint64_t(transport_.lowSpeedBytes) * std::uint64_t(transport_.lowSpeedSeconds)) {
                result.failure = Transfer::Failure::TooSlow;
                return result;
            }
            spanStart = now;
            spanBytes = 0;
        }
    }
    if (sized && result.body.size() < announced)
        result.failure = Transfer::Failure::CutShort;
    return result;
}

}  // namespace ombrix::update
