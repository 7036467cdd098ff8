#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "FolderAccess.h"
#include "Paths.h"
#include "Text.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

ScanCounts counts;

// Folders this deep or deeper give up their descriptor while a subfolder is
// walked and take it back through "..", so a tree of any depth stays far below
// the open-file limit.
constexpr std::size_t kHeldFolders = 256;

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];  // NUL-terminated, as long as the record allows
};

// The listings of the folders being walked, one above the other: a folder's
// listing lies on top while it is processed and goes when its visit ends, so
// memory follows the current path, not the tree. Never zero-filled.
class ListingStack {
public:
    std::size_t top() const { return used_; }
    const LinuxDirent64& at(std::size_t offset) const
    {
        return *reinterpret_cast<const LinuxDirent64*>(data_.get() + offset);
    }
    void popTo(std::size_t offset) { used_ = offset; }

    // Appends the folder's whole listing.
    void read(int fd)
    {
        while (readMore(fd)) {
        }
    }

private:
    bool readMore(int fd)
    {
        constexpr std::size_t kBatch = 32768;
        if (capacity_ - used_ < kBatch) {
            const std::size_t capacity = std::max(capacity_ * 2, used_ + kBatch);
            std::unique_ptr<char[]> grown(new char[capacity]);
            std::copy(data_.get(), data_.get() + used_, grown.get());
            data_ = std::move(grown);
            capacity_ = capacity;
        }
        const long n = ::syscall(SYS_getdents64, fd, data_.get() + used_, capacity_ - used_);
        if (n <= 0)
            return false;
        used_ += std::size_t(n);
        return true;
    }

    std::unique_ptr<char[]> data_;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
};

// A finding's path is the entry's own bytes, so it names what the walk met;
// only the test against the list sees the name trimmed. Without a descriptor
// for the folder the file is reached by that path.
void recordMatch(ScanWindow& window, const Signature& match, int folderFd, const std::string& folderPath,
                 const char* name)
{
    const std::size_t row = window.addFinding(std::string(match.VirusName), "redbug");
    window.setFindingSelected(row, true);
    const std::string fullPath = folderPath + name;
    window.setFindingPath(row, fullPath);
    window.setLabel(ScanLabel::Label5, "Detected:  " + decimal(row));
    if (folderFd < 0) {
        if (window.autoRepair() == 1)
            DeleteFile(fullPath);
        if (!FileExists(fullPath))
            window.setFindingIcon(row, "greenbug");
        return;
    }
    if (window.autoRepair() == 1)
        ::unlinkat(folderFd, name, 0);
    if (!folder::entryExists(folderFd, name))
        window.setFindingIcon(row, "greenbug");
}

// A folder being listed: its descriptor (given up while a deep subfolder is
// walked), where its listing lies on the listing stack and how long its path is.
struct Frame {
    folder::Fd fd;
    std::size_t base = 0;
    std::size_t next = 0;
    std::size_t end = 0;
    std::size_t pathSize = 0;
    dev_t device = 0;  // identity kept while the descriptor is given up
    ino_t inode = 0;
};

// One depth-first pass. The folders being walked are frames on the heap, not
// calls on the machine stack, so no depth of tree can exhaust the stack.
class Walk {
public:
    explicit Walk(ScanWindow& window) : window_(window) {}

    void visitStart(const std::string& received, bool isRoot);

private:
    void pushFolder(folder::Fd fd);
    void walkFolders();
    void visitEntry(const LinuxDirent64& entry);
    void enterSubfolder(const char* name);
    bool onOtherMount(int parent, const char* name, const folder::Fd& child) const;
    void leaveSubfolder();
    folder::Fd regainParent(folder::Fd child, const Frame& parent);
    void endVisit();

    ScanWindow& window_;
    std::string path_;  // the folder being listed, ending in the separator
    folder::MountKey mount_;
    ListingStack listings_;
    std::vector<Frame> frames_;
};

void Walk::visitStart(const std::string& received, bool isRoot)
{
    if (!isRoot && window_.scanSubFolders() == 0)
        return;
    if (window_.canceled())
        return;
    window_.setLabel(ScanLabel::Label7, received);
    if (isRoot)
        counts = {};
    counts.Dirs += 1;
    path_ = received;
    if (path_.empty() || path_.back() != kPathSeparator)
        path_.push_back(kPathSeparator);

    // The start folder is the one the user named, so a link to it is followed.
    folder::Fd fd = folder::openNamedFolder(path_);
    if (fd.valid() && folder::mountOf(fd.get(), "", mount_)) {
        if (isRoot)
            folder::setAnchor(path_, folder::Fd(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0)));
        pushFolder(std::move(fd));
        walkFolders();
    }
    endVisit();
}

// The whole listing is read first: a folder deep in the tree may have to give
// up its descriptor while its subfolders are walked.
void Walk::pushFolder(folder::Fd fd)
{
    Frame frame;
    frame.base = listings_.top();
    listings_.read(fd.get());
    frame.next = frame.base;
    frame.end = listings_.top();
    frame.pathSize = path_.size();
    frame.fd = std::move(fd);
    frames_.push_back(std::move(frame));
}

void Walk::walkFolders()
{
    while (!frames_.empty()) {
        Frame& frame = frames_.back();
        if (frame.next == frame.end) {
            leaveSubfolder();
            continue;
        }
        const LinuxDirent64& entry = listings_.at(frame.next);
        frame.next += entry.d_reclen;
        visitEntry(entry);
    }
}

void Walk::visitEntry(const LinuxDirent64& entry)
{
    const int fd = frames_.back().fd.get();
    bool isFolder = entry.d_type == DT_DIR;
    if (entry.d_type == DT_UNKNOWN) {
        struct stat st;
        isFolder = ::fstatat(fd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
    }
    if (isFolder) {
        if (entry.d_name[0] == '.' || window_.scanSubFolders() == 0 || window_.canceled())
            return;
        enterSubfolder(entry.d_name);
        return;
    }
    counts.Files += 1;
    const std::optional<Signature> match = FindSignature(trimSpaces(entry.d_name));
    if (match)
        recordMatch(window_, *match, fd, path_, entry.d_name);
}

// `name` points into the listing stack, which the subfolder's own listing may
// move: it is used only before that listing is read.
void Walk::enterSubfolder(const char* name)
{
    Frame& parent = frames_.back();
    folder::Fd child = folder::openChild(parent.fd.get(), name);
    if (onOtherMount(parent.fd.get(), name, child))
        return;
    path_.append(name);
    window_.setLabel(ScanLabel::Label7, path_);
    counts.Dirs += 1;
    path_.push_back(kPathSeparator);
    if (!child.valid()) {
        endVisit();
        path_.resize(parent.pathSize);
        return;
    }
    struct stat parentId;
    if (frames_.size() >= kHeldFolders && ::fstat(parent.fd.get(), &parentId) == 0) {
        parent.device = parentId.st_dev;
        parent.inode = parentId.st_ino;
        parent.fd = folder::Fd();
    }
    pushFolder(std::move(child));
}

// Each drive is scanned on its own: a mount point below the start folder is
// passed over like a hidden folder, whatever it mounts. Asked of the name first,
// so an automount is never triggered, then of the opened folder itself, which
// no rename or mount can change after the fact.
bool Walk::onOtherMount(int parent, const char* name, const folder::Fd& child) const
{
    folder::MountKey key;
    if (folder::mountOf(parent, name, key) && key != mount_)
        return true;
    return child.valid() && (!folder::mountOf(child.get(), "", key) || key != mount_);
}

// Ends the visit of the folder on top; the start folder's visit is ended by visitStart.
void Walk::leaveSubfolder()
{
    listings_.popTo(frames_.back().base);
    folder::Fd done = std::move(frames_.back().fd);
    frames_.pop_back();
    if (frames_.empty())
        return;
    Frame& parent = frames_.back();
    if (!parent.fd.valid())
        parent.fd = regainParent(std::move(done), parent);
    endVisit();
    path_.resize(parent.pathSize);
}

folder::Fd Walk::regainParent(folder::Fd child, const Frame& parent)
{
    struct stat st;
    if (child.valid()) {
        folder::Fd up = folder::openChild(child.get(), "..");
        if (up.valid() && ::fstat(up.get(), &st) == 0 && st.st_dev == parent.device && st.st_ino == parent.inode)
            return up;
    }
    // The folder was moved meanwhile: find it again by its path from the start folder.
    folder::Fd again = folder::openFolder(path_.substr(0, parent.pathSize));
    if (again.valid() && ::fstat(again.get(), &st) == 0 && st.st_dev == parent.device && st.st_ino == parent.inode)
        return again;
    return {};
}

void Walk::endVisit()
{
    window_.setLabel(ScanLabel::Label2, "Dirs: " + decimal(counts.Dirs));
    window_.setLabel(ScanLabel::Label3, "Files: " + decimal(counts.Files));
    window_.yield();
}

}  // namespace

ScanCounts Counts()
{
    return counts;
}

void SearchFolder(ScanWindow& window, const std::string& path, bool isRoot)
{
    Walk(window).visitStart(path, isRoot);
}

void CheckFile(ScanWindow& window, const std::string& name, const std::string& folderPath)
{
    const std::optional<Signature> match = FindSignature(trimSpaces(name));
    if (!match)
        return;
    const folder::Fd fd = folder::openFolder(folderPath);
    recordMatch(window, *match, fd.get(), folderPath, name.c_str());
}

bool FileExists(const std::string& path)
{
    return folder::PathCursor().exists(path);
}

bool DeleteFile(const std::string& path)
{
    return folder::PathCursor().remove(path);
}

}  // namespace ombrix::mFileSearch
