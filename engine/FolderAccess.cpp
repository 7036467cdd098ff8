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
// Folders reached by path are only ever a base for other calls, never listed.
constexpr int kPathFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

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

int PathCursor::parentOf(const std::string& path, std::string& leaf)
{
    std::string_view rest = path;
    const Anchor& a = anchor();
    std::string base;
    if (a.fd.valid() && !a.prefix.empty() && rest.starts_with(a.prefix)) {
        base = a.prefix;
        rest.remove_prefix(a.prefix.size());
    } else {
        base.assign(1, (!rest.empty() && rest.front() == kPathSeparator) ? kPathSeparator : '.');
    }
    if (base != base_ || !baseFd_.valid()) {
        names_.clear();
        folders_.clear();
        base_ = base;
        baseFd_ = base == a.prefix ? Fd(::fcntl(a.fd.get(), F_DUPFD_CLOEXEC, 0)) : Fd(::open(base.c_str(), kPathFlags));
    }

    const auto lastSep = rest.find_last_of(kPathSeparator);
    leaf = std::string(lastSep == std::string_view::npos ? rest : rest.substr(lastSep + 1));
    std::string_view folders = lastSep == std::string_view::npos ? std::string_view{} : rest.substr(0, lastSep);

    std::size_t depth = 0;
    while (!folders.empty()) {
        const auto sep = folders.find(kPathSeparator);
        const std::string_view component = folders.substr(0, sep);
        folders = sep == std::string_view::npos ? std::string_view{} : folders.substr(sep + 1);
        if (component.empty() || component == ".")
            continue;
        // ".." could climb out of the scanned tree; no path the walk makes has it.
        if (component == "..")
            return -1;
        if (depth < names_.size() && names_[depth] == component) {
            ++depth;
            continue;
        }
        names_.resize(depth);
        folders_.resize(depth);
        const int parent = depth == 0 ? baseFd_.get() : folders_.back().get();
        Fd child(::openat(parent, std::string(component).c_str(), kPathFlags));
        if (!child.valid())
            return -1;
        names_.emplace_back(component);
        folders_.push_back(std::move(child));
        ++depth;
    }
    names_.resize(depth);
    folders_.resize(depth);
    return depth == 0 ? baseFd_.get() : folders_.back().get();
}

bool PathCursor::exists(const std::string& path)
{
    std::string leaf;
    const int parent = parentOf(path, leaf);
    return parent >= 0 && entryExists(parent, leaf.c_str());
}

bool PathCursor::remove(const std::string& path)
{
    std::string leaf;
    const int parent = parentOf(path, leaf);
    return parent >= 0 && !leaf.empty() && ::unlinkat(parent, leaf.c_str(), 0) == 0;
}

Fd openFolder(const std::string& path)
{
    PathCursor cursor;
    std::string leaf;
    const int folder = cursor.parentOf(path, leaf);
    return Fd(folder < 0 ? -1 : ::fcntl(folder, F_DUPFD_CLOEXEC, 0));
}

}  // namespace ombrix::folder
