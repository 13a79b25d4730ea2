#include "platform/error_numbers.h"

#include <cerrno>

namespace quillane {

int classicErrorNumber(int errnoValue) {
  switch (errnoValue) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kPathAccessError;
    case ENOENT:
    case ENOTDIR:
      return 76;
    case ENOSPC:
      return 61;
    case ENAMETOOLONG:
      return 52;
    default:
      return 57;
  }
}

}  // namespace quillane
