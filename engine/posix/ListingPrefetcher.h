#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FolderAccess.h"

namespace ombrix::folder {

using SharedFd = std::shared_ptr<const Fd>;

// Where a folder lies in the walk's order: the listing offsets of the entries
// that lead to it from the start folder. Ordered as a depth-first walk meets them.
using WalkKey = std::vector<std::uint32_t>;

// A folder a helper opened and listed ahead of the walk.
struct PrefetchedFolder {
    SharedFd fd;
    FolderId id;
    std::vector<char> listing;  // raw getdents64 records
};

// Reads the listings of the folders the walk will enter next on helper threads,
// earliest in walk order first, so the disk has several requests in flight while
// the walk itself stays one pass in exact order on its own thread. Folders are
// opened as the walk opens them: relative to the parent's descriptor, never
// through a link, never on another mount than the start folder. Listings held
// ahead are bounded in bytes and in descriptors whatever the tree's shape.
class ListingPrefetcher {
public:
    // Folders deeper than `maxDepth` below the start folder are left to the walk,
    // which gives up its own descriptors down there; at most `heldFolders` are
    // held open ahead of the walk.
    ListingPrefetcher(unsigned threads, FolderId start, std::size_t maxDepth, std::size_t heldFolders);
    // Stops the helpers after the folder each is reading; whatever was read ahead goes.
    ~ListingPrefetcher();
    ListingPrefetcher(const ListingPrefetcher&) = delete;
    ListingPrefetcher& operator=(const ListingPrefetcher&) = delete;

    // Offers the subfolders in `listing`, the listing of the folder at `key` open
    // as `fd`, from the entry at offset `from` on.
    void offer(const WalkKey& key, const SharedFd& fd, const char* listing, std::size_t size, std::size_t from = 0);

    // The folder at `key` as a helper read it, waiting while one is at it; nullopt
    // when the walk must open it itself. Everything before `key` is dropped: the
    // walk has passed it.
    std::optional<PrefetchedFolder> take(const WalkKey& key);

private:
    struct Request {
        SharedFd parent;
        std::string name;
    };
    struct Slot {
        std::optional<PrefetchedFolder> folder;
        bool done = false;
        bool dropped = false;
    };

    void help();
    std::optional<PrefetchedFolder> read(const Request& request) const;
    std::vector<std::pair<WalkKey, Request>> subfolders(const WalkKey& key, const SharedFd& fd, const char* listing,
                                                        std::size_t size, std::size_t from = 0) const;
    void enqueue(std::vector<std::pair<WalkKey, Request>> requests);
    std::size_t addPending(std::vector<std::pair<WalkKey, Request>>& requests);
    void wakeHelpers(std::size_t work);
    void dropBefore(const WalkKey& key);
    void release(Slot& slot);
    bool mayStart() const;

    const FolderId start_;
    const std::size_t maxDepth_;
    const std::size_t heldFolders_;
    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable finished_;
    std::map<WalkKey, Request> pending_;
    std::map<WalkKey, std::shared_ptr<Slot>> started_;
    WalkKey position_;
    std::size_t heldBytes_ = 0;
    bool walkWaiting_ = false;
    bool stopping_ = false;
    std::vector<std::thread> helpers_;
};

}  // namespace ombrix::folder
