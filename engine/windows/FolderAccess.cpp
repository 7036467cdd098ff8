#include "FolderAccess.h"

#include <windows.h>
#include <winternl.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "ErrorText.h"
#include "Paths.h"

namespace ombrix::folder {

namespace {

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct Anchor {
    std::string prefix;
    OpenFolder folder;
};

Anchor& anchor()
{
    static Anchor instance;
    return instance;
}

// The name of the object a handle holds (the volume's device and the path on
// it), whatever its length; empty when it cannot be had.
std::wstring objectNameOf(HANDLE handle)
{
    std::vector<char> buffer(4096);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS result = NtQueryObject(handle, ObjectNameInformation, buffer.data(), ULONG(buffer.size()), &needed);
        if (result >= 0) {
            const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
            return std::wstring(name->Buffer, name->Length / 2);
        }
        if (needed <= buffer.size())
            return {};
        buffer.resize(needed);
    }
}

// Where an open folder lies, as a path its entries can be listed by; empty when
// the system cannot say (Wine cannot past MAX_PATH).
std::wstring finalPathOf(HANDLE handle)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(handle, path.data(), DWORD(path.size()), FILE_NAME_NORMALIZED);
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n);
    }
}

std::wstring joined(const std::wstring& folder, std::wstring_view name)
{
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\')
        path.push_back(L'\\');
    return path.append(name);
}

bool samePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.data(), int(a.size()), b.data(), int(b.size()), TRUE) == CSTR_EQUAL;
}

// True when the object named `objectName` is `name` in `parent`. Wine gives the
// trailing blanks and dots of an object's own name away, as the 8-bit calls do;
// the object still lies right in `parent`, under a name that differs from its
// own in nothing else.
bool liesAt(const std::wstring& objectName, const OpenFolder& parent, std::wstring_view name)
{
    const std::wstring expected = joined(parent.objectName, name);
    if (samePath(objectName, expected))
        return true;
    const std::size_t kept = expected.find_last_not_of(L". ");
    return kept >= expected.size() - name.size() && samePath(objectName, expected.substr(0, kept + 1));
}

// Opens `name` in `parent` itself, never through a reparse point at its end: a
// name can only be one entry, never a path.
Handle openRelative(const OpenFolder& parent, std::wstring_view name, ACCESS_MASK access, ULONG options)
{
    if (name.empty() || name.size() > 255 || name.find_first_of(L"\\/") != std::wstring_view::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return {};
    }
    UNICODE_STRING text{USHORT(name.size() * 2), USHORT(name.size() * 2), const_cast<PWSTR>(name.data())};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, parent.handle.get(), nullptr);
    IO_STATUS_BLOCK status{};
    HANDLE handle = nullptr;
    const NTSTATUS result =
        NtCreateFile(&handle, access | SYNCHRONIZE, &attributes, &status, nullptr, 0, kShareAll, FILE_OPEN,
                     options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (result < 0)
        SetLastError(RtlNtStatusToDosError(result));
    return Handle(result >= 0 ? handle : nullptr);
}

// The file-system object `name` of `parent` opened, if it really lies there under
// that name: a Unix symbolic link under Wine is followed whatever the call asks,
// and then lies elsewhere.
Handle openEntry(const OpenFolder& parent, std::wstring_view name, ACCESS_MASK access, ULONG options,
                 BY_HANDLE_FILE_INFORMATION& info, bool& elsewhere)
{
    elsewhere = false;
    Handle entry = openRelative(parent, name, access | FILE_READ_ATTRIBUTES, options);
    if (!entry.valid() || !GetFileInformationByHandle(entry.get(), &info)) {
        const DWORD error = GetLastError();
        entry = Handle();
        SetLastError(error);
        return {};
    }
    elsewhere = !liesAt(objectNameOf(entry.get()), parent, name);
    return elsewhere ? Handle() : std::move(entry);
}

}  // namespace

std::wstring longForm(const std::string& path)
{
    const std::wstring named = wide(path);
    const DWORD size = GetFullPathNameW(named.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    full.resize(size ? GetFullPathNameW(named.c_str(), size, full.data(), nullptr) : 0);
    if (full.starts_with(LR"(\\?\)") || full.starts_with(LR"(\\.\)"))
        return full;
    if (full.starts_with(LR"(\\)"))
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

Handle::Handle(void* handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}

Handle& Handle::operator=(Handle&& other) noexcept
{
    if (this != &other) {
        if (handle_)
            CloseHandle(handle_);
        handle_ = other.release();
    }
    return *this;
}

Handle::~Handle()
{
    if (handle_)
        CloseHandle(handle_);
}

void* Handle::release()
{
    void* handle = handle_;
    handle_ = nullptr;
    return handle;
}

std::string narrow(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()), nullptr, 0, "?",
                                      nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()), out.data(), n, "?", nullptr);
    return out;
}

OpenFolder openNamedFolder(const std::string& path, std::string* why)
{
    OpenFolder folder;
    folder.handle = Handle(CreateFileW(longForm(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareAll,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    DWORD error = GetLastError();
    if (folder.valid() && GetFileInformationByHandle(folder.handle.get(), &info)) {
        folder.path = finalPathOf(folder.handle.get());
        if (folder.path.empty())
            folder.path = longForm(path);
        folder.objectName = objectNameOf(folder.handle.get());
        if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            error = ERROR_DIRECTORY;
        else if (folder.objectName.empty())
            error = ERROR_INVALID_HANDLE;
        else
            return folder;
    }
    if (why)
        *why = ErrorText(error);
    SetLastError(error);
    return {};
}

OpenFolder openChild(const OpenFolder& parent, std::wstring_view name, bool* elsewhere)
{
    BY_HANDLE_FILE_INFORMATION info;
    bool away = false;
    OpenFolder child;
    child.handle = openEntry(parent, name, FILE_LIST_DIRECTORY, FILE_DIRECTORY_FILE, info, away);
    if (child.valid() && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        away = true;
        child.handle = Handle();
    }
    if (elsewhere)
        *elsewhere = away;
    // Reached through no folder of its own, the path names nothing below `parent`.
    if (away)
        SetLastError(ERROR_DIRECTORY);
    // Named as it lies, not as Wine reports it: Wine trims only a last name.
    if (child.valid()) {
        child.path = joined(parent.path, name);
        child.objectName = joined(parent.objectName, name);
    }
    return child;
}

OpenFolder copyOf(const OpenFolder& folder)
{
    HANDLE copy = nullptr;
    const HANDLE self = GetCurrentProcess();
    if (!folder.valid() || !DuplicateHandle(self, folder.handle.get(), self, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return {};
    return {Handle(copy), folder.path, folder.objectName};
}

bool provesGone(unsigned long error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
        return true;
    default:
        return false;
    }
}

bool entryExists(FolderRef folder, const std::string& folderPath, const char* name)
{
    if (folder == kByPath)
        return PathCursor().exists(folderPath + name);
    BY_HANDLE_FILE_INFORMATION info;
    bool elsewhere = false;
    const Handle entry = openEntry(*folder, wide(name), 0, 0, info, elsewhere);
    // A link that leads elsewhere is still an entry of its own here.
    if (elsewhere)
        return true;
    if (!entry.valid())
        return !provesGone(GetLastError());
    return !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool removeEntry(FolderRef folder, const std::string& folderPath, const char* name)
{
    if (folder == kByPath)
        return PathCursor().remove(folderPath + name);
    BY_HANDLE_FILE_INFORMATION info;
    bool elsewhere = false;
    // What leads elsewhere is left alone: Wine would delete the target of a Unix link.
    const Handle entry = openEntry(*folder, wide(name), DELETE, FILE_NON_DIRECTORY_FILE, info, elsewhere);
    FILE_DISPOSITION_INFO dispose{TRUE};
    return entry.valid() && SetFileInformationByHandle(entry.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

bool takeEntry(FolderRef folder, const std::string& folderPath, const char* name, const quarantine::Origin& origin)
{
    if (folder == kByPath)
        return PathCursor().take(folderPath + name, origin);
    BY_HANDLE_FILE_INFORMATION info;
    bool elsewhere = false;
    // What leads elsewhere is left alone, as a deletion leaves it.
    const Handle entry =
        openEntry(*folder, wide(name), DELETE | READ_CONTROL | WRITE_DAC, FILE_NON_DIRECTORY_FILE, info, elsewhere);
    return entry.valid() && quarantine::Take({entry.get()}, folderPath + name, origin);
}

void setAnchor(std::string prefix, OpenFolder start)
{
    anchor().prefix = std::move(prefix);
    anchor().folder = std::move(start);
}

const OpenFolder* PathCursor::parentOf(const std::string& path, std::string& leaf)
{
    const auto lastSep = path.find_last_of(kPathSeparator);
    if (lastSep == std::string::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    leaf = path.substr(lastSep + 1);
    const std::string folderPath = path.substr(0, lastSep + 1);
    if (folder_.valid() && folderPath == folderPath_)
        return &folder_;
    folderPath_ = folderPath;
    const Anchor& a = anchor();
    if (!a.folder.valid() || a.prefix.empty() || !folderPath.starts_with(a.prefix)) {
        folder_ = openNamedFolder(folderPath);
        return folder_.valid() ? &folder_ : nullptr;
    }
    folder_ = copyOf(a.folder);
    std::string_view rest = std::string_view(folderPath).substr(a.prefix.size());
    while (folder_.valid() && !rest.empty()) {
        const std::string_view name = rest.substr(0, rest.find(kPathSeparator));
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
        // No path the walk makes has these; they could only climb out of the tree.
        if (name.empty() || name == "." || name == "..") {
            folder_ = OpenFolder();
            SetLastError(ERROR_INVALID_NAME);
        } else
            folder_ = openChild(folder_, wide(name));
    }
    return folder_.valid() ? &folder_ : nullptr;
}

bool PathCursor::exists(const std::string& path)
{
    const OpenFolder* parent = parentOf(path, leaf_);
    return parent ? entryExists(parent, {}, leaf_.c_str()) : !provesGone(GetLastError());
}

bool PathCursor::remove(const std::string& path)
{
    const OpenFolder* parent = parentOf(path, leaf_);
    return parent && removeEntry(parent, {}, leaf_.c_str());
}

bool PathCursor::take(const std::string& path, const quarantine::Origin& origin)
{
    const OpenFolder* parent = parentOf(path, leaf_);
    return parent && takeEntry(parent, path.substr(0, path.size() - leaf_.size()), leaf_.c_str(), origin);
}

}  // namespace ombrix::folder
