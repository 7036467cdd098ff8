#include "TempTree.h"

#include <windows.h>

#include <stdexcept>

#include "FolderAccess.h"

namespace ombrix::test {

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error(what + ": error " + std::to_string(GetLastError()));
}

// Removes everything below and at `path` (`\\?\` form). A reparse point is
// removed itself, never what it leads to.
void removeTree(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(path.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name != L"." && name != L"..")
                    removeTree(path + L"\\" + name);
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
    }
    RemoveDirectoryW(path.c_str());
}

}  // namespace

TempTree::TempTree()
{
    char base[MAX_PATH + 1];
    const DWORD n = GetTempPathA(sizeof base, base);
    check(n > 0 && n <= MAX_PATH, "GetTempPathA");
    const std::string stem = std::string(base, n) + "ombrix-test-" + std::to_string(GetCurrentProcessId()) + "-";
    for (unsigned attempt = GetTickCount();; ++attempt) {
        root_ = stem + std::to_string(attempt);
        if (CreateDirectoryA(root_.c_str(), nullptr))
            return;
        check(GetLastError() == ERROR_ALREADY_EXISTS, "CreateDirectoryA " + root_);
    }
}

TempTree::~TempTree()
{
    removeTree(folder::longForm(root_));
}

void TempTree::makeParents(std::string_view relative) const
{
    for (auto slash = relative.find('/'); slash != std::string_view::npos; slash = relative.find('/', slash + 1))
        CreateDirectoryW(folder::longForm(path(relative.substr(0, slash))).c_str(), nullptr);
}

void TempTree::dir(std::string_view relative) const
{
    makeParents(relative);
    check(CreateDirectoryW(folder::longForm(path(relative)).c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS,
          "CreateDirectoryW");
}

bool TempTree::exists(std::string_view relative) const
{
    return GetFileAttributesW(folder::longForm(path(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempTree::blockingFile() const
{
    return "NUL";
}

void writeFile(const std::string& path, std::string_view content)
{
    const HANDLE file = CreateFileW(folder::longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    check(file != INVALID_HANDLE_VALUE, "CreateFileW " + path);
    DWORD written = 0;
    const bool ok = WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    check(ok && written == content.size(), "WriteFile " + path);
}

}  // namespace ombrix::test
