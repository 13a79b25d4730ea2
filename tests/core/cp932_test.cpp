// CP932 conversion at the file boundary.
#include "platform/cp932.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace quillane {
namespace {

std::string encode(std::string_view utf8) {
  std::string out;
  UnencodableCharacter bad;
  EXPECT_TRUE(encodeCp932(utf8, out, bad)) << bad.describe();
  return out;
}

TEST(Cp932, KeepsBackslashAndTildeAndJapanese) {
  EXPECT_EQ(encode("C:\\a~b"), "C:\\a~b");
  EXPECT_EQ(encode("表示"), "\x95\x5C\x8E\xA6");
  EXPECT_EQ(encode("～"), "\x81\x60");  // U+FF5E, as in "100～900"
  EXPECT_EQ(encode("　"), "\x81\x40");  // the ideographic space of the cursor labels
  std::string back;
  std::size_t bad = 0;
  ASSERT_TRUE(decodeCp932("\x95\x5C\x81\x60\x5C", back, bad));
  EXPECT_EQ(back, "表～\\");
}

TEST(Cp932, ReportsTheFirstCharacterItCannotHold) {
  std::string out;
  UnencodableCharacter bad;
  ASSERT_FALSE(encodeCp932("ok\r\nあい😀x", out, bad));
  EXPECT_EQ(bad.codePoint, U'😀');
  EXPECT_EQ(bad.line, 2);
  EXPECT_EQ(bad.column, 3);
  EXPECT_EQ(bad.describe(), "「😀」(U+1F600) は保存できない文字です（2行目、3文字目）。");
}

TEST(Utf8, StrayOrCutSequencesAreNotUtf8) {
  for (const char* good : {"", "abc", "日本", "\xEF\xBF\xBD", "😀"}) EXPECT_TRUE(isValidUtf8(good)) << good;
  for (const char* bad : {"\x80", "a\x80\x80", "\xE6\x97", "\xE6\x97x", "\xFF"}) EXPECT_FALSE(isValidUtf8(bad)) << bad;
}

TEST(Cp932, RefusesBytesThatAreNotCp932) {
  std::string out;
  std::size_t bad = 0;
  EXPECT_FALSE(decodeCp932("abc\x81", out, bad));  // a lead byte cut short
  EXPECT_EQ(bad, 3u);
}

}  // namespace
}  // namespace quillane
