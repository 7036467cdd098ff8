#include "SmallFile.h"

#include <windows.h>

#include "ErrorText.h"

namespace ombrix::update {

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes, bool followLink,
                                         std::string& why)
{
    why.clear();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            why = "cannot read " + path + ": " + ErrorText(error);
        return std::nullopt;
    }
    if (!followLink && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        why = path + " is a symbolic link, which the updater does not follow";
        return std::nullopt;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        why = path + " is not a regular file";
        return std::nullopt;
    }
    // Others may go on reading, and the updater may replace the file meanwhile.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        why = "cannot read " + path + ": " + ErrorText(GetLastError());
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK) {
        why = path + " is not a regular file";
    } else if (!GetFileSizeEx(file, &size)) {
        why = "cannot read " + path + ": " + ErrorText(GetLastError());
    } else if (std::uint64_t(size.QuadPart) > maxBytes) {
        why = path + " is larger than " + std::to_string(maxBytes) + " bytes";
    } else {
        bytes.emplace(std::size_t(size.QuadPart), '\0');
        std::size_t done = 0;
        DWORD n = 0;
        while (done < bytes->size() &&
               ReadFile(file, bytes->data() + done, DWORD(bytes->size() - done), &n, nullptr) && n > 0)
            done += n;
        bytes->resize(done);
    }
    CloseHandle(file);
    return bytes;
}

}  // namespace ombrix::update
