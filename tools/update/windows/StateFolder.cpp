#include "StateFolder.h"

#include <windows.h>

#include <filesystem>
#include <thread>

#include "ErrorText.h"

namespace ombrix::update {

namespace {

bool writeAll(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr))
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::string StateFolder::failure(const std::string& action, unsigned long error) const
{
    if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
        return "cannot write to " + folder_ + ": an administrator runs the update";
    return "cannot " + action + " in " + folder_ + ": " + ErrorText(error);
}

std::string StateFolder::checkWritable() const
{
    if (!CreateDirectoryA(folder_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return failure("create " + folder_, GetLastError());
    // Windows has no cheap "may I write here": a file made and dropped at once tells.
    const HANDLE probe = CreateFileA(path(".update-probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return failure("write", GetLastError());
    CloseHandle(probe);
    return {};
}

void StateFolder::clearLeftovers() const
{
    // Whatever is there goes, folders too; a link is removed, never followed.
    std::error_code ignored;
    std::filesystem::remove_all(staging_, ignored);
}

std::string StateFolder::stage(std::string_view name, std::string_view bytes) const
{
    if (!CreateDirectoryA(staging_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return failure("create " + staging_, GetLastError());
    const std::string target = stagedPath(name);
    const HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failure("create " + target, GetLastError());
    const bool written = writeAll(file, bytes) && FlushFileBuffers(file);
    const DWORD error = GetLastError();
    CloseHandle(file);
    return written ? std::string() : failure("write " + target, error);
}

std::string StateFolder::commit(std::string_view name) const
{
    // A scan that reads the list at this moment holds it open for a moment
    // without letting it be replaced: the rename is tried again for a while.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (MoveFileExA(stagedPath(name).c_str(), path(name).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return failure("replace " + path(name), error);
}

}  // namespace ombrix::update
