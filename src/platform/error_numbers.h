// The classic error numbers that messages show, from an errno value.
//
//   EACCES, EPERM, EROFS, EISDIR -> 75 (path/file access error)
//   ENOENT, ENOTDIR              -> 76 (path not found)
//   ENOSPC                       -> 61 (disk full)
//   ENAMETOOLONG                 -> 52 (bad file name)
//   anything else                -> 57
#pragma once

namespace quillane {

inline constexpr int kPathAccessError = 75;

int classicErrorNumber(int errnoValue);

}  // namespace quillane
