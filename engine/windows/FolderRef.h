#pragma once

namespace ombrix::folder {

struct OpenFolder;

// The folder the walk is listing, as it holds it open; null to reach it by its path.
using FolderRef = const OpenFolder*;
inline constexpr FolderRef kByPath = nullptr;

}  // namespace ombrix::folder
