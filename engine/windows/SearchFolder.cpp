#include <windows.h>

#include <vector>

#include "FolderAccess.h"
#include "PassedOver.h"
#include "Paths.h"
#include "Quarantine.h"
#include "Text.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

ScanCounts counts;
PassedOver passed;

// Removed files wait in quarantine folders: the walk never enters one, whatever
// its name and however it is reached, so it never finds them again.
bool isQuarantine(const folder::OpenFolder& folder)
{
    BY_HANDLE_FILE_INFORMATION info;
    return folder.valid() && GetFileInformationByHandle(folder.handle.get(), &info) &&
           quarantine::IsQuarantineFolder(
               {info.dwVolumeSerialNumber, std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow});
}

// A folder being listed: held open, with its listing under way and the length
// of its path.
struct Frame {
    folder::OpenFolder folder;
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW next{};
    bool more = false;
    std::size_t pathSize = 0;
};

// One depth-first pass. The folders being walked are frames on the heap, not
// calls on the machine stack, so no depth of tree can exhaust the stack. Every
// listing is read by the wide call and its names turned into the system code
// page, as the 8-bit call does, but without its limit of MAX_PATH characters.
class Walk {
public:
    explicit Walk(ScanWindow& window) : window_(window) {}
    ~Walk();

    void visitStart(const std::string& received, bool isRoot);

private:
    void pushFolder(folder::OpenFolder folder);
    void walkFolders();
    void visitEntry(const WIN32_FIND_DATAW& entry);
    void enterSubfolder(const std::wstring& wideName, const std::string& name);
    void leaveSubfolder();
    void endVisit();

    ScanWindow& window_;
    std::string path_;  // the folder being listed, ending in the separator
    std::vector<Frame> frames_;
};

Walk::~Walk()
{
    for (Frame& frame : frames_)
        if (frame.find != INVALID_HANDLE_VALUE)
            FindClose(frame.find);
}

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

    // The start folder is the one the user named, so a reparse point to it is followed.
    folder::OpenFolder start = folder::openNamedFolder(path_);
    if (!start.valid())
        passed.add(PassedOver::Reason::CouldNotList, received, int(GetLastError()));
    if (start.valid() && !isQuarantine(start)) {
        if (isRoot)
            folder::setAnchor(path_, folder::copyOf(start));
        pushFolder(std::move(start));
        walkFolders();
    }
    endVisit();
}

void Walk::pushFolder(folder::OpenFolder folder)
{
    Frame frame;
    std::wstring pattern = folder.path;
    if (pattern.back() != L'\\')
        pattern.push_back(L'\\');
    pattern += L"*.*";
    frame.find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &frame.next, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    frame.more = frame.find != INVALID_HANDLE_VALUE;
    // Not even "." listed: the folder could not be read.
    if (!frame.more) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            passed.add(ReasonOfOpenError(int(error)), frames_.empty() ? path_ : path_.substr(0, path_.size() - 1),
                       int(error));
    }
    frame.folder = std::move(folder);
    frame.pathSize = path_.size();
    frames_.push_back(std::move(frame));
}

void Walk::walkFolders()
{
    while (!frames_.empty()) {
        Frame& frame = frames_.back();
        if (!frame.more) {
            leaveSubfolder();
            continue;
        }
        const WIN32_FIND_DATAW entry = frame.next;
        frame.more = FindNextFileW(frame.find, &frame.next);
        visitEntry(entry);
    }
}

// A reparse point that is a folder (junction, symbolic link, mount point) is
// passed over like a hidden folder: each drive is scanned on its own and nothing
// outside the start folder is reached. One that is not a folder is an entry
// like any file: tested by name and, if deleted, the link goes, never its target.
void Walk::visitEntry(const WIN32_FIND_DATAW& entry)
{
    const std::string name = folder::narrow(entry.cFileName);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (name.empty() || name[0] == '.' || window_.canceled())
            return;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            passed.add(PassedOver::Reason::ReparsePoint, path_ + name);
        else if (window_.scanSubFolders() == 0)
            passed.add(PassedOver::Reason::SubfoldersOff, path_ + name);
        else
            enterSubfolder(entry.cFileName, name);
        return;
    }
    counts.Files += 1;
    CheckFile(window_, name.c_str(), &frames_.back().folder, path_);
}

// A folder that became a link since it was listed is passed over as well; one
// that cannot be opened counts as a folder without entries.
void Walk::enterSubfolder(const std::wstring& wideName, const std::string& name)
{
    const Frame& parent = frames_.back();
    bool elsewhere = false;
    folder::OpenFolder child = folder::openChild(parent.folder, wideName, &elsewhere);
    const int openError = child.valid() ? 0 : int(GetLastError());
    if (elsewhere)
        passed.add(PassedOver::Reason::ReparsePoint, path_ + name);
    if (elsewhere || isQuarantine(child))
        return;
    const std::size_t parentSize = parent.pathSize;
    path_.append(name);
    window_.setLabel(ScanLabel::Label7, path_);
    counts.Dirs += 1;
    if (!child.valid())
        passed.add(ReasonOfOpenError(openError), path_, openError);
    path_.push_back(kPathSeparator);
    if (!child.valid()) {
        endVisit();
        path_.resize(parentSize);
        return;
    }
    pushFolder(std::move(child));
}

// Ends the visit of the folder on top; the start folder's visit is ended by visitStart.
void Walk::leaveSubfolder()
{
    if (frames_.back().find != INVALID_HANDLE_VALUE)
        FindClose(frames_.back().find);
    frames_.pop_back();
    if (frames_.empty())
        return;
    endVisit();
    path_.resize(frames_.back().pathSize);
}

void Walk::endVisit()
{
    window_.setLabel(ScanLabel::Label2, "Dirs: " + decimal(counts.Dirs));
    window_.setLabel(ScanLabel::Label3, "Files: " + decimal(counts.Files));
    window_.yield();
}

}  // namespace

// Listings are read on the calling thread alone here: the choice changes no result.
void SetPrefetchThreads(std::optional<unsigned>) {}

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
