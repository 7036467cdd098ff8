#include "SmallFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ombrix::update {

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes, bool followLink,
                                         std::string& why)
{
    why.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        if (errno == ELOOP && !followLink)
            why = path + " is a symbolic link, which the updater does not follow";
        else if (errno != ENOENT)
            why = "cannot read " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat st;
    std::optional<std::string> bytes;
    if (::fstat(fd, &st) != 0) {
        why = "cannot read " + path + ": " + std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        why = path + " is not a regular file";
    } else if (std::size_t(st.st_size) > maxBytes) {
        why = path + " is larger than " + std::to_string(maxBytes) + " bytes";
    } else {
        bytes.emplace(std::size_t(st.st_size), '\0');
        std::size_t done = 0;
        ssize_t n = 0;
        while (done < bytes->size() && (n = ::pread(fd, bytes->data() + done, bytes->size() - done, off_t(done))) > 0)
            done += std::size_t(n);
        bytes->resize(done);
    }
    ::close(fd);
    return bytes;
}

}  // namespace ombrix::update
