#include "StateFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

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

void syncFolder(const std::string& folder)
{
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Removes the temporary files of the earlier updaters, ".ombrix.ini." and six
// characters of mkstemp, from `folder`.
void removeEarlierLeftovers(const std::string& folder)
{
    constexpr std::string_view kPrefix = ".ombrix.ini.";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (entry->d_type != DT_DIR && name.size() == kPrefix.size() + 6 && name.starts_with(kPrefix))
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace

std::string StateFolder::failure(const std::string& action, unsigned long error) const
{
    if (error == EACCES || error == EPERM || error == EROFS)
        return "cannot write to " + folder_ +
               ": an administrator runs the update (sudo systemctl start ombrix-update.service)";
    return "cannot " + action + " in " + folder_ + ": " + std::strerror(int(error));
}

std::string StateFolder::checkWritable() const
{
    return ::access(folder_.c_str(), W_OK) == 0 ? std::string() : failure("write", errno);
}

void StateFolder::clearLeftovers() const
{
    // Whatever is there goes, folders too; a link is removed, never followed.
    std::error_code ignored;
    std::filesystem::remove_all(staging_, ignored);
    removeEarlierLeftovers(folder_);
}

std::string StateFolder::stage(std::string_view name, std::string_view bytes) const
{
    if (::mkdir(staging_.c_str(), 0700) != 0 && errno != EEXIST)
        return failure("create " + staging_, errno);
    const std::string target = stagedPath(name);
    // Readable by every user who may scan; never through a link someone left there.
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return failure("create " + target, errno);
    const bool written = ::fchmod(fd, 0644) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    return written ? std::string() : failure("write " + target, error);
}

std::string StateFolder::commit(std::string_view name) const
{
    if (::rename(stagedPath(name).c_str(), path(name).c_str()) != 0)
        return failure("replace " + path(name), errno);
    // The rename is durable only once the folder itself is on disk.
    syncFolder(folder_);
    return {};
}

}  // namespace ombrix::update
