#include "FolderLock.h"

#include <windows.h>

#include <cerrno>
#include <utility>

namespace ombrix::update {

std::optional<FolderLock> FolderLock::tryAcquire(const std::string& folder)
{
    // Shared with no one and deleted when closed: a second updater meets a
    // sharing violation, and nothing is left once the holder ends.
    const HANDLE file = CreateFileA((folder + "\\.update-lock").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        errno = error == ERROR_SHARING_VIOLATION ? EWOULDBLOCK
                : error == ERROR_ACCESS_DENIED   ? EACCES
                                                 : ENOENT;
        return std::nullopt;
    }
    return FolderLock(reinterpret_cast<std::intptr_t>(file));
}

FolderLock::FolderLock(FolderLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

FolderLock::~FolderLock()
{
    if (handle_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace ombrix::update
