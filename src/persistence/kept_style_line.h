// The kept style text ("そのほかのスタイル") on one line of a settings file.
//
// The line follows the trailing switches (line 324 of a settings file, 326
// of a sample) and reads "style:" and the text, with "%", line breaks,
// control characters and every character CP932 cannot hold back exactly
// written as %XX of their UTF-8 bytes; everything else stands as it is, so
// the line stays readable:
//   "p { margin: 0 }\r\n/* ☃ */" -> "style:p { margin: 0 }%0D%0A/* %E2%98%83 */"
// Readers that stop before that line (every earlier version) never see it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

inline constexpr std::string_view kKeptStylePrefix = "style:";

// The longest kept text: the 16 MiB an import takes, each byte read as up
// to three of UTF-8 (a byte of windows-1252 or a half-width kana of
// Shift_JIS). The limit counts the text, not its escaped form.
inline constexpr std::size_t kMaxKeptStyleBytes = 3 * (std::size_t{16} << 20);

// The longest kept line: the longest text, every byte escaped.
inline constexpr std::size_t kMaxKeptStyleLineBytes = kKeptStylePrefix.size() + 3 * kMaxKeptStyleBytes;

// The line (without its line end) for the text.
std::string keptStyleLine(std::string_view text);
// The same, appended to `out` (which the caller may have reserved room in,
// a line of every byte escaped being three times the text), and its length
// without making it.
void appendKeptStyleLine(std::string& out, std::string_view text);
std::size_t keptStyleLineSize(std::string_view text);

// The escaping of that line for any text, with the characters of
// `alsoEscaped` (ASCII) written as %XX too:  ("a b%", " ") -> "a%20b%25"
std::string escapedLineText(std::string_view text, std::string_view alsoEscaped = {});

// The text of escaped line text: each %XX of two hexadecimal digits is that
// byte, anything else stands as it is. Nothing when the bytes are not UTF-8.
std::optional<std::string> unescapedLineText(std::string_view text);

// The text of a kept line; nothing when the line is not one (a line that
// does not start with "style:" is not, and is ignored as before) or its
// escapes do not make UTF-8 (`bad` is then true).
std::optional<std::string> keptStyleOfLine(std::string_view line, bool& bad);

}  // namespace quillane
