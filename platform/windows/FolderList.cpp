#include "FolderList.h"

#include <windows.h>

#include <algorithm>

#include "Paths.h"

namespace ombrix {

namespace {

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Ignoring ASCII case, as the file system itself compares names.
bool byName(const std::string& a, const std::string& b)
{
    const auto lower = [](char x, char y) { return asciiLower(x) < asciiLower(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lower))
        return true;
    return !std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lower) && a < b;
}

// A junction, a mount point or a symbolic link names another folder, maybe on
// another drive or above itself (a profile's "Application Data" loops back
// into its parent): the tree would descend blindly into elsewhere. The
// system's own other reparse points (a cloud drive's folders) hold their own
// content and stay; a tag that is not the system's (Wine gives none) could be
// anything and goes.
bool namesAnotherFolder(const WIN32_FIND_DATAA& entry)
{
    const DWORD tag = entry.dwReserved0;
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (IsReparseTagNameSurrogate(tag) || !IsReparseTagMicrosoft(tag));
}

bool isListedFolder(const WIN32_FIND_DATAA& entry)
{
    const std::string_view name = entry.cFileName;
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) &&
           name != "." && name != ".." && !namesAnotherFolder(entry);
}

}  // namespace

std::vector<std::string> ListSubfolders(const std::string& folder)
{
    const std::string prefix = folder.ends_with(kPathSeparator) ? folder : folder + kPathSeparator;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((prefix + "*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return {};
    std::vector<std::string> names;
    do {
        if (isListedFolder(entry))
            names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end(), byName);

    for (std::string& name : names)
        name.insert(0, prefix);
    return names;
}

}  // namespace ombrix
