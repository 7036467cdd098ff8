#include "FolderList.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "Paths.h"

namespace ombrix {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool isFolder(int dirFd, const dirent& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat info {};
    return ::fstatat(dirFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> ListSubfolders(const std::string& folder)
{
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return {};
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] != '.' && isFolder(::dirfd(dir.get()), *entry))
            names.emplace_back(entry->d_name);
    }
    std::sort(names.begin(), names.end());

    const std::string prefix = folder.ends_with(kPathSeparator) ? folder : folder + kPathSeparator;
    for (std::string& name : names)
        name.insert(0, prefix);
    return names;
}

}  // namespace ombrix
