#include "ListingPrefetcher.h"

#include <system_error>

#include "Dirent.h"

namespace ombrix::folder {

namespace {

// Bounds on what is read ahead and not yet walked. A single folder larger than
// the byte budget is still read, one at a time per helper.
constexpr std::size_t kHeldBytes = 32u << 20;
// Folders offered and not yet started: a folder with more subfolders than this
// gets the rest opened by the walk itself.
constexpr std::size_t kPendingFolders = 65536;

constexpr std::size_t kReadBatch = 32768;

}  // namespace

ListingPrefetcher::ListingPrefetcher(unsigned threads, FolderId start, std::size_t maxDepth, std::size_t heldFolders)
    : start_(start), maxDepth_(maxDepth), heldFolders_(heldFolders)
{
    // Fewer helpers than asked (none at all) only means the walk opens more folders itself.
    try {
        for (unsigned i = 0; i < threads; ++i)
            helpers_.emplace_back([this] { help(); });
    } catch (const std::system_error&) {
    }
}

ListingPrefetcher::~ListingPrefetcher()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    for (std::thread& helper : helpers_)
        helper.join();
}

void ListingPrefetcher::offer(const WalkKey& key, const SharedFd& fd, const char* listing, std::size_t size,
                              std::size_t from)
{
    enqueue(subfolders(key, fd, listing, size, from));
}

std::vector<std::pair<WalkKey, ListingPrefetcher::Request>> ListingPrefetcher::subfolders(
    const WalkKey& key, const SharedFd& fd, const char* listing, std::size_t size, std::size_t from) const
{
    std::vector<std::pair<WalkKey, Request>> found;
    if (key.size() >= maxDepth_)
        return found;
    for (std::size_t offset = from; offset < size;) {
        const LinuxDirent64& entry = direntAt(listing, offset);
        if (entry.d_type == DT_DIR && entry.d_name[0] != '.') {
            WalkKey child = key;
            child.push_back(std::uint32_t(offset));
            found.emplace_back(std::move(child), Request{fd, entry.d_name});
        }
        offset += entry.d_reclen;
    }
    return found;
}

void ListingPrefetcher::enqueue(std::vector<std::pair<WalkKey, Request>> requests)
{
    std::unique_lock lock(mutex_);
    const std::size_t added = addPending(requests);
    lock.unlock();
    wakeHelpers(added);
}

// The caller holds the lock. Requests the walk has passed already are left out.
std::size_t ListingPrefetcher::addPending(std::vector<std::pair<WalkKey, Request>>& requests)
{
    std::size_t added = 0;
    for (auto& [key, request] : requests) {
        if (pending_.size() >= kPendingFolders)
            break;
        if (key > position_ && pending_.emplace(std::move(key), std::move(request)).second)
            ++added;
    }
    return added;
}

// Wakes as many helpers as there is new work for; a busy helper finds more by itself.
void ListingPrefetcher::wakeHelpers(std::size_t work)
{
    if (work == 1)
        work_.notify_one();
    else if (work > 1)
        work_.notify_all();
}

std::optional<PrefetchedFolder> ListingPrefetcher::take(const WalkKey& key)
{
    std::unique_lock lock(mutex_);
    position_ = key;
    dropBefore(key);
    if (pending_.erase(key) > 0)
        return std::nullopt;
    const auto started = started_.find(key);
    if (started == started_.end())
        return std::nullopt;
    const std::shared_ptr<Slot> slot = started->second;
    walkWaiting_ = true;
    finished_.wait(lock, [&] { return slot->done; });
    walkWaiting_ = false;
    started_.erase(key);
    release(*slot);
    std::optional<PrefetchedFolder> folder = std::move(slot->folder);
    // Helpers that stopped at the bounds are woken once the walk has caught up
    // with half of what they read, not for every folder it takes; they fill up
    // again in one stretch. (Waking no one costs no system call.)
    const bool refill = started_.size() <= heldFolders_ / 2 && heldBytes_ <= kHeldBytes / 2;
    lock.unlock();
    if (refill)
        work_.notify_all();
    return folder;
}

void ListingPrefetcher::dropBefore(const WalkKey& key)
{
    pending_.erase(pending_.begin(), pending_.lower_bound(key));
    const auto end = started_.lower_bound(key);
    for (auto it = started_.begin(); it != end; ++it) {
        release(*it->second);
        it->second->dropped = true;
        it->second->folder.reset();
    }
    started_.erase(started_.begin(), end);
}

// Gives back the bytes a read folder counted against the bound; the caller holds the lock.
void ListingPrefetcher::release(Slot& slot)
{
    if (slot.done && slot.folder)
        heldBytes_ -= slot.folder->listing.size();
}

// Every started folder holds a descriptor until the walk takes it.
bool ListingPrefetcher::mayStart() const
{
    return !pending_.empty() && heldBytes_ < kHeldBytes && started_.size() < heldFolders_;
}

void ListingPrefetcher::help()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [&] { return stopping_ || mayStart(); });
        if (stopping_)
            return;
        auto next = pending_.begin();
        const WalkKey key = next->first;
        const Request request = std::move(next->second);
        pending_.erase(next);
        const auto slot = std::make_shared<Slot>();
        started_.emplace(key, slot);

        lock.unlock();
        std::optional<PrefetchedFolder> folder = read(request);
        auto children = folder ? subfolders(key, folder->fd, folder->listing.data(), folder->listing.size())
                               : std::vector<std::pair<WalkKey, Request>>{};
        lock.lock();

        slot->done = true;
        std::size_t added = 0;
        if (!slot->dropped) {
            if (folder)
                heldBytes_ += folder->listing.size();
            slot->folder = std::move(folder);
            added = addPending(children);
        }
        if (walkWaiting_)
            finished_.notify_one();
        if (added > 1)
            wakeHelpers(added - 1);
    }
}

// Opens and lists one folder as the walk would; nullopt for anything the walk
// must see for itself (a mount point, a folder that cannot be opened or listed).
std::optional<PrefetchedFolder> ListingPrefetcher::read(const Request& request) const
{
    FolderId id;
    if (!identify(request.parent->get(), request.name.c_str(), id) || !id.sameMount(start_))
        return std::nullopt;
    PrefetchedFolder folder;
    auto fd = std::make_shared<Fd>(openChild(request.parent->get(), request.name.c_str()));
    if (!fd->valid() || !identify(fd->get(), "", folder.id) || !folder.id.sameMount(start_))
        return std::nullopt;
    folder.fd = std::move(fd);
    // Read into a buffer of the helper's own, so each listing is allocated once at its size.
    thread_local std::unique_ptr<char[]> buffer;
    thread_local std::size_t capacity = 0;
    std::size_t used = 0;
    for (;;) {
        if (capacity - used < kReadBatch) {
            std::unique_ptr<char[]> grown(new char[capacity * 2 + kReadBatch]);
            std::copy(buffer.get(), buffer.get() + used, grown.get());
            buffer = std::move(grown);
            capacity = capacity * 2 + kReadBatch;
        }
        const long n = readDirents(folder.fd->get(), buffer.get() + used, capacity - used);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        used += std::size_t(n);
    }
    folder.listing.assign(buffer.get(), buffer.get() + used);
    return folder;
}

}  // namespace ombrix::folder
