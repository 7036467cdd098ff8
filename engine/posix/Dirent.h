#pragma once

#include <dirent.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstddef>

namespace ombrix::folder {

// One record of a raw folder listing, as getdents64 lays it out.
struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];  // NUL-terminated, as long as the record allows
};

inline const LinuxDirent64& direntAt(const char* listing, std::size_t offset)
{
    return *reinterpret_cast<const LinuxDirent64*>(listing + offset);
}

// Appends the next records of the folder's listing to `buffer`; the bytes read,
// 0 at the end of the listing, negative on failure.
inline long readDirents(int fd, char* buffer, std::size_t room)
{
    return ::syscall(SYS_getdents64, fd, buffer, room);
}

}  // namespace ombrix::folder
