#include "FolderAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

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

// Levels of a path cursor that keep their descriptor: as deep as the walk keeps
// its own, so both together stay far below the usual limit of 1,024.
constexpr std::size_t kHeldLevels = 256;

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

Fd openNamedFolder(const std::string& path)
{
    constexpr int kListFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    Fd whole(::open(path.c_str(), kListFlags));
    if (whole.valid() || errno != ENAMETOOLONG)
        return whole;
    // Too long for one call: each stretch is resolved from the folder the one
    // before it reached, which ends where the whole path would, links and ".." alike.
    std::string_view rest = path;
    Fd at(::open(rest.front() == kPathSeparator ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    for (;;) {
        rest.remove_prefix(std::min(rest.find_first_not_of(kPathSeparator), rest.size()));
        if (!at.valid() || rest.empty())
            break;
        const std::size_t cut = rest.size() < PATH_MAX ? rest.size() : rest.rfind(kPathSeparator, PATH_MAX - 1);
        if (cut == std::string_view::npos) {
            errno = ENAMETOOLONG;
            return {};
        }
        at = Fd(::openat(at.get(), std::string(rest.substr(0, cut)).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        rest.remove_prefix(cut);
    }
    return at.valid() ? Fd(::openat(at.get(), ".", kListFlags)) : Fd();
}

bool identify(int parent, const char* name, FolderId& id)
{
    struct statx st;
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (*name ? 0 : AT_EMPTY_PATH);
    if (::statx(parent, name, flags, STATX_TYPE | STATX_INO | STATX_MNT_ID, &st) != 0)
        return false;
    id.mountId = (st.stx_mask & STATX_MNT_ID) ? st.stx_mnt_id : 0;
    id.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    id.inode = st.stx_ino;
    id.isFolder = S_ISDIR(st.stx_mode);
    return true;
}

bool entryExists(int parent, const char* name)
{
    struct stat st;
    return ::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode);
}

bool entryExists(FolderRef folder, const std::string& folderPath, const char* name)
{
    return folder != kByPath ? entryExists(folder, name) : PathCursor().exists(folderPath + name);
}

bool removeEntry(FolderRef folder, const std::string& folderPath, const char* name)
{
    return folder != kByPath ? ::unlinkat(folder, name, 0) == 0 : PathCursor().remove(folderPath + name);
}

bool takeEntry(FolderRef folder, const std::string& folderPath, const char* name, const quarantine::Origin& origin)
{
    if (folder == kByPath)
        return PathCursor().take(folderPath + name, origin);
    return quarantine::Take({folder, name}, folderPath + name, origin);
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
    std::string_view base;
    if (a.fd.valid() && !a.prefix.empty() && rest.starts_with(a.prefix)) {
        base = a.prefix;
        rest.remove_prefix(a.prefix.size());
    } else {
        base = (!rest.empty() && rest.front() == kPathSeparator) ? "/" : ".";
    }
    if (base != base_ || !baseFd_.valid()) {
        levels_.clear();
        base_ = base;
        baseFd_ = base_ == a.prefix ? Fd(::fcntl(a.fd.get(), F_DUPFD_CLOEXEC, 0)) : Fd(::open(base_.c_str(), kPathFlags));
    }

    const auto lastSep = rest.find_last_of(kPathSeparator);
    leaf.assign(lastSep == std::string_view::npos ? rest : rest.substr(lastSep + 1));
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
        if (depth < levels_.size() && levels_[depth].name == component) {
            ++depth;
            continue;
        }
        if (!keepLevels(depth) || !descend(component))
            return -1;
        ++depth;
    }
    return keepLevels(depth) ? deepest() : -1;
}

int PathCursor::deepest() const
{
    return levels_.empty() ? baseFd_.get() : levels_.back().fd.get();
}

// Opens `name` below the deepest level, which gives up its descriptor when it
// lies too deep to keep one.
bool PathCursor::descend(std::string_view name)
{
    Level level{std::string(name), Fd(::openat(deepest(), std::string(name).c_str(), kPathFlags))};
    if (!level.fd.valid())
        return false;
    if (levels_.size() >= kHeldLevels) {
        struct stat st;
        if (::fstat(level.fd.get(), &st) != 0)
            return false;
        level.device = st.st_dev;
        level.inode = st.st_ino;
        if (levels_.size() > kHeldLevels)
            levels_.back().fd = Fd();
    }
    levels_.push_back(std::move(level));
    return true;
}

// Drops the levels below `depth`, leaving level `depth` the deepest, with its descriptor.
bool PathCursor::keepLevels(std::size_t depth)
{
    if (depth >= levels_.size())
        return true;
    if (depth == 0 || levels_[depth - 1].fd.valid()) {
        levels_.resize(depth);
        return true;
    }
    return climbTo(depth);
}

bool PathCursor::climbTo(std::size_t depth)
{
    Fd at = std::move(levels_.back().fd);
    for (std::size_t k = levels_.size() - 1; k >= depth && at.valid(); --k) {
        Fd up(::openat(at.get(), "..", kPathFlags));
        struct stat st;
        const Level& parent = levels_[k - 1];
        const bool same = up.valid() && ::fstat(up.get(), &st) == 0 && st.st_dev == parent.device &&
                          st.st_ino == parent.inode;
        at = same ? std::move(up) : Fd();
    }
    if (at.valid()) {
        levels_.resize(depth);
        levels_.back().fd = std::move(at);
        return true;
    }
    // A folder on the way was moved: open the names again from the deepest held level.
    std::vector<std::string> names;
    for (std::size_t k = kHeldLevels; k < depth; ++k)
        names.push_back(std::move(levels_[k].name));
    levels_.resize(kHeldLevels);
    for (const std::string& name : names)
        if (!descend(name))
            return false;
    return true;
}

bool PathCursor::exists(const std::string& path)
{
    const int parent = parentOf(path, leaf_);
    return parent >= 0 && entryExists(parent, leaf_.c_str());
}

bool PathCursor::remove(const std::string& path)
{
    const int parent = parentOf(path, leaf_);
    return parent >= 0 && !leaf_.empty() && ::unlinkat(parent, leaf_.c_str(), 0) == 0;
}

bool PathCursor::take(const std::string& path, const quarantine::Origin& origin)
{
    const int parent = parentOf(path, leaf_);
    return parent >= 0 && !leaf_.empty() && quarantine::Take({parent, leaf_.c_str()}, path, origin);
}

Fd openFolder(const std::string& path)
{
    PathCursor cursor;
    std::string leaf;
    const int folder = cursor.parentOf(path, leaf);
    return Fd(folder < 0 ? -1 : ::fcntl(folder, F_DUPFD_CLOEXEC, 0));
}

}  // namespace ombrix::folder
