#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <mutex>
#include <random>

#include "Quarantine.h"
#include "QuarantineFolders.h"
#include "QuarantineRecord.h"
#include "Sha256.h"
#include "StoreCache.h"

namespace ombrix::quarantine {

namespace {

struct FdGuard {
    int fd;
    ~FdGuard()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Ids need to be unlikely to meet, not secret: seeded once, not a system call a file.
std::uint64_t randomNumber()
{
    static std::mutex guard;
    static std::mt19937_64 generator = [] {
        std::uint64_t seed = 0;
        if (::getrandom(&seed, sizeof seed, 0) != sizeof seed)
            seed = std::uint64_t(::getpid()) << 32 ^ std::uint64_t(NowNanoseconds());
        return std::mt19937_64(seed);
    }();
    const std::lock_guard lock(guard);
    return generator();
}

StoreCache<std::uint64_t>& mountStores()
{
    static StoreCache<std::uint64_t> instance;
    return instance;
}

std::shared_ptr<StoreFolder> storeFor(int folder)
{
    struct statx st;
    if (::statx(folder, "", AT_EMPTY_PATH, STATX_MNT_ID, &st) != 0 || !(st.stx_mask & STATX_MNT_ID))
        return nullptr;
    return mountStores().forKey(st.stx_mnt_id, [&] { return MountStoreFor(folder); });
}

std::shared_ptr<StoreFolder> homeStore()
{
    return mountStores().home([] { return HomeStore(true); });
}

// A record file made new under a fresh id, its start written and on disk.
// -1 when none can be made.
int startRecord(const StoreFolder& store, Entry& entry)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        entry.id = NewId(entry.takenAt, randomNumber());
        const int fd = ::openat(int(store.handle()), RecordName(entry.id).c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd >= 0 && WriteAll(fd, RecordStart(entry)) && ::fsync(fd) == 0)
            return fd;
        if (fd >= 0) {
            ::close(fd);
            store.remove(RecordName(entry.id));
        }
        return -1;
    }
    return -1;
}

// One rename into the folder at the top of the file's own mount: the file is
// either at its path or held, whenever this stops.
bool takeByRename(const StoreFolder& store, const Source& source, Entry& entry, int& error)
{
    const StoreLock lock(store);
    const FdGuard record{startRecord(store, entry)};
    if (record.fd < 0) {
        error = EIO;
        return false;
    }
    const std::string held = HeldName(entry.id);
    if (::renameat2(source.folder, source.name, int(store.handle()), held.c_str(), RENAME_NOREPLACE) != 0) {
        error = errno;
        store.remove(RecordName(entry.id));
        return false;
    }
    // The record is complete before the file is sealed, so it keeps the file's own mode.
    const FdGuard file{OpenUnread(int(store.handle()), held.c_str())};
    struct stat st;
    if (file.fd >= 0 && ::fstat(file.fd, &st) == 0 && S_ISREG(st.st_mode)) {
        Entry facts = FactsOf(st);
        facts.sha256 = DigestOf(file.fd);
        WriteAll(record.fd, RecordEnd(facts));
        if (st.st_nlink == 1)
            ::fchmod(file.fd, 0);
        return true;
    }
    if (const std::optional<Entry> facts = store.describe(held))
        WriteAll(record.fd, RecordEnd(*facts));
    store.seal(held);
    return true;
}

// Where the file's own mount has no folder for it: a copy, on disk and recorded
// before the original is unlinked.
bool takeByCopy(const StoreFolder& store, const Source& source, Entry& entry, const struct stat& seen)
{
    Sha256 digest;
    std::string content;
    FdGuard in{-1};
    if (S_ISREG(seen.st_mode)) {
        in.fd = OpenUnread(source.folder, source.name);
        struct stat opened;
        if (in.fd < 0 || ::fstat(in.fd, &opened) != 0 || opened.st_ino != seen.st_ino || opened.st_dev != seen.st_dev)
            return false;
    } else if (S_ISLNK(seen.st_mode)) {
        content.assign(std::size_t(seen.st_size) + 1, '\0');
        const ssize_t n = ::readlinkat(source.folder, source.name, content.data(), content.size());
        if (n < 0)
            return false;
        content.resize(std::size_t(n));
    }

    const StoreLock lock(store);
    const int folder = int(store.handle());
    std::string part;
    FdGuard out{-1};
    for (int attempt = 0; attempt < 8 && out.fd < 0; ++attempt) {
        part = PartName(NewId(entry.takenAt, randomNumber()));
        out.fd = ::openat(folder, part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out.fd < 0 && errno != EEXIST)
            return false;
    }
    bool copied = out.fd >= 0;
    if (in.fd >= 0) {
        char buffer[65536];
        for (ssize_t n; copied && (n = ::read(in.fd, buffer, sizeof buffer)) != 0;) {
            copied = n > 0 && WriteAll(out.fd, std::string_view(buffer, std::size_t(n)));
            if (copied)
                digest.feed(std::string_view(buffer, std::size_t(n)));
        }
    } else {
        copied = copied && WriteAll(out.fd, content);
        digest.feed(content);
    }
    copied = copied && ::fchmod(out.fd, 0) == 0 && ::fsync(out.fd) == 0;
    if (!copied) {
        ::unlinkat(folder, part.c_str(), 0);
        return false;
    }
    Entry held = entry;
    held.sha256 = digest.hex();
    const FdGuard record{startRecord(store, entry)};
    held.id = entry.id;
    const bool recorded = record.fd >= 0 && WriteAll(record.fd, RecordEnd(held)) && ::fsync(record.fd) == 0;
    if (!recorded || ::renameat(folder, part.c_str(), folder, HeldName(entry.id).c_str()) != 0) {
        ::unlinkat(folder, part.c_str(), 0);
        store.remove(RecordName(entry.id));
        return false;
    }
    if (::unlinkat(source.folder, source.name, 0) == 0)
        return true;
    store.remove(HeldName(entry.id));
    store.remove(RecordName(entry.id));
    return false;
}

}  // namespace

bool Take(const Source& source, const std::string& path, const Origin& origin)
{
    struct stat seen;
    if (::fstatat(source.folder, source.name, &seen, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(seen.st_mode))
        return false;
    Entry entry = FactsOf(seen);
    entry.originalPath = path;
    // A scan of a folder named relative to where it ran restores to the same place from anywhere.
    if (!path.starts_with('/')) {
        char here[PATH_MAX];
        if (!::getcwd(here, sizeof here))
            return false;
        const std::string_view named = path;
        entry.originalPath = std::string(here).append(here[1] ? "/" : "");
        entry.originalPath.append(named.starts_with("./") ? named.substr(2) : named);
    }
    entry.threat = origin.threat;
    entry.listVersion = origin.listVersion;
    entry.road = origin.road;
    entry.program = origin.program;
    entry.takenAt = NowNanoseconds();

    int error = EXDEV;
    if (const std::shared_ptr<StoreFolder> store = storeFor(source.folder))
        if (takeByRename(*store, source, entry, error))
            return true;
    // Only a store that cannot be reached by a rename is replaced by a copy; a
    // file the rename could not move (no permission, gone) stays as it is.
    if (error != EXDEV && error != EIO)
        return false;
    const std::shared_ptr<StoreFolder> home = homeStore();
    return home && takeByCopy(*home, source, entry, seen);
}

}  // namespace ombrix::quarantine
