#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "Dirent.h"
#include "FolderAccess.h"
#include "ListingPrefetcher.h"
#include "PassedOver.h"
#include "Paths.h"
#include "Quarantine.h"
#include "Text.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

ScanCounts counts;
PassedOver passed;

// Reading listings waits on the disk, not the processor, so more helpers than
// cores still pay off on a cold cache.
constexpr unsigned kChosenThreads = 4;
std::optional<unsigned> setThreads;

// A listing read that took this long, beyond what its size costs from the
// cache, has waited: for the disk when the thread has read blocks meanwhile, or
// maybe only for the processor on a busy machine. Waits without blocks read
// (a network file system) count once they come several in a row.
constexpr auto kSlowRead = std::chrono::microseconds(200);
constexpr auto kCachedReadPerByte = std::chrono::nanoseconds(30);
constexpr int kSlowReadsInARow = 8;

long blocksRead()
{
    struct rusage usage{};
    return ::getrusage(RUSAGE_THREAD, &usage) == 0 ? usage.ru_inblock : 0;
}

using folder::LinuxDirent64;

// Removed files wait in quarantine folders: the walk never enters one, whatever
// its name and however it is reached, so it never finds them again.
bool isQuarantine(const folder::FolderId& id)
{
    return quarantine::IsQuarantineFolder({id.device, id.inode});
}

// The listings of the folders being walked, one above the other: a folder's
// listing lies on top while it is processed and goes when its visit ends, so
// memory follows the current path, not the tree. Never zero-filled.
class ListingStack {
public:
    std::size_t top() const { return used_; }
    const char* at(std::size_t offset) const { return data_.get() + offset; }
    const LinuxDirent64& entry(std::size_t offset) const { return folder::direntAt(data_.get(), offset); }
    void popTo(std::size_t offset) { used_ = offset; }

    // Appends the folder's whole listing, or as much of it as could be read:
    // 0, or the error that ended the reading early.
    int read(int fd)
    {
        for (;;) {
            reserve(kBatch);
            const long n = folder::readDirents(fd, data_.get() + used_, capacity_ - used_);
            if (n <= 0)
                return n < 0 ? errno : 0;
            used_ += std::size_t(n);
        }
    }

    // Appends a listing read elsewhere.
    void append(const std::vector<char>& listing)
    {
        reserve(listing.size());
        std::copy(listing.begin(), listing.end(), data_.get() + used_);
        used_ += listing.size();
    }

private:
    static constexpr std::size_t kBatch = 32768;

    void reserve(std::size_t room)
    {
        if (capacity_ - used_ >= room)
            return;
        const std::size_t capacity = std::max(capacity_ * 2, used_ + std::max(room, kBatch));
        std::unique_ptr<char[]> grown(new char[capacity]);
        std::copy(data_.get(), data_.get() + used_, grown.get());
        data_ = std::move(grown);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
};

// A folder being listed: its descriptor (given up while a deep subfolder is
// walked), where its listing lies on the listing stack and how long its path is.
struct Frame {
    folder::SharedFd fd;
    std::size_t base = 0;
    std::size_t next = 0;
    std::size_t end = 0;
    std::size_t pathSize = 0;
    dev_t device = 0;    // identity kept while the descriptor is given up
    ino_t inode = 0;
};

// One depth-first pass. The folders being walked are frames on the heap, not
// calls on the machine stack, so no depth of tree can exhaust the stack.
class Walk {
public:
    explicit Walk(ScanWindow& window) : window_(window) {}

    void visitStart(const std::string& received, bool isRoot);

private:
    void pushFolder(folder::SharedFd fd, const std::vector<char>* listing, std::size_t entryOffset);
    int readListing(int fd);
    void startReadAhead();
    void walkFolders();
    void visitEntry(const LinuxDirent64& entry, std::size_t offset);
    void enterSubfolder(const char* name, std::size_t offset);
    std::optional<folder::PrefetchedFolder> prefetched(const folder::FolderId& id, std::size_t offset);
    void leaveSubfolder();
    folder::SharedFd regainParent(folder::SharedFd child, const Frame& parent);
    folder::Fd openChildAgain(int parentFd, const char* name);
    void freeDescriptors();
    void endVisit();
    // The folder being listed as the walk names it: the start folder as
    // received, a subfolder without the separator that ends its path.
    std::string folderPath(std::size_t pathSize) const;

    ScanWindow& window_;
    // Folders this deep or deeper give up their descriptor while a subfolder is
    // walked and take it back through "..", so a tree of any depth stays within
    // the descriptor limit; helpers read ahead only above that depth.
    const folder::HeldFolders held_ = folder::shareDescriptors();
    const std::size_t keyedDepth_ = held_.walk - 1;
    std::string path_;  // the folder being listed, ending in the separator
    std::string received_;  // the start folder as named
    std::size_t startSize_ = 0;  // the length of its path
    folder::FolderId start_;
    ListingStack listings_;
    std::vector<Frame> frames_;
    // The place of the folder on top in the walk's order; it stops growing at the
    // prefetcher's depth, below which nothing is read ahead.
    folder::WalkKey key_;
    std::unique_ptr<folder::ListingPrefetcher> prefetcher_;
    bool readAheadWhenSlow_ = false;
    long blocksRead_ = 0;
    int slowReads_ = 0;
};

void Walk::visitStart(const std::string& received, bool isRoot)
{
    if (!isRoot && window_.scanSubFolders() == 0)
        return;
    if (window_.canceled())
        return;
    window_.setLabel(ScanLabel::Label7, received);
    if (isRoot) {
        counts = {};
        passed.clear();
    }
    counts.Dirs += 1;
    path_ = received;
    if (path_.empty() || path_.back() != kPathSeparator)
        path_.push_back(kPathSeparator);
    received_ = received;
    startSize_ = path_.size();

    // The start folder is the one the user named, so a link to it is followed.
    folder::Fd fd = folder::openNamedFolder(path_);
    if (!fd.valid()) {
        const int error = errno;
        if (folder::outOfDescriptors(error))
            counts.Unreached += 1;
        passed.add(PassedOver::Reason::CouldNotList, received, error);
    }
    if (fd.valid() && folder::identify(fd.get(), "", start_) && !isQuarantine(start_)) {
        if (isRoot)
            folder::setAnchor(path_, folder::Fd(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0)));
        const unsigned threads = held_.helpers > 0 ? setThreads.value_or(kChosenThreads) : 0;
        if (window_.scanSubFolders() != 0 && threads > 0) {
            if (setThreads)
                prefetcher_ = std::make_unique<folder::ListingPrefetcher>(threads, start_, keyedDepth_,
                                                                          held_.helpers);
            readAheadWhenSlow_ = !setThreads;
            blocksRead_ = blocksRead();
        }
        pushFolder(std::make_shared<const folder::Fd>(std::move(fd)), nullptr, 0);
        walkFolders();
        prefetcher_.reset();
    }
    endVisit();
}

// The whole listing is read first: a folder deep in the tree may have to give
// up its descriptor while its subfolders are walked. `listing` is the one a
// helper read ahead, if any; the prefetcher is offered the subfolders of one
// the walk reads itself.
void Walk::pushFolder(folder::SharedFd fd, const std::vector<char>* listing, std::size_t entryOffset)
{
    Frame frame;
    const bool keyed = frames_.size() <= keyedDepth_;
    if (keyed && !frames_.empty())
        key_.push_back(std::uint32_t(entryOffset));
    frame.base = listings_.top();
    if (listing) {
        listings_.append(*listing);
    } else {
        if (const int error = readListing(fd->get()); error != 0)
            passed.add(ReasonOfOpenError(error), folderPath(path_.size()), error);
        if (prefetcher_ && keyed)
            prefetcher_->offer(key_, fd, listings_.at(frame.base), listings_.top() - frame.base);
    }
    frame.next = frame.base;
    frame.end = listings_.top();
    frame.pathSize = path_.size();
    frame.fd = std::move(fd);
    frames_.push_back(std::move(frame));
}

int Walk::readListing(int fd)
{
    if (!readAheadWhenSlow_)
        return listings_.read(fd);
    const std::size_t before = listings_.top();
    const auto began = std::chrono::steady_clock::now();
    const int error = listings_.read(fd);
    const auto took = std::chrono::steady_clock::now() - began;
    if (took <= kSlowRead + kCachedReadPerByte * (listings_.top() - before)) {
        slowReads_ = 0;
        return error;
    }
    const long blocks = blocksRead();
    if (blocks > blocksRead_ || ++slowReads_ >= kSlowReadsInARow)
        startReadAhead();
    blocksRead_ = blocks;
    return error;
}

// The helpers start mid-walk: the folders being walked offer what they have
// still to enter.
void Walk::startReadAhead()
{
    readAheadWhenSlow_ = false;
    prefetcher_ = std::make_unique<folder::ListingPrefetcher>(kChosenThreads, start_, keyedDepth_,
                                                              held_.helpers);
    for (std::size_t depth = 0; depth < frames_.size() && depth <= key_.size(); ++depth) {
        const Frame& frame = frames_[depth];
        if (frame.fd) {
            const folder::WalkKey key(key_.begin(), key_.begin() + std::ptrdiff_t(depth));
            prefetcher_->offer(key, frame.fd, listings_.at(frame.base), frame.end - frame.base, frame.next - frame.base);
        }
    }
}

void Walk::walkFolders()
{
    while (!frames_.empty()) {
        Frame& frame = frames_.back();
        if (frame.next == frame.end) {
            leaveSubfolder();
            continue;
        }
        const std::size_t offset = frame.next - frame.base;
        const LinuxDirent64& entry = listings_.entry(frame.next);
        frame.next += entry.d_reclen;
        visitEntry(entry, offset);
    }
}

void Walk::visitEntry(const LinuxDirent64& entry, std::size_t offset)
{
    const int fd = frames_.back().fd ? frames_.back().fd->get() : -1;
    bool isFolder = entry.d_type == DT_DIR;
    bool isLink = entry.d_type == DT_LNK;
    if (entry.d_type == DT_UNKNOWN) {
        struct stat st;
        const bool known = ::fstatat(fd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
        isFolder = known && S_ISDIR(st.st_mode);
        isLink = known && S_ISLNK(st.st_mode);
    }
    // A folder or a link whose name starts with a full stop is passed over by
    // design, not for want of access: it goes unreported.
    if (isFolder) {
        if (entry.d_name[0] == '.' || window_.canceled())
            return;
        if (window_.scanSubFolders() == 0) {
            passed.add(PassedOver::Reason::SubfoldersOff, path_ + entry.d_name);
            return;
        }
        enterSubfolder(entry.d_name, offset);
        return;
    }
    // A link is never followed, so a folder it leads to goes unscanned here.
    // Asked without triggering an automount.
    struct stat target;
    if (isLink && entry.d_name[0] != '.' && ::fstatat(fd, entry.d_name, &target, AT_NO_AUTOMOUNT) == 0 &&
        S_ISDIR(target.st_mode))
        passed.add(PassedOver::Reason::Link, path_ + entry.d_name);
    counts.Files += 1;
    CheckFile(window_, entry.d_name, fd, path_);
}

// Each drive is scanned on its own: a mount point below the start folder is
// passed over like a hidden folder, whatever it mounts. Asked of the name first,
// so an automount is never triggered, then of the opened folder itself, which
// no rename or mount can change after the fact.
// `name` points into the listing stack, which the subfolder's own listing may
// move: it is used only before that listing is taken.
void Walk::enterSubfolder(const char* name, std::size_t offset)
{
    Frame& parent = frames_.back();
    const int parentFd = parent.fd ? parent.fd->get() : -1;
    folder::FolderId id;
    const bool known = folder::identify(parentFd, name, id);
    if (known && !id.sameMount(start_)) {
        passed.add(PassedOver::Reason::OtherFilesystem, path_ + name);
        return;
    }
    if (known && isQuarantine(id))
        return;
    std::optional<folder::PrefetchedFolder> ahead = known ? prefetched(id, offset) : std::nullopt;
    folder::Fd own = ahead ? folder::Fd() : openChildAgain(parentFd, name);
    const int openError = !ahead && !own.valid() ? errno : 0;
    const bool starved = openError != 0 && folder::outOfDescriptors(openError);
    folder::SharedFd child = ahead ? ahead->fd : std::make_shared<const folder::Fd>(std::move(own));
    folder::FolderId opened;
    if (!ahead && child->valid()) {
        if (!folder::identify(child->get(), "", opened) || isQuarantine(opened))
            return;
        if (!opened.sameMount(start_)) {
            passed.add(PassedOver::Reason::OtherFilesystem, path_ + name);
            return;
        }
    }
    path_.append(name);
    window_.setLabel(ScanLabel::Label7, path_);
    counts.Dirs += 1;
    counts.Unreached += starved ? 1 : 0;
    if (!child->valid())
        passed.add(ReasonOfOpenError(openError), path_, openError);
    path_.push_back(kPathSeparator);
    if (!child->valid()) {
        endVisit();
        path_.resize(parent.pathSize);
        return;
    }
    struct stat parentId;
    if (frames_.size() >= held_.walk && ::fstat(parentFd, &parentId) == 0) {
        parent.device = parentId.st_dev;
        parent.inode = parentId.st_ino;
        parent.fd.reset();
    }
    pushFolder(std::move(child), ahead ? &ahead->listing : nullptr, offset);
}

// Opens a subfolder; when the process has no descriptor left, the walk lets go
// of what it holds besides the folder on top (its helpers and the ancestors,
// found again later by identity) and tries once more.
folder::Fd Walk::openChildAgain(int parentFd, const char* name)
{
    folder::Fd child = folder::openChild(parentFd, name);
    if (child.valid() || !folder::outOfDescriptors(errno))
        return child;
    freeDescriptors();
    return folder::openChild(parentFd, name);
}

// The helpers end and every folder below the top gives up its descriptor,
// keeping its identity.
void Walk::freeDescriptors()
{
    prefetcher_.reset();
    readAheadWhenSlow_ = false;
    for (std::size_t depth = 0; depth + 1 < frames_.size(); ++depth) {
        Frame& frame = frames_[depth];
        struct stat st;
        if (!frame.fd || !frame.fd->valid() || ::fstat(frame.fd->get(), &st) != 0)
            continue;
        frame.device = st.st_dev;
        frame.inode = st.st_ino;
        frame.fd.reset();
    }
}

// What a helper read of the subfolder at `offset` of the folder on top, if it is
// still the very folder the entry names now; anything else is opened afresh.
std::optional<folder::PrefetchedFolder> Walk::prefetched(const folder::FolderId& id, std::size_t offset)
{
    if (!prefetcher_ || frames_.size() > keyedDepth_)
        return std::nullopt;
    key_.push_back(std::uint32_t(offset));
    std::optional<folder::PrefetchedFolder> ahead = prefetcher_->take(key_);
    key_.pop_back();
    if (ahead && id.isFolder && ahead->id.sameFolder(id))
        return ahead;
    return std::nullopt;
}

// Ends the visit of the folder on top; the start folder's visit is ended by visitStart.
void Walk::leaveSubfolder()
{
    listings_.popTo(frames_.back().base);
    folder::SharedFd done = std::move(frames_.back().fd);
    if (frames_.size() > 1 && frames_.size() - 1 <= keyedDepth_)
        key_.pop_back();
    frames_.pop_back();
    if (frames_.empty())
        return;
    Frame& parent = frames_.back();
    if (!parent.fd)
        parent.fd = regainParent(std::move(done), parent);
    endVisit();
    path_.resize(parent.pathSize);
}

folder::SharedFd Walk::regainParent(folder::SharedFd child, const Frame& parent)
{
    struct stat st;
    if (child && child->valid()) {
        folder::Fd up = folder::openChild(child->get(), "..");
        if (!up.valid() && folder::outOfDescriptors(errno)) {
            freeDescriptors();
            up = folder::openChild(child->get(), "..");
        }
        if (up.valid() && ::fstat(up.get(), &st) == 0 && st.st_dev == parent.device && st.st_ino == parent.inode)
            return std::make_shared<const folder::Fd>(std::move(up));
    }
    // The folder was moved meanwhile: find it again by its path from the start folder.
    folder::Fd again = folder::openFolder(path_.substr(0, parent.pathSize));
    if (again.valid() && ::fstat(again.get(), &st) == 0 && st.st_dev == parent.device && st.st_ino == parent.inode)
        return std::make_shared<const folder::Fd>(std::move(again));
    // The rest of the folder's subfolders cannot be entered now.
    const int error = again.valid() ? 0 : errno;
    if (error != 0 && folder::outOfDescriptors(error))
        counts.Unreached += 1;
    passed.add(error != 0 ? ReasonOfOpenError(error) : PassedOver::Reason::Vanished,
               folderPath(parent.pathSize), error);
    return nullptr;
}

std::string Walk::folderPath(std::size_t pathSize) const
{
    return pathSize <= startSize_ ? received_ : path_.substr(0, pathSize - 1);
}

void Walk::endVisit()
{
    window_.setLabel(ScanLabel::Label2, "Dirs: " + decimal(counts.Dirs));
    window_.setLabel(ScanLabel::Label3, "Files: " + decimal(counts.Files));
    window_.yield();
}

}  // namespace

void SetPrefetchThreads(std::optional<unsigned> threads)
{
    setThreads = threads;
}

ScanCounts Counts()
{
    return counts;
}

const PassedOver& PassedOverFolders()
{
    return passed;
}

void SearchFolder(ScanWindow& window, const std::string& path, bool isRoot)
{
    Walk(window).visitStart(path, isRoot);
}

}  // namespace ombrix::mFileSearch
