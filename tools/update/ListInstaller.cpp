#include "ListInstaller.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "Paths.h"

namespace ombrix::update {

namespace {

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

}  // namespace

ListInstaller::ListInstaller(std::string programFolder) : folder_(std::move(programFolder)) {}

ListInstaller::~ListInstaller()
{
    if (!staged_.empty())
        ::unlink(staged_.c_str());
}

std::string ListInstaller::listPath() const
{
    return folder_ + kPathSeparator + "ombrix.ini";
}

std::string ListInstaller::backupPath() const
{
    return listPath() + ".bak";
}

std::string ListInstaller::failure(const std::string& action, int error) const
{
    if (error == EACCES || error == EPERM || error == EROFS)
        return "cannot write to the program folder " + folder_ +
               ": an administrator must run the update, or use the ombrix-update.timer system service";
    return "cannot " + action + " in " + folder_ + ": " + std::strerror(error);
}

// A new hidden file readable by every user who may scan, written and synced;
// `path` names it even when writing failed, so it can be removed.
std::string ListInstaller::writeSynced(std::string_view bytes, std::string& path) const
{
    std::string name = folder_ + kPathSeparator + ".ombrix.ini.XXXXXX";
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0)
        return failure("create a file", errno);
    path = buffer.data();
    const bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    return written ? std::string() : failure("write " + path, error);
}

std::string ListInstaller::checkWritable() const
{
    return ::access(folder_.c_str(), W_OK) == 0 ? std::string() : failure("write", errno);
}

std::string ListInstaller::stage(std::string_view list)
{
    return writeSynced(list, staged_);
}

std::string ListInstaller::install(const std::optional<std::string>& previous)
{
    if (previous) {
        std::string backup;
        if (std::string why = writeSynced(*previous, backup); !why.empty()) {
            if (!backup.empty())
                ::unlink(backup.c_str());
            return why;
        }
        if (::rename(backup.c_str(), backupPath().c_str()) != 0) {
            const int error = errno;
            ::unlink(backup.c_str());
            return failure("keep the previous list as " + backupPath(), error);
        }
    }
    if (::rename(staged_.c_str(), listPath().c_str()) != 0)
        return failure("replace " + listPath(), errno);
    staged_.clear();
    // The rename is durable only once the folder itself is on disk.
    const int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace ombrix::update
