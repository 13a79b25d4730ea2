// The error-number table.
#include "platform/error_numbers.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace quillane {
namespace {

TEST(ErrorNumbers, KeepTheirClassicMeanings) {
  for (int e : {EACCES, EPERM, EROFS, EISDIR}) EXPECT_EQ(classicErrorNumber(e), 75);
  for (int e : {ENOENT, ENOTDIR}) EXPECT_EQ(classicErrorNumber(e), 76);
  EXPECT_EQ(classicErrorNumber(ENOSPC), 61);
  EXPECT_EQ(classicErrorNumber(ENAMETOOLONG), 52);
  EXPECT_EQ(classicErrorNumber(EIO), 57);
}

}  // namespace
}  // namespace quillane
