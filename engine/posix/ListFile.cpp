#include "ListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "SignatureLines.h"

namespace ombrix::mFileSearch {

folder::File openListFile(const std::string& path, std::string& why)
{
    folder::Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0) {
        why = std::strerror(errno);
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        return {};
    }
    return fd;
}

std::size_t listFileSize(const folder::File& file)
{
    struct stat st;
    return ::fstat(file.get(), &st) == 0 && st.st_size > 0 ? std::size_t(st.st_size) : 0;
}

void readListLines(const folder::File& file)
{
    char chunk[1 << 16];
    off_t offset = 0;
    SignatureLines lines;
    for (;;) {
        const ssize_t n = ::pread(file.get(), chunk, sizeof chunk, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return;
        if (n == 0)
            break;
        offset += n;
        lines.feed(std::string_view(chunk, std::size_t(n)));
    }
    lines.finish();
}

}  // namespace ombrix::mFileSearch
