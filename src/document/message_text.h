// Values shown inside messages.
//
// A message echoes what the user (or a shared file) typed, so that the bad
// value can be found; echoed raw, a control character would reach the
// terminal or split the message, and a long value would bury it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillane {

// The most characters of a value a message shows.
inline constexpr std::size_t kShownValueLength = 40;

// `text` as a message shows it: control characters (C0, DEL, C1) and bytes
// that are not UTF-8 written as escapes, and the text cut after `limit`
// characters with "…" added. Ordinary text keeps its bytes.
//   ESC [ 2 J        -> the text \x1B[2J
//   a CR LF          -> the text a\r\n
//   50 times "x"     -> 40 times "x", then "…"
std::string shownText(std::string_view text, std::size_t limit = kShownValueLength);

// A path or file name in a message: escaped as above, never cut.
std::string shownPath(std::string_view path);

// A count and a size in a message, the digits grouped by threes:
//   1456789 -> "1,456,789" and "1,456,789 バイト"
std::string countText(std::size_t count);
std::string byteCountText(std::size_t bytes);

}  // namespace quillane
