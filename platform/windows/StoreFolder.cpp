#include "StoreFolder.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "ErrorText.h"
#include "QuarantineFolders.h"
#include "QuarantineRecord.h"
#include "Sha256.h"
#include "UserSid.h"
#include "WideText.h"

namespace ombrix::quarantine {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// 100-nanosecond ticks from 1601 to 1970.
constexpr std::int64_t kEpochTicks = 116444736000000000;

std::string narrowOf(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring longForm(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    full.resize(size ? GetFullPathNameW(path.c_str(), size, full.data(), nullptr) : 0);
    if (full.starts_with(LR"(\\?\)"))
        return full;
    if (full.starts_with(LR"(\\)"))
        return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

std::string storeName()
{
    return ".ombrix-quarantine-" + UserSid();
}

std::int64_t nanoseconds(FILETIME time)
{
    const std::int64_t ticks = std::int64_t(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart);
    return (ticks - kEpochTicks) * 100;
}

FILETIME fileTime(std::int64_t nanoseconds)
{
    ULARGE_INTEGER ticks;
    ticks.QuadPart = ULONGLONG(nanoseconds / 100 + kEpochTicks);
    return {ticks.LowPart, ticks.HighPart};
}

// A folder open to its user alone, made so when missing; only a real folder
// (no reparse point) owned by the user is used.
std::optional<StoreFolder> openPrivateFolder(const std::wstring& path, bool create, bool ownFileSystem)
{
    if (create) {
        const std::wstring sddl = L"D:P(A;OICI;FA;;;" + wide(UserSid()) + L")";
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
            return std::nullopt;
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
        const BOOL made = CreateDirectoryW(longForm(path).c_str(), &attributes);
        const DWORD error = GetLastError();
        LocalFree(descriptor);
        if (!made && error != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    HANDLE folder = CreateFileW(longForm(path).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL,
                                kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    char* ownerText = nullptr;
    bool mine = GetFileInformationByHandle(folder, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (mine && GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                nullptr, &descriptor) == ERROR_SUCCESS) {
        mine = ConvertSidToStringSidA(owner, &ownerText) && UserSid() == ownerText;
        LocalFree(ownerText);
        LocalFree(descriptor);
    }
    if (!mine) {
        CloseHandle(folder);
        return std::nullopt;
    }
    return StoreFolder(reinterpret_cast<std::intptr_t>(folder), narrowOf(path), ownFileSystem);
}

// The store folders' locks: a lock file in each, locked while a caller holds it.
struct Locks {
    std::mutex guard;
    std::map<std::intptr_t, HANDLE> held;
};

Locks& locks()
{
    static Locks instance;
    return instance;
}

// The known folders, for the walk.
struct Known {
    std::mutex guard;
    std::set<std::pair<std::uint64_t, std::uint64_t>> folders;
    bool looked = false;
};

Known& known()
{
    static Known instance;
    return instance;
}

void noteFolder(const StoreFolder& store)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(store.handle()), &info))
        return;
    const std::lock_guard lock(known().guard);
    known().folders.insert({info.dwVolumeSerialNumber, std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow});
}

Result failed(const std::string& target, DWORD error)
{
    return {Outcome::Failed, target, ErrorText(error)};
}

// True when `folder` is there, made with the folders above it where missing
// when asked.
bool folderReady(const std::wstring& folder, bool makeParents)
{
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return attributes & FILE_ATTRIBUTE_DIRECTORY;
    if (!makeParents)
        return false;
    const std::size_t cut = folder.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < 7 || !folderReady(folder.substr(0, cut), true))
        return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

std::wstring ChildPath(const StoreFolder& store, const std::string& name)
{
    return longForm(wide(store.path()) + L"\\" + wide(name));
}

std::optional<StoreFolder> VolumeStore(const std::wstring& root, bool create)
{
    std::optional<StoreFolder> store = openPrivateFolder(root + wide(storeName()), create, true);
    if (store)
        noteFolder(*store);
    return store;
}

std::optional<StoreFolder> HomeStore(bool create)
{
    const char* local = std::getenv("LOCALAPPDATA");
    if (!local || !*local)
        return std::nullopt;
    const std::wstring ombrix = wide(local) + L"\\Ombrix";
    if (create)
        CreateDirectoryW(longForm(ombrix).c_str(), nullptr);
    std::optional<StoreFolder> store = openPrivateFolder(ombrix + L"\\Quarantine", create, false);
    if (store)
        noteFolder(*store);
    return store;
}

bool IsQuarantineFolder(const FolderIdentity& id)
{
    {
        const std::lock_guard lock(known().guard);
        if (known().looked)
            return known().folders.contains({id.volume, id.file});
        known().looked = true;
    }
    StoreFolder::All();  // notes every one it finds
    const std::lock_guard lock(known().guard);
    return known().folders.contains({id.volume, id.file});
}

Entry FactsOf(HANDLE file, bool digest)
{
    Entry e;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info))
        return e;
    e.size = std::uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    e.mode = info.dwFileAttributes;
    e.times = {nanoseconds(info.ftLastWriteTime), nanoseconds(info.ftLastAccessTime), nanoseconds(info.ftCreationTime)};
    PSID owner = nullptr;
    PSID group = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION, &owner, &group,
                        nullptr, nullptr, &descriptor) == ERROR_SUCCESS) {
        char* text = nullptr;
        if (owner && ConvertSidToStringSidA(owner, &text))
            e.owner = text;
        LocalFree(text);
        text = nullptr;
        if (group && ConvertSidToStringSidA(group, &text))
            e.group = text;
        LocalFree(text);
        LocalFree(descriptor);
    }
    if (!digest)
        return e;
    HANDLE reader = ReOpenFile(file, GENERIC_READ, kShareAll, FILE_FLAG_SEQUENTIAL_SCAN);
    if (reader == INVALID_HANDLE_VALUE)
        return e;
    Sha256 sum;
    std::vector<char> buffer(65536);
    DWORD n = 0;
    bool read = true;
    while ((read = ReadFile(reader, buffer.data(), DWORD(buffer.size()), &n, nullptr)) && n > 0)
        sum.feed(std::string_view(buffer.data(), n));
    CloseHandle(reader);
    if (read)
        e.sha256 = sum.hex();
    return e;
}

std::int64_t NowNanoseconds()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return nanoseconds(now);
}

bool WriteAll(HANDLE file, const std::string& text)
{
    DWORD written = 0;
    return WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr) && written == text.size();
}

bool SealFile(HANDLE file)
{
    const std::wstring sddl = L"D:P(A;;0x1f0180;;;" + wide(UserSid()) + L")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL acl = nullptr;
    const bool sealed = GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) &&
                        SetSecurityInfo(file, SE_FILE_OBJECT,
                                        DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                        nullptr, acl, nullptr) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return sealed;
}

bool UnsealFile(const std::wstring& path)
{
    ACL empty;
    if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION))
        return false;
    std::wstring name = path;
    return SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                 DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 &empty, nullptr) == ERROR_SUCCESS;
}

std::vector<StoreFolder> StoreFolder::All()
{
    std::vector<StoreFolder> stores;
    if (std::optional<StoreFolder> home = HomeStore(false))
        stores.push_back(std::move(*home));
    std::vector<wchar_t> roots(GetLogicalDriveStringsW(0, nullptr) + 1);
    GetLogicalDriveStringsW(DWORD(roots.size()), roots.data());
    for (const wchar_t* root = roots.data(); *root; root += wcslen(root) + 1) {
        const UINT type = GetDriveTypeW(root);
        if (type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_REMOTE || type == DRIVE_RAMDISK)
            if (std::optional<StoreFolder> store = VolumeStore(root, false))
                stores.push_back(std::move(*store));
    }
    return stores;
}

StoreFolder::StoreFolder(std::intptr_t handle, std::string path, bool ownFileSystem)
    : handle_(handle), path_(std::move(path)), ownFileSystem_(ownFileSystem)
{
}

StoreFolder::StoreFolder(StoreFolder&& other) noexcept
    : handle_(std::exchange(other.handle_, 0)), path_(std::move(other.path_)), ownFileSystem_(other.ownFileSystem_)
{
}

StoreFolder& StoreFolder::operator=(StoreFolder&& other) noexcept
{
    if (this != &other) {
        if (handle_)
            CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = std::exchange(other.handle_, 0);
        path_ = std::move(other.path_);
        ownFileSystem_ = other.ownFileSystem_;
    }
    return *this;
}

StoreFolder::~StoreFolder()
{
    if (handle_)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool StoreFolder::lock() const
{
    HANDLE file = CreateFileW(ChildPath(*this, ".lock").c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    OVERLAPPED whole{};
    if (file == INVALID_HANDLE_VALUE || !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole)) {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return false;
    }
    const std::lock_guard guard(locks().guard);
    locks().held[handle_] = file;
    return true;
}

void StoreFolder::unlock() const
{
    const std::lock_guard guard(locks().guard);
    const auto found = locks().held.find(handle_);
    if (found == locks().held.end())
        return;
    CloseHandle(found->second);
    locks().held.erase(found);
}

std::vector<std::string> StoreFolder::names() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(ChildPath(*this, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (found.cFileName[0] != L'.')
            names.push_back(narrowOf(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::optional<std::string> StoreFolder::read(const std::string& name) const
{
    HANDLE file = CreateFileW(ChildPath(*this, name).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    bool read = true;
    while ((read = ReadFile(file, buffer, sizeof buffer, &n, nullptr)) && n > 0)
        text.append(buffer, n);
    CloseHandle(file);
    return read ? std::optional(text) : std::nullopt;
}

bool StoreFolder::holds(const std::string& name) const
{
    return GetFileAttributesW(ChildPath(*this, name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool StoreFolder::remove(const std::string& name) const
{
    const std::wstring path = ChildPath(*this, name);
    if (DeleteFileW(path.c_str()))
        return true;
    // A sealed file may only be deleted once it is open to its user again.
    return UnsealFile(path) && DeleteFileW(path.c_str());
}

std::optional<Entry> StoreFolder::describe(const std::string& name) const
{
    HANDLE file = CreateFileW(ChildPath(*this, name).c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const Entry facts = FactsOf(file, true);
    CloseHandle(file);
    return facts;
}

bool StoreFolder::append(const std::string& name, const std::string& text) const
{
    HANDLE file = CreateFileW(ChildPath(*this, name).c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool written = WriteAll(file, text);
    CloseHandle(file);
    return written;
}

void StoreFolder::seal(const std::string& name) const
{
    HANDLE file = CreateFileW(ChildPath(*this, name).c_str(), WRITE_DAC | READ_CONTROL, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    SealFile(file);
    CloseHandle(file);
}

Result StoreFolder::putBack(const Entry& entry, const std::string& target, bool makeParents) const
{
    const std::wstring to = longForm(wide(target));
    const std::size_t cut = to.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut + 1 == to.size())
        return failed(target, ERROR_INVALID_NAME);
    if (!folderReady(to.substr(0, cut), makeParents))
        return {Outcome::NoParent, target, ErrorText(ERROR_PATH_NOT_FOUND)};
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES)
        return {Outcome::PathTaken, target, ErrorText(ERROR_FILE_EXISTS)};
    const std::wstring held = ChildPath(*this, HeldName(entry.id));
    UnsealFile(held);
    // Moved whole on its own volume, copied to another one; never over what stands there.
    if (!MoveFileExW(held.c_str(), to.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        seal(HeldName(entry.id));
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            return {Outcome::PathTaken, target, ErrorText(error)};
        return failed(target, error);
    }
    UnsealFile(to);
    HANDLE file = CreateFileW(to.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const FILETIME created = fileTime(entry.times.changed);
        const FILETIME accessed = fileTime(entry.times.accessed);
        const FILETIME modified = fileTime(entry.times.modified);
        SetFileTime(file, &created, &accessed, &modified);
        CloseHandle(file);
    }
    SetFileAttributesW(to.c_str(), entry.mode & ~DWORD(FILE_ATTRIBUTE_DIRECTORY));
    return {Outcome::Done, target, {}};
}

}  // namespace ombrix::quarantine
