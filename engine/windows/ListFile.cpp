#include <windows.h>

#include <string_view>

#include "ErrorText.h"
#include "ListFile.h"
#include "SignatureLines.h"

namespace ombrix::mFileSearch {

// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw-w64's headers lack.
constexpr DWORD kDirectoryNotSupported = 336;

folder::File openListFile(const std::string& path, std::string& why)
{
    const std::wstring wide = folder::longForm(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        why = ErrorText(kDirectoryNotSupported);
        return {};
    }
    folder::Handle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        why = ErrorText(GetLastError());
        return {};
    }
    // A console or pipe in the list's place could keep a read waiting for ever.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        why = "not a regular file";
        return {};
    }
    return file;
}

std::size_t listFileSize(const folder::File& file)
{
    LARGE_INTEGER size{};
    return GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 ? std::size_t(size.QuadPart) : 0;
}

void readListLines(const folder::File& file)
{
    char chunk[1 << 16];
    ULONGLONG offset = 0;
    SignatureLines lines;
    for (;;) {
        OVERLAPPED at{};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        DWORD n = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &n, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            return;
        }
        if (n == 0)
            break;
        offset += n;
        lines.feed(std::string_view(chunk, n));
    }
    lines.finish();
}

}  // namespace ombrix::mFileSearch
