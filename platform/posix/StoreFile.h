#pragma once

#include <cstdint>
#include <string>

// The settings store file as bytes on disk, looked at before SQLite opens it:
// nothing at the store path can make a call block, and a file that is not
// known to be a store is never given to SQLite in a way that could change it.
namespace ombrix::mRegistry {

// SQLite's application_id of every store this program makes ("Ombx").
inline constexpr std::uint32_t kApplicationId = 0x4F6D6278;

enum class StoreKind {
    Missing,   // nothing at the path
    Refused,   // anything that is no SQLite database or belongs to another program
    Empty,     // a regular file without a byte: a store that has no values yet
    Marked,    // an SQLite database that carries our application_id
    Unmarked,  // an SQLite database without any application_id, as earlier versions made the store
};

struct StoreFile {
    StoreKind kind = StoreKind::Missing;
    // The database keeps a write-ahead log, as earlier versions of the store did.
    bool walMode = false;
    // Why the file is refused, in words.
    std::string why;
};

// Reads the file's header without following a link and without opening
// anything but a regular file.
StoreFile InspectStoreFile(const std::string& path);

// Makes the missing folders above `path` (mode 0700) and an empty file at it
// (mode 0600) unless something is there already. Empty when that worked, else why not.
std::string CreateStoreFile(const std::string& path);

}  // namespace ombrix::mRegistry
