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
    const char* at(std::size_t offset) const { return data_.get() + offset; }
    void popTo(std::size_t offset) { used_ = offset; }

    // Appends one batch of the folder's entries; false at the end of the listing.
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

private:
    std::unique_ptr<char[]> data_;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
};

// Names the walk hands on are NUL-terminated: the entry's own bytes when trimming
// changed nothing, else a trimmed copy.
class EntryName {
public:
    explicit EntryName(const char* raw)
        : raw_(raw), view_(trimSpaces(raw))
    {
        if (view_.data() != raw_ || view_.size() != std::strlen(raw_)) {
            copy_.assign(view_);
            raw_ = copy_.c_str();
        }
    }
    std::string_view view() const { return view_; }
    const char* c_str() const { return raw_; }

private:
    const char* raw_;
    std::string_view view_;
    std::string copy_;
};

void recordMatch(ScanWindow& window, const Signature& match, int folderFd, const std::string& folderPath,
                 std::string_view name, const char* cName)
{
    const std::size_t row = window.addFinding(std::string(match.VirusName), "redbug");
    window.setFindingSelected(row, true);
    std::string fullPath;
    fullPath.reserve(folderPath.size() + name.size());
    fullPath.append(folderPath).append(name);
    window.setFindingPath(row, fullPath);
    window.setLabel(ScanLabel::Label5, "Detected:  " + decimal(row));
    if (window.autoRepair() == 1)
        ::unlinkat(folderFd, cName, 0);
    if (!folder::entryExists(folderFd, cName))
        window.setFindingIcon(row, "greenbug");
}

class Walk {
public:
    explicit Walk(ScanWindow& window) : window_(window) {}

    void visitStart(const std::string& received, bool isRoot);

private:
    folder::Fd listFolder(folder::Fd fd, std::size_t depth);
    void visitEntry(folder::Fd& fd, const LinuxDirent64& entry, std::size_t depth);
    void visitSubfolder(folder::Fd& parent, const char* rawName, std::size_t depth);
    bool onOtherDevice(int parent, const char* name) const;
    folder::Fd regainParent(folder::Fd child, const struct stat& parentId, std::size_t parentPathSize);
    void endVisit();

    ScanWindow& window_;
    std::string path_;  // the folder being listed, ending in the separator
    dev_t device_ = 0;
    ListingStack listings_;
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
    path_ = trimSpaces(received);
    if (path_.empty() || path_.back() != kPathSeparator)
        path_.push_back(kPathSeparator);

    // The start folder is the one the user named, so a link to it is followed.
    folder::Fd fd(::open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat st;
    if (fd.valid() && ::fstat(fd.get(), &st) == 0) {
        device_ = st.st_dev;
        if (isRoot)
            folder::setAnchor(path_, folder::Fd(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0)));
        listFolder(std::move(fd), 0);
    }
    endVisit();
}

folder::Fd Walk::listFolder(folder::Fd fd, std::size_t depth)
{
    // The whole listing is read first: a folder deep in the tree may have to
    // give up its descriptor while its subfolders are walked.
    const std::size_t base = listings_.top();
    while (listings_.readMore(fd.get())) {
    }
    const std::size_t end = listings_.top();
    for (std::size_t offset = base; offset < end;) {
        const auto& entry = *reinterpret_cast<const LinuxDirent64*>(listings_.at(offset));
        offset += entry.d_reclen;
        visitEntry(fd, entry, depth);
    }
    listings_.popTo(base);
    return fd;
}

void Walk::visitEntry(folder::Fd& fd, const LinuxDirent64& entry, std::size_t depth)
{
    bool isFolder = entry.d_type == DT_DIR;
    if (entry.d_type == DT_UNKNOWN) {
        struct stat st;
        isFolder = ::fstatat(fd.get(), entry.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
    }
    if (isFolder) {
        if (entry.d_name[0] == '.' || window_.scanSubFolders() == 0 || window_.canceled())
            return;
        if (onOtherDevice(fd.get(), entry.d_name))
            return;
        visitSubfolder(fd, entry.d_name, depth);
        return;
    }
    counts.Files += 1;
    const std::string_view name = trimSpaces(entry.d_name);
    const std::optional<Signature> match = FindSignature(name);
    if (!match)
        return;
    const EntryName cName(entry.d_name);
    recordMatch(window_, *match, fd.get(), path_, name, cName.c_str());
}

// Each drive is scanned on its own: a mount point below the start folder is
// passed over like a hidden folder, without triggering an automount.
bool Walk::onOtherDevice(int parent, const char* name) const
{
    struct stat st;
    if (::fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0)
        return false;
    return st.st_dev != device_;
}

// `rawName` points into the listing stack, which the subfolder's own listing may
// move: it is used only before the subfolder is walked.
void Walk::visitSubfolder(folder::Fd& parent, const char* rawName, std::size_t depth)
{
    const EntryName name(rawName);
    const std::size_t parentPathSize = path_.size();
    path_.append(name.view());
    window_.setLabel(ScanLabel::Label7, path_);
    counts.Dirs += 1;
    path_.push_back(kPathSeparator);

    folder::Fd child = folder::openChild(parent.get(), name.c_str());
    if (child.valid()) {
        struct stat parentId{};
        const bool release = depth + 1 >= kHeldFolders && ::fstat(parent.get(), &parentId) == 0;
        if (release)
            parent = folder::Fd();
        folder::Fd back = listFolder(std::move(child), depth + 1);
        if (release)
            parent = regainParent(std::move(back), parentId, parentPathSize);
    }
    endVisit();
    path_.resize(parentPathSize);
}

folder::Fd Walk::regainParent(folder::Fd child, const struct stat& parentId, std::size_t parentPathSize)
{
    struct stat st;
    if (child.valid()) {
        folder::Fd up = folder::openChild(child.get(), "..");
        if (up.valid() && ::fstat(up.get(), &st) == 0 && st.st_dev == parentId.st_dev &&
            st.st_ino == parentId.st_ino)
            return up;
    }
    // The folder was moved meanwhile: find it again by its path from the start folder.
    folder::Fd again = folder::openFolder(path_.substr(0, parentPathSize));
    if (again.valid() && ::fstat(again.get(), &st) == 0 && st.st_dev == parentId.st_dev &&
        st.st_ino == parentId.st_ino)
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
    const std::optional<Signature> match = FindSignature(name);
    if (!match)
        return;
    const folder::Fd fd = folder::openFolder(folderPath);
    recordMatch(window, *match, fd.get(), folderPath, name, name.c_str());
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
