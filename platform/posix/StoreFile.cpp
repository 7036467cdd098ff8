#include "StoreFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace ombrix::mRegistry {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic{"SQLite format 3\0", 16};
constexpr std::size_t kHeaderSize = 100;

StoreFile refused(std::string why)
{
    return {StoreKind::Refused, false, std::move(why)};
}

StoreFile refusedFor(int error)
{
    return refused(std::strerror(error));
}

std::uint32_t bigEndianAt(const unsigned char* bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8 |
           bytes[at + 3];
}

// Folders made for the store are the user's alone.
bool makeFolders(const fs::path& folder)
{
    std::error_code error;
    if (folder.empty() || fs::is_directory(folder, error))
        return true;
    if (!makeFolders(folder.parent_path()))
        return false;
    ::mkdir(folder.c_str(), 0700);  // another process may win the race; checked below
    return fs::is_directory(folder, error);
}

}  // namespace

StoreFile InspectStoreFile(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? StoreFile{} : refusedFor(errno);
    if (S_ISDIR(info.st_mode))
        return refusedFor(EISDIR);
    if (!S_ISREG(info.st_mode))
        return refused("not a regular file");
    // Non-blocking and without links, should the entry change since the lstat.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return refusedFor(errno);
    unsigned char header[kHeaderSize];
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const ssize_t got = regular ? ::pread(fd, header, sizeof header, 0) : -1;
    const int readError = errno;
    ::close(fd);
    if (!regular)
        return refused("not a regular file");
    if (got < 0)
        return refusedFor(readError);
    if (got == 0)
        return {StoreKind::Empty, false, {}};
    const std::string_view magic(reinterpret_cast<const char*>(header), kMagic.size());
    if (std::size_t(got) < kHeaderSize || magic != kMagic)
        return refused("not an Ombrix settings store");
    // Bytes 18 and 19 are the write and read format versions: 2 means WAL.
    const bool wal = header[18] == 2 || header[19] == 2;
    switch (bigEndianAt(header, 68)) {
    case kApplicationId:
        return {StoreKind::Marked, wal, {}};
    case 0:
        return {StoreKind::Unmarked, wal, {}};
    default:
        return refused("not an Ombrix settings store");
    }
}

std::string CreateStoreFile(const std::string& path)
{
    if (!makeFolders(fs::path(path).parent_path()))
        return "cannot make its folder: " + std::string(std::strerror(errno));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd >= 0)
        ::close(fd);
    else if (errno != EEXIST)
        return std::strerror(errno);
    return {};
}

}  // namespace ombrix::mRegistry
