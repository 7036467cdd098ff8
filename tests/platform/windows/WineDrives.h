#pragma once

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace ombrix::test {

// Drive letters of a test's own under Wine, each mapped to a fresh folder
// below D:, the temporary folder wine-run gives the prefix
// ($OMBRIX_WINE_DRIVES/d), and removed again when the object goes. Wine's
// mount manager makes them, as its configuration tool does: a link in the
// prefix's dosdevices and the drive's type.
class WineDrives {
public:
    WineDrives()
    {
        char drives[MAX_PATH + 1] = "";
        if (!GetEnvironmentVariableA("OMBRIX_WINE_DRIVES", drives, sizeof drives))
            return;
        unixBase_ = std::string(drives) + "/d/" + name_;
        CreateDirectoryA(("D:\\" + name_).c_str(), nullptr);
    }
    ~WineDrives()
    {
        for (const char letter : letters_)
            define(letter, DRIVE_NO_ROOT_DIR, "");
        std::error_code ignored;
        std::filesystem::remove_all("D:\\" + name_, ignored);
    }
    WineDrives(const WineDrives&) = delete;
    WineDrives& operator=(const WineDrives&) = delete;

    // False when the program does not run in wine-run's prefix.
    bool usable() const { return !unixBase_.empty(); }

    // Maps `letter` to a folder of its own with the drive type `type`.
    bool add(char letter, UINT type)
    {
        const std::string folder(1, letter);
        CreateDirectoryA(("D:\\" + name_ + '\\' + folder).c_str(), nullptr);
        letters_.push_back(letter);
        return define(letter, type, unixBase_ + '/' + folder);
    }

private:
    // Wine's own request to its mount manager; `type` 1 (no root folder) removes the drive.
    struct UnixDrive {
        ULONG size;
        ULONG type;
        ULONG fsType;
        DWORD serial;
        ULONGLONG unixDevice;
        WCHAR letter;
        USHORT mountPointOffset;
        USHORT deviceOffset;
        USHORT labelOffset;
    };

    static bool define(char letter, UINT type, const std::string& unixFolder)
    {
        std::vector<char> request(sizeof(UnixDrive) + unixFolder.size() + 1, '\0');
        auto* drive = reinterpret_cast<UnixDrive*>(request.data());
        drive->size = static_cast<ULONG>(request.size());
        drive->type = type;
        drive->letter = static_cast<WCHAR>(letter);
        if (!unixFolder.empty()) {
            drive->mountPointOffset = sizeof(UnixDrive);
            std::memcpy(request.data() + sizeof(UnixDrive), unixFolder.c_str(), unixFolder.size());
        }
        HANDLE manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE)
            return false;
        constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        DWORD returned = 0;
        const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                        nullptr, 0, &returned, nullptr);
        CloseHandle(manager);
        return ok;
    }

    const std::string name_ = "ombrix-drives-" + std::to_string(GetCurrentProcessId());
    std::string unixBase_;
    std::vector<char> letters_;
};

}  // namespace ombrix::test
