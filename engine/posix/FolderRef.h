#pragma once

namespace ombrix::folder {

// The folder the walk is listing, as the descriptor it holds; -1 to reach it by its path.
using FolderRef = int;
inline constexpr FolderRef kByPath = -1;

}  // namespace ombrix::folder
