#include "StoreFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <libmount.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

#include "QuarantineFolders.h"
#include "QuarantineRecord.h"
#include "Sha256.h"

namespace ombrix::quarantine {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
constexpr mode_t kPermissionBits = 07777;

std::string mountStoreName()
{
    return ".ombrix-quarantine-" + std::to_string(::geteuid());
}

// The folder `name` of `parent`, made private to this user when missing; only
// a real folder that belongs to the user and is closed to everyone else is used.
int openPrivateFolder(int parent, const char* name, bool create)
{
    if (create && ::mkdirat(parent, name, 0700) != 0 && errno != EEXIST)
        return -1;
    const int fd = ::openat(parent, name, kFolderFlags);
    struct stat st;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 077) == 0 && ((st.st_mode & 0700) == 0700 || ::fchmod(fd, 0700) == 0))
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

struct Identity {
    dev_t device;
    ino_t inode;
    auto operator<=>(const Identity&) const = default;
};

// The quarantine folders this program has opened or made, so the walk can pass
// them over however it reaches them.
struct Known {
    std::mutex lock;
    std::set<Identity> folders;
    std::set<dev_t> devicesLooked;
};

Known& known()
{
    static Known instance;
    return instance;
}

std::uint64_t mountIdOf(int fd, const char* name)
{
    struct statx st;
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (*name ? 0 : AT_EMPTY_PATH);
    if (::statx(fd, name, flags, STATX_MNT_ID, &st) != 0 || !(st.stx_mask & STATX_MNT_ID))
        return 0;
    return st.stx_mnt_id;
}

struct TableDeleter {
    void operator()(libmnt_table* table) const { mnt_unref_table(table); }
};
struct IterDeleter {
    void operator()(libmnt_iter* iter) const { mnt_free_iter(iter); }
};
using MountInfo = std::unique_ptr<libmnt_table, TableDeleter>;

MountInfo readMountInfo()
{
    return MountInfo(mnt_new_table_from_file("/proc/self/mountinfo"));
}

// Mounts a quarantine folder can lie on: real file systems and memory ones;
// never the kernel's own, whose tops no one writes (and an automount point,
// which a look would mount).
bool mayHoldStore(libmnt_fs* fs)
{
    const char* type = mnt_fs_get_fstype(fs);
    if (!type || !mnt_fs_get_target(fs))
        return false;
    const std::string_view kind = type;
    return !mnt_fs_is_pseudofs(fs) || kind == "tmpfs" || kind == "ramfs" || kind == "overlay";
}

// Where a restored file's folder is: missing folders along the way are made
// when asked. -1 with errno set on failure.
int openTargetFolder(const std::string& folder, bool makeParents)
{
    int at = ::open(!folder.empty() && folder.front() == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    std::string_view rest = folder;
    while (at >= 0 && !rest.empty()) {
        const std::size_t cut = rest.find('/');
        const std::string part(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (part.empty() || part == ".")
            continue;
        int next = ::openat(at, part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (next < 0 && errno == ENOENT && makeParents && ::mkdirat(at, part.c_str(), 0777) == 0)
            next = ::openat(at, part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int error = errno;
        ::close(at);
        errno = error;
        at = next;
    }
    return at;
}

// Gives the entry at `name` of `folder` the owner, mode and times the record
// says; the owner only where the caller may give it.
void applyFacts(int folder, const char* name, const Entry& entry)
{
    const bool link = S_ISLNK(entry.mode);
    if (::geteuid() == 0)
        ::fchownat(folder, name, uid_t(std::strtoul(entry.owner.c_str(), nullptr, 10)),
                   gid_t(std::strtoul(entry.group.c_str(), nullptr, 10)), AT_SYMLINK_NOFOLLOW);
    if (!link)
        ::fchmodat(folder, name, mode_t(entry.mode & kPermissionBits), 0);
    const auto toTimespec = [](std::int64_t ns) { return timespec{time_t(ns / 1000000000), long(ns % 1000000000)}; };
    const timespec times[2] = {toTimespec(entry.times.accessed), toTimespec(entry.times.modified)};
    ::utimensat(folder, name, times, AT_SYMLINK_NOFOLLOW);
}

struct FdGuard {
    int fd;
    ~FdGuard() { ::close(fd); }
};

Result failed(const std::string& target, int error)
{
    return {Outcome::Failed, target, std::strerror(error)};
}

}  // namespace

std::optional<StoreFolder> MountStoreFor(int folder)
{
    const std::uint64_t mountId = mountIdOf(folder, "");
    if (mountId == 0)
        return std::nullopt;
    const MountInfo table = readMountInfo();
    std::unique_ptr<libmnt_iter, IterDeleter> iter(mnt_new_iter(MNT_ITER_FORWARD));
    libmnt_fs* fs = nullptr;
    const char* target = nullptr;
    while (!target && table && iter && mnt_table_next_fs(table.get(), iter.get(), &fs) == 0)
        if (mnt_fs_get_id(fs) == int(mountId))
            target = mnt_fs_get_target(fs);
    if (!target)
        return std::nullopt;
    // The top, if nothing was mounted over it since.
    const int top = ::open(target, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (top < 0)
        return std::nullopt;
    const int fd = mountIdOf(top, "") == mountId ? openPrivateFolder(top, mountStoreName().c_str(), true) : -1;
    ::close(top);
    if (fd < 0 || mountIdOf(fd, "") != mountId) {
        if (fd >= 0)
            ::close(fd);
        return std::nullopt;
    }
    NoteStoreFolder(fd);
    std::string path = target;
    return StoreFolder(fd, path.append(path.ends_with('/') ? "" : "/").append(mountStoreName()), true);
}

std::optional<StoreFolder> HomeStore(bool create)
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::string base;
    if (dataHome && dataHome[0] == '/')
        base = dataHome;
    else if (home && home[0] == '/')
        base = std::string(home) + "/.local/share";
    else
        return std::nullopt;
    const int parent = openTargetFolder(base + "/ombrix", create);
    if (parent < 0)
        return std::nullopt;
    const int fd = openPrivateFolder(parent, "quarantine", create);
    ::close(parent);
    if (fd < 0)
        return std::nullopt;
    NoteStoreFolder(fd);
    return StoreFolder(fd, base + "/ombrix/quarantine", false);
}

void NoteStoreFolder(int folder)
{
    struct stat st;
    if (::fstat(folder, &st) != 0)
        return;
    Known& k = known();
    const std::lock_guard guard(k.lock);
    k.folders.insert({st.st_dev, st.st_ino});
}

// A walk stays on one file system: only the tops of that one's mounts and the
// user's own quarantine are looked at, never another mount (which might hang).
bool IsQuarantineFolder(const FolderIdentity& id)
{
    const dev_t device = dev_t(id.volume);
    Known& k = known();
    {
        const std::lock_guard guard(k.lock);
        if (!k.devicesLooked.insert(device).second)
            return k.folders.contains({device, ino_t(id.file)});
    }
    HomeStore(false);
    const MountInfo table = readMountInfo();
    std::unique_ptr<libmnt_iter, IterDeleter> iter(mnt_new_iter(MNT_ITER_FORWARD));
    libmnt_fs* fs = nullptr;
    while (table && iter && mnt_table_next_fs(table.get(), iter.get(), &fs) == 0) {
        if (mnt_fs_get_devno(fs) != device || !mayHoldStore(fs))
            continue;
        const int top = ::open(mnt_fs_get_target(fs), O_PATH | O_DIRECTORY | O_CLOEXEC);
        const int fd = top < 0 ? -1 : openPrivateFolder(top, mountStoreName().c_str(), false);
        if (fd >= 0) {
            NoteStoreFolder(fd);
            ::close(fd);
        }
        if (top >= 0)
            ::close(top);
    }
    const std::lock_guard guard(k.lock);
    return k.folders.contains({device, ino_t(id.file)});
}

Entry FactsOf(const struct stat& st)
{
    Entry e;
    e.size = std::uint64_t(st.st_size);
    e.mode = st.st_mode;
    e.owner = std::to_string(st.st_uid);
    e.group = std::to_string(st.st_gid);
    const auto ns = [](const timespec& t) { return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; };
    e.times = {ns(st.st_mtim), ns(st.st_atim), ns(st.st_ctim)};
    return e;
}

std::int64_t NowNanoseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::string DigestOf(int fd)
{
    Sha256 digest;
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n < 0)
            return {};
        if (n == 0)
            return digest.hex();
        digest.feed(std::string_view(buffer, std::size_t(n)));
        at += n;
    }
}

int OpenUnread(int folder, const char* name)
{
    constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const int fd = ::openat(folder, name, kFlags | O_NOATIME);
    return fd >= 0 || errno != EPERM ? fd : ::openat(folder, name, kFlags);
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(std::size_t(n));
    }
    return true;
}

std::vector<StoreFolder> StoreFolder::All()
{
    std::vector<StoreFolder> stores;
    std::set<Identity> seen;
    const auto add = [&](std::optional<StoreFolder> store) {
        struct stat st;
        if (store && ::fstat(int(store->handle()), &st) == 0 && seen.insert({st.st_dev, st.st_ino}).second)
            stores.push_back(std::move(*store));
    };
    add(HomeStore(false));
    const MountInfo table = readMountInfo();
    std::unique_ptr<libmnt_iter, IterDeleter> iter(mnt_new_iter(MNT_ITER_FORWARD));
    libmnt_fs* fs = nullptr;
    while (table && iter && mnt_table_next_fs(table.get(), iter.get(), &fs) == 0) {
        if (!mayHoldStore(fs))
            continue;
        const int top = ::open(mnt_fs_get_target(fs), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (top < 0)
            continue;
        const int fd = openPrivateFolder(top, mountStoreName().c_str(), false);
        ::close(top);
        if (fd < 0)
            continue;
        NoteStoreFolder(fd);
        std::string path = mnt_fs_get_target(fs);
        add(StoreFolder(fd, path.append(path.ends_with('/') ? "" : "/").append(mountStoreName()), true));
    }
    return stores;
}

StoreFolder::StoreFolder(std::intptr_t handle, std::string path, bool ownFileSystem)
    : handle_(handle), path_(std::move(path)), ownFileSystem_(ownFileSystem)
{
}

StoreFolder::StoreFolder(StoreFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), path_(std::move(other.path_)), ownFileSystem_(other.ownFileSystem_)
{
}

StoreFolder& StoreFolder::operator=(StoreFolder&& other) noexcept
{
    if (this != &other) {
        if (handle_ >= 0)
            ::close(int(handle_));
        handle_ = std::exchange(other.handle_, -1);
        path_ = std::move(other.path_);
        ownFileSystem_ = other.ownFileSystem_;
    }
    return *this;
}

StoreFolder::~StoreFolder()
{
    if (handle_ >= 0)
        ::close(int(handle_));
}

bool StoreFolder::lock() const
{
    while (::flock(int(handle_), LOCK_EX) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

void StoreFolder::unlock() const
{
    ::flock(int(handle_), LOCK_UN);
}

std::vector<std::string> StoreFolder::names() const
{
    std::vector<std::string> names;
    const int fd = ::openat(int(handle_), ".", kFolderFlags);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir))
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    ::closedir(dir);
    return names;
}

std::optional<std::string> StoreFolder::read(const std::string& name) const
{
    const int fd = ::openat(int(handle_), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(n));
    ::close(fd);
    return n == 0 ? std::optional(text) : std::nullopt;
}

bool StoreFolder::holds(const std::string& name) const
{
    struct stat st;
    return ::fstatat(int(handle_), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool StoreFolder::remove(const std::string& name) const
{
    return ::unlinkat(int(handle_), name.c_str(), 0) == 0;
}

std::optional<Entry> StoreFolder::describe(const std::string& name) const
{
    struct stat st;
    if (::fstatat(int(handle_), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    Entry facts = FactsOf(st);
    if (S_ISLNK(st.st_mode)) {
        std::string target(std::size_t(st.st_size) + 1, '\0');
        const ssize_t n = ::readlinkat(int(handle_), name.c_str(), target.data(), target.size());
        Sha256 digest;
        digest.feed(std::string_view(target.data(), n < 0 ? 0 : std::size_t(n)));
        facts.sha256 = n < 0 ? "" : digest.hex();
    } else if (S_ISREG(st.st_mode)) {
        const int fd = OpenUnread(int(handle_), name.c_str());
        facts.sha256 = fd >= 0 ? DigestOf(fd) : "";
        if (fd >= 0)
            ::close(fd);
    } else {
        facts.sha256 = Sha256().hex();
    }
    return facts;
}

bool StoreFolder::append(const std::string& name, const std::string& text) const
{
    const int fd = ::openat(int(handle_), name.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    const bool written = fd >= 0 && WriteAll(fd, text);
    if (fd >= 0)
        ::close(fd);
    return written;
}

// A file with a second name elsewhere keeps its bits: they are that name's too.
void StoreFolder::seal(const std::string& name) const
{
    struct stat st;
    if (::fstatat(int(handle_), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(st.st_mode) &&
        st.st_nlink == 1 && (st.st_mode & kPermissionBits) != 0)
        ::fchmodat(int(handle_), name.c_str(), 0, 0);
}

Result StoreFolder::putBack(const Entry& entry, const std::string& target, bool makeParents) const
{
    const std::size_t cut = target.rfind('/');
    const std::string folderPath = cut == std::string::npos ? "." : target.substr(0, cut == 0 ? 1 : cut);
    const std::string leaf = cut == std::string::npos ? target : target.substr(cut + 1);
    if (leaf.empty() || leaf == "." || leaf == "..")
        return {Outcome::Failed, target, std::strerror(EINVAL)};
    const int folder = openTargetFolder(folderPath, makeParents);
    if (folder < 0)
        return errno == ENOENT ? Result{Outcome::NoParent, target, std::strerror(ENOENT)} : failed(target, errno);
    const FdGuard closer{folder};
    struct stat st;
    if (::fstatat(folder, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return {Outcome::PathTaken, target, std::strerror(EEXIST)};
    const std::string held = HeldName(entry.id);
    const int store = int(handle_);
    // A rename keeps what was taken; a copy of anything is a plain file. Anything
    // else (a link planted in the file's place) is not touched, nor is its target.
    const mode_t heldType = ownFileSystem_ ? mode_t(entry.mode & S_IFMT) : S_IFREG;
    if (::fstatat(store, held.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || (st.st_mode & S_IFMT) != heldType)
        return {Outcome::Failed, target, "the held file does not match its record"};

    if (ownFileSystem_) {
        // The file is given back its facts where no one else can reach it, then
        // moved back whole.
        applyFacts(store, held.c_str(), entry);
        if (::renameat2(store, held.c_str(), folder, leaf.c_str(), RENAME_NOREPLACE) == 0)
            return {Outcome::Done, target, {}};
        const int error = errno;
        seal(held);
        if (error == EEXIST)
            return {Outcome::PathTaken, target, std::strerror(EEXIST)};
        if (error != EXDEV)
            return failed(target, error);
    }

    // Another file system: a copy, checked against the record, made whole beside
    // the target and only then given the target's name.
    if (S_ISLNK(entry.mode)) {
        std::string linkTarget;
        if (::fstatat(store, held.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
            linkTarget.assign(std::size_t(st.st_size) + 1, '\0');
            const ssize_t n = ::readlinkat(store, held.c_str(), linkTarget.data(), linkTarget.size());
            linkTarget.resize(n < 0 ? 0 : std::size_t(n));
        } else if (const auto text = read(held)) {
            linkTarget = *text;
        }
        if (::symlinkat(linkTarget.c_str(), folder, leaf.c_str()) != 0)
            return errno == EEXIST ? Result{Outcome::PathTaken, target, std::strerror(EEXIST)} : failed(target, errno);
        applyFacts(folder, leaf.c_str(), entry);
        return {Outcome::Done, target, {}};
    }
    if (!S_ISREG(entry.mode)) {
        if (::mknodat(folder, leaf.c_str(), mode_t(entry.mode & (S_IFMT | kPermissionBits)), 0) != 0)
            return errno == EEXIST ? Result{Outcome::PathTaken, target, std::strerror(EEXIST)} : failed(target, errno);
        applyFacts(folder, leaf.c_str(), entry);
        return {Outcome::Done, target, {}};
    }
    ::fchmodat(store, held.c_str(), 0400, 0);
    const int in = ::openat(store, held.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    seal(held);
    if (in < 0)
        return failed(target, errno);
    // A restore of this entry killed while copying left this very name: it goes,
    // so the entry can still be restored and no hidden copy stays beside it.
    const std::string part = "." + leaf.substr(0, 200) + "." + PartName(entry.id);
    ::unlinkat(folder, part.c_str(), 0);
    const int out = ::openat(folder, part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return failed(target, error);
    }
    Sha256 digest;
    bool copied = true;
    char buffer[65536];
    for (ssize_t n; copied && (n = ::read(in, buffer, sizeof buffer)) != 0;) {
        copied = n > 0 && WriteAll(out, std::string_view(buffer, std::size_t(n)));
        if (copied)
            digest.feed(std::string_view(buffer, std::size_t(n)));
    }
    ::close(in);
    copied = copied && ::fsync(out) == 0;
    ::close(out);
    const bool same = copied && (entry.sha256.empty() || digest.hex() == entry.sha256);
    if (same) {
        applyFacts(folder, part.c_str(), entry);
        if (::renameat2(folder, part.c_str(), folder, leaf.c_str(), RENAME_NOREPLACE) == 0)
            return {Outcome::Done, target, {}};
    }
    const int error = errno;
    ::unlinkat(folder, part.c_str(), 0);
    if (!same)
        return {Outcome::Failed, target, copied ? "the held copy does not match its record" : std::strerror(error)};
    return error == EEXIST ? Result{Outcome::PathTaken, target, std::strerror(EEXIST)} : failed(target, error);
}

}  // namespace ombrix::quarantine
