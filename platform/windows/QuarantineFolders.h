#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "Quarantine.h"
#include "StoreFolder.h"

// How Windows finds and makes the quarantine folders: one at the root of each
// volume files were taken from, open to the user alone, and the user's own
// under %LOCALAPPDATA% for copies from volumes where none can be had.
namespace ombrix::quarantine {

// This user's folder on the volume whose root is `root` ("D:\"), made when missing.
std::optional<StoreFolder> VolumeStore(const std::wstring& root, bool create);
// %LOCALAPPDATA%\Ombrix\Quarantine, made when missing and `create` is set.
std::optional<StoreFolder> HomeStore(bool create);

// A store's child `name` in the `\\?\` form the wide calls take.
std::wstring ChildPath(const StoreFolder& store, const std::string& name);

// The facts of an open file, in a record's terms, its digest included when `digest`.
Entry FactsOf(HANDLE file, bool digest);
std::int64_t NowNanoseconds();
bool WriteAll(HANDLE file, const std::string& text);

// Gives a held file a protected access list that lets only its user move,
// delete or look at it, never read or run it; or takes that list away again,
// so it inherits from where it lies.
bool SealFile(HANDLE file);
bool UnsealFile(const std::wstring& path);

}  // namespace ombrix::quarantine
