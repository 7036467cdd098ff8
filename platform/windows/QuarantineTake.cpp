#include <windows.h>

#include <memory>
#include <mutex>
#include <random>
#include <utility>
#include <vector>

#include "Quarantine.h"
#include "QuarantineFolders.h"
#include "QuarantineRecord.h"
#include "Sha256.h"
#include "StoreCache.h"
#include "WideText.h"

namespace ombrix::quarantine {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct HandleGuard {
    HANDLE handle;
    ~HandleGuard()
    {
        if (handle != INVALID_HANDLE_VALUE && handle)
            CloseHandle(handle);
    }
};

std::uint64_t randomNumber()
{
    static std::mutex guard;
    static std::mt19937_64 generator{std::random_device{}() ^ std::uint64_t(NowNanoseconds())};
    const std::lock_guard lock(guard);
    return generator();
}

// The root of the volume that holds `path` ("D:\"); empty when it cannot be told.
std::wstring volumeRootOf(const std::string& path)
{
    const std::wstring named = wide(path);
    std::wstring root(named.size() + 2, L'\0');
    if (!GetVolumePathNameW(named.c_str(), root.data(), DWORD(root.size())))
        return {};
    root.resize(wcslen(root.c_str()));
    return root;
}

StoreCache<std::wstring>& volumeStores()
{
    static StoreCache<std::wstring> instance;
    return instance;
}

std::shared_ptr<StoreFolder> storeFor(const std::string& path)
{
    const std::wstring root = volumeRootOf(path);
    if (root.empty())
        return nullptr;
    return volumeStores().forKey(root, [&] { return VolumeStore(root, true); });
}

std::shared_ptr<StoreFolder> homeStore()
{
    return volumeStores().home([] { return HomeStore(true); });
}

// A record file made new under a fresh id, its start written and on disk.
HANDLE startRecord(const StoreFolder& store, Entry& entry)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        entry.id = NewId(entry.takenAt, randomNumber());
        HANDLE record = CreateFileW(ChildPath(store, RecordName(entry.id)).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (record == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
            continue;
        if (record != INVALID_HANDLE_VALUE && WriteAll(record, RecordStart(entry)) && FlushFileBuffers(record))
            return record;
        if (record != INVALID_HANDLE_VALUE) {
            CloseHandle(record);
            store.remove(RecordName(entry.id));
        }
        return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

// The open file renamed into the folder on its own volume: at its path or held,
// whenever this stops.
bool takeByRename(const StoreFolder& store, HANDLE file, Entry& entry, DWORD& error)
{
    const StoreLock lock(store);
    const HandleGuard record{startRecord(store, entry)};
    if (record.handle == INVALID_HANDLE_VALUE) {
        error = ERROR_WRITE_FAULT;
        return false;
    }
    const std::wstring name = ChildPath(store, HeldName(entry.id));
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = DWORD(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    if (!SetFileInformationByHandle(file, FileRenameInfo, rename, DWORD(buffer.size()))) {
        error = GetLastError();
        store.remove(RecordName(entry.id));
        return false;
    }
    WriteAll(record.handle, RecordEnd(FactsOf(file, true)));
    SealFile(file);
    return true;
}

// Where the volume has no folder for it: a copy, on disk and recorded before
// the original is deleted.
bool takeByCopy(const StoreFolder& store, HANDLE file, Entry& entry)
{
    const StoreLock lock(store);
    const std::wstring part = ChildPath(store, PartName(NewId(entry.takenAt, randomNumber())));
    const HandleGuard reader{ReOpenFile(file, GENERIC_READ, kShareAll, FILE_FLAG_SEQUENTIAL_SCAN)};
    HandleGuard out{CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (reader.handle == INVALID_HANDLE_VALUE || out.handle == INVALID_HANDLE_VALUE)
        return false;
    Sha256 digest;
    std::vector<char> buffer(65536);
    DWORD n = 0;
    bool copied = true;
    while (copied && (copied = ReadFile(reader.handle, buffer.data(), DWORD(buffer.size()), &n, nullptr)) && n > 0) {
        copied = WriteAll(out.handle, std::string(buffer.data(), n));
        digest.feed(std::string_view(buffer.data(), n));
    }
    copied = copied && FlushFileBuffers(out.handle);
    Entry held = entry;
    held.sha256 = digest.hex();
    const HandleGuard record{copied ? startRecord(store, entry) : INVALID_HANDLE_VALUE};
    const bool recorded = record.handle != INVALID_HANDLE_VALUE && WriteAll(record.handle, RecordEnd(held)) &&
                          FlushFileBuffers(record.handle);
    CloseHandle(std::exchange(out.handle, INVALID_HANDLE_VALUE));
    const std::wstring heldPath = ChildPath(store, HeldName(entry.id));
    if (!recorded || !MoveFileExW(part.c_str(), heldPath.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(part.c_str());
        if (recorded)
            store.remove(RecordName(entry.id));
        return false;
    }
    store.seal(HeldName(entry.id));
    FILE_DISPOSITION_INFO dispose{TRUE};
    if (SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose))
        return true;
    store.remove(HeldName(entry.id));
    store.remove(RecordName(entry.id));
    return false;
}

}  // namespace

bool Take(const Source& source, const std::string& path, const Origin& origin)
{
    HANDLE file = static_cast<HANDLE>(source.file);
    BY_HANDLE_FILE_INFORMATION info;
    // A read-only file could be moved but not deleted: it stays, as a deletion leaves it.
    if (!GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)))
        return false;
    Entry entry = FactsOf(file, false);
    // A scan of a folder named relative to where it ran restores to the same place from anywhere.
    std::string full(MAX_PATH, '\0');
    full.resize(GetFullPathNameA(path.c_str(), DWORD(full.size()), full.data(), nullptr));
    entry.originalPath = full.empty() || full.size() >= MAX_PATH ? path : full;
    entry.threat = origin.threat;
    entry.listVersion = origin.listVersion;
    entry.road = origin.road;
    entry.program = origin.program;
    entry.takenAt = NowNanoseconds();

    DWORD error = ERROR_NOT_SAME_DEVICE;
    if (const std::shared_ptr<StoreFolder> store = storeFor(path))
        if (takeByRename(*store, file, entry, error))
            return true;
    if (error != ERROR_NOT_SAME_DEVICE && error != ERROR_WRITE_FAULT)
        return false;
    const std::shared_ptr<StoreFolder> home = homeStore();
    return home && takeByCopy(*home, file, entry);
}

}  // namespace ombrix::quarantine
