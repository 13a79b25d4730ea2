// Conversion between the UTF-8 held inside and the CP932 (Windows Japanese)
// bytes of every file the program reads or writes. glibc's "CP932" converter
// is used: it keeps 0x5C as the backslash and 0x8160 as U+FF5E.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillane {

// A character that CP932 cannot hold, and where it stands in the text
// (1-based line and column, counted in characters).
struct UnencodableCharacter {
  char32_t codePoint = 0;
  std::string character;  // the character itself, as UTF-8
  int line = 0;
  int column = 0;

  // 「€」(U+20AC) は保存できない文字です（3行目、5文字目）。
  std::string describe() const;
};

// UTF-8 to CP932. On failure `out` is unspecified and `error` says which
// character could not be converted; nothing is replaced by "?".
bool encodeCp932(std::string_view utf8, std::string& out, UnencodableCharacter& error);

// CP932 to UTF-8. On failure returns false and sets `badOffset` to the
// offset of the first byte that is not valid CP932.
bool decodeCp932(std::string_view bytes, std::string& out, std::size_t& badOffset);

// CP932 to UTF-8 for display: bytes that are not CP932 show as U+FFFD.
std::string decodeCp932Lossy(std::string_view bytes);

// Whether the bytes are valid UTF-8.
bool isValidUtf8(std::string_view bytes);

}  // namespace quillane
