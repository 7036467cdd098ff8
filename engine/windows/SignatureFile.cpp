#include <windows.h>

#include <string>

#include "FolderAccess.h"
#include "Paths.h"
#include "SignatureLines.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

struct SignatureFileChoice {
    std::string path;
    bool chosen = false;
    folder::Handle opened;  // the file a front end opened ahead of the scans, when it did
};

SignatureFileChoice& choice()
{
    static SignatureFileChoice instance;
    return instance;
}

// A read error ends loading with the lines completed before it. Read by offset,
// so a file held open for several loads is read from its start each time.
void readLines(HANDLE file)
{
    char chunk[1 << 16];
    ULONGLONG offset = 0;
    SignatureLines lines;
    for (;;) {
        OVERLAPPED at{};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        DWORD n = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &n, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            return;
        }
        if (n == 0)
            break;
        offset += n;
        lines.feed(std::string_view(chunk, n));
    }
    lines.finish();
}

// Only a file on a disk is a list: a device, console or pipe in its place, which
// a read could wait on for ever, is refused before anything is read. `why` says
// why it is refused.
folder::Handle openListFile(const std::string& path, std::string& why)
{
    const std::wstring wide = folder::longForm(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        why = "Is a directory";
        return {};
    }
    folder::Handle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        why = folder::systemErrorText(GetLastError());
        return {};
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        why = "not a regular file";
        return {};
    }
    return file;
}

}  // namespace

void SetSignatureFile(std::string path)
{
    choice().path = std::move(path);
    choice().chosen = true;
    choice().opened = folder::Handle();
}

std::string OpenSignatureFile(const std::string& path)
{
    SetSignatureFile(path);
    std::string why;
    choice().opened = openListFile(path, why);
    return why;
}

const std::string& SignatureFile()
{
    SignatureFileChoice& c = choice();
    if (!c.chosen) {
        c.path = ProgramFolder() + kPathSeparator + "ombrix.ini";
        c.chosen = true;
    }
    return c.path;
}

void LoadSignatures()
{
    const SignatureFileChoice& c = choice();
    std::string why;
    const folder::Handle own = c.opened.valid() ? folder::Handle() : openListFile(SignatureFile(), why);
    const HANDLE file = c.opened.valid() ? c.opened.get() : own.get();
    LARGE_INTEGER size{};
    const bool sized = file && GetFileSizeEx(file, &size) && size.QuadPart > 0;
    ClearSignatures(sized ? std::size_t(size.QuadPart) : 0);
    if (file)
        readLines(file);
}

}  // namespace ombrix::mFileSearch
