#include "FolderAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Paths.h"

namespace ombrix::folder {

namespace {

struct Anchor {
    std::string prefix;
    Fd fd;
};

Anchor& anchor()
{
    static Anchor instance;
    return instance;
}

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

}  // namespace

Fd& Fd::operator=(Fd&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

Fd::~Fd()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int Fd::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

Fd openChild(int parent, const char* name)
{
    return Fd(::openat(parent, name, kFolderFlags));
}

bool entryExists(int parent, const char* name)
{
    struct stat st;
    return ::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode);
}

void setAnchor(std::string prefix, Fd start)
{
    anchor().prefix = std::move(prefix);
    anchor().fd = std::move(start);
}

Fd openParentOf(const std::string& path, std::string& leaf)
{
    std::string_view rest = path;
    Fd base;
    const Anchor& a = anchor();
    if (a.fd.valid() && !a.prefix.empty() && rest.starts_with(a.prefix)) {
        base = Fd(::fcntl(a.fd.get(), F_DUPFD_CLOEXEC, 0));
        rest.remove_prefix(a.prefix.size());
    } else {
        const bool absolute = !rest.empty() && rest.front() == kPathSeparator;
        base = Fd(::open(absolute ? "/" : ".", kFolderFlags));
    }
    if (!base.valid())
        return {};

    const auto lastSep = rest.find_last_of(kPathSeparator);
    leaf = std::string(lastSep == std::string_view::npos ? rest : rest.substr(lastSep + 1));
    std::string_view folders = lastSep == std::string_view::npos ? std::string_view{} : rest.substr(0, lastSep);

    std::string component;
    while (!folders.empty()) {
        const auto sep = folders.find(kPathSeparator);
        component = folders.substr(0, sep);
        folders = sep == std::string_view::npos ? std::string_view{} : folders.substr(sep + 1);
        if (component.empty() || component == ".")
            continue;
        // ".." could climb out of the scanned tree; no path the walk makes has it.
        if (component == "..")
            return {};
        base = openChild(base.get(), component.c_str());
        if (!base.valid())
            return {};
    }
    return base;
}

}  // namespace ombrix::folder
