// The style text of a file to import: a .css file, or the <style> elements
// of a page, decoded as a browser decodes them.
//
// A style sheet: a byte-order mark (UTF-8, UTF-16), else its @charset,
// else UTF-8 when the bytes are valid UTF-8, else Shift_JIS (CP932). A
// page: a byte-order mark, else its <meta> declaration, else the same
// guess. A declaration may name any encoding of the Encoding Standard
// (see encodings.h); one naming UTF-16 means UTF-8, as in a browser. Bytes
// the encoding cannot read become U+FFFD, as in a browser; a label no
// browser knows, or an encoding that cannot be decoded, refuses the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillane {

// The largest file taken, as for the other readers: 16 MiB.
inline constexpr std::size_t kMaxImportBytes = std::size_t{16} << 20;

struct StyleSource {
  bool page = false;
  std::string_view encoding;  // the encoding read, by its standard name: "UTF-8", "EUC-JP"
  std::string decoded;        // the whole file as UTF-8, its line ends as they were
  std::string style;          // the style text: the file, or the page's style elements joined
  // Where each piece of `style` stands in `decoded`: the piece that starts
  // at styleOffsets[k] in `style` starts at decodedOffsets[k] in `decoded`.
  std::vector<std::size_t> styleOffsets;
  std::vector<std::size_t> decodedOffsets;
  std::optional<std::string> title;  // a page's <title>, its character references resolved
  std::string refused;               // why the file cannot be read; empty when it can
  // The line ends before each stretch of kLineBlock bytes of `decoded`:
  // lineOf() counts the rest within one stretch. A list of every line's
  // start would cost eight bytes a line, for a file of line ends 8 times
  // its size.
  std::vector<std::uint32_t> lineEndsBefore;
  static constexpr std::size_t kLineBlock = 64;

  bool ok() const { return refused.empty(); }
  // The 1-based line of the file that holds byte `offset` of `style`.
  int lineOf(std::size_t offset) const;
};

// Reads the bytes of a style sheet or a page. `page` says which; when not
// given, text that starts with "<" (after blanks and a byte-order mark) is a
// page, unless it starts with "<!--" and holds no "<style" or "<html" tag. Refused when larger than
// kMaxImportBytes, or for its encoding (above).
StyleSource readStyleSource(std::string_view bytes, std::optional<bool> page = std::nullopt);

// The text of an HTML text run with its character references resolved:
// "&amp;", "&lt;", "&gt;", "&quot;", "&#39;", "&nbsp;" and numeric ones.
//   "a &amp; b&#x21;" -> "a & b!"
std::string decodeHtmlText(std::string_view text);

}  // namespace quillane
