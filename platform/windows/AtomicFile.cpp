#include "AtomicFile.h"

#include <windows.h>

#include "ErrorText.h"
#include "WideText.h"

namespace ombrix {

std::string WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    const std::wstring target = wide(path);
    const std::wstring staged = target + L".part";
    const HANDLE file = CreateFileW(staged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ErrorText(GetLastError());
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size() &&
              FlushFileBuffers(file);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (ok && !MoveFileExW(staged.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = GetLastError();
    }
    if (ok)
        return {};
    DeleteFileW(staged.c_str());
    return ErrorText(error);
}

}  // namespace ombrix
