#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "FolderAccess.h"
#include "Paths.h"
#include "SignatureLines.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

struct SignatureFileChoice {
    std::string path;
    bool chosen = false;
    folder::Fd opened;  // the file a front end opened ahead of the scans, when it did
};

SignatureFileChoice& choice()
{
    static SignatureFileChoice instance;
    return instance;
}

// A read error ends loading with the lines completed before it. Read by offset,
// so a file held open for several loads is read from its start each time.
void readLines(int fd)
{
    char chunk[1 << 16];
    off_t offset = 0;
    SignatureLines lines;
    for (;;) {
        const ssize_t n = ::pread(fd, chunk, sizeof chunk, offset);
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

// Only a regular file is a list. Opened without blocking, so a FIFO or a device
// in its place can never hang a scan; errno says why when it is refused.
folder::Fd openListFile(const std::string& path)
{
    folder::Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (!fd.valid() || ::fstat(fd.get(), &st) != 0)
        return {};
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return {};
    }
    return fd;
}

}  // namespace

void SetSignatureFile(std::string path)
{
    choice().path = std::move(path);
    choice().chosen = true;
    choice().opened = folder::Fd();
}

std::string OpenSignatureFile(const std::string& path)
{
    SetSignatureFile(path);
    choice().opened = openListFile(path);
    if (choice().opened.valid())
        return {};
    return errno == EINVAL ? "not a regular file" : std::strerror(errno);
}

const std::string& SignatureFile()
{
    SignatureFileChoice& c = choice();
    if (!c.chosen) {
        c.path = ProgramFolder() + kPathSeparator + "ombrix.ini";
        c.chosen = true;
    }
    return c.path;
}

void LoadSignatures()
{
    const SignatureFileChoice& c = choice();
    const folder::Fd ownFd = c.opened.valid() ? folder::Fd() : openListFile(SignatureFile());
    const int fd = c.opened.valid() ? c.opened.get() : ownFd.get();
    struct stat st;
    const bool sized = fd >= 0 && ::fstat(fd, &st) == 0 && st.st_size > 0;
    ClearSignatures(sized ? std::size_t(st.st_size) : 0);
    if (fd >= 0)
        readLines(fd);
}

}  // namespace ombrix::mFileSearch

