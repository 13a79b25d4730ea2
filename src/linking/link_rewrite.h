// Inserting a link to a style sheet into an HTML page.
//
// The page is worked on as bytes: only ASCII tags are searched, every byte
// outside the inserted lines stays as it was (line ends become CR LF), and
// the inserted text is written in the page's own encoding.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// The largest page the rewrite takes: 16 MiB, far more than any page a
// browser shows as one document; the rewrite holds a few copies of it.
inline constexpr std::size_t kMaxPageBytes = std::size_t{16} << 20;

enum class PageEncoding {
  Cp932,  // the classic encoding, and the default
  Utf8,
};

// A UTF-8 byte-order mark says UTF-8. Else the page's own declaration
// decides when it names UTF-8 or Shift_JIS (<meta charset="...">, or the
// charset of <meta http-equiv="Content-Type" content="...">); only a page
// that declares neither is guessed from its bytes: valid UTF-8 holding
// non-ASCII bytes is UTF-8, anything else CP932.
PageEncoding detectPageEncoding(std::string_view bytes);

// Why the rewrite cannot take the page, in the user's words, or nothing: a
// page larger than kMaxPageBytes, or one in UTF-16 or UTF-32 (a byte-order
// mark of theirs, or NUL bytes), which a byte-wise rewrite would corrupt.
std::optional<std::string> unusablePage(std::string_view bytes);

// The page as text for showing, decoded in its encoding.
std::string pageTextForDisplay(std::string_view bytes, PageEncoding encoding);

// Text in the page's encoding; nothing when CP932 cannot hold a character.
std::optional<std::string> encodeForPage(std::string_view utf8, PageEncoding encoding);

// `<LINK href="CSSNAME" rel="stylesheet" type="text/css">`
std::string linkLine(std::string_view cssName);

// "<!このファイルは一部Quillaneよって編集されました。ADDRESS>"
std::string markerComment();

// Where the head goes.
enum class HeadPlacement {
  BeforeClosingHead,  // the page has "</HEAD>" (any case): the link goes before the first
  AfterHtml,          // no "</HEAD>" but "<HTML>": a new head after it
  AtTop,              // neither: a new head above everything
};

// The page split into lines (at CR LF or a lone CR; a lone LF stays in its
// line), each preceded by CR LF, after the comment line: the working text.
//   comment "C", page "a\r\nb\r\n" -> "C\r\na\r\nb"
std::string workingText(std::string_view page, std::string_view commentLine);

HeadPlacement headPlacementOf(std::string_view working);

// The rewritten page: `working` with the link line (and a head where
// needed) inserted. `link` and the other arguments are bytes in the page's
// encoding.
std::string insertLink(std::string_view working, std::string_view link);

// The whole rewrite of a page's bytes, as both the link window and the
// command line make it.
struct LinkedPage {
  std::string bytes;
  PageEncoding encoding = PageEncoding::Cp932;
  HeadPlacement placement = HeadPlacement::BeforeClosingHead;
  std::string refused;  // why nothing was made, in the user's words; empty on success
  bool ok() const { return refused.empty(); }
};

// Checks the page (unusablePage) and the style sheet name, which stands in
// an attribute and may not hold '"', "<", ">" or a control character, nor a
// character the page's encoding cannot hold; then inserts the link after the
// marker comment when `comment`. A UTF-8 byte-order mark stays the first
// bytes of the page. When `styleSheet` (the sheet's bytes) carries SVG
// filters, the page gets them too (filter_block.h).
LinkedPage linkPage(std::string_view page, std::string_view cssName, bool comment, std::string_view styleSheet = {});

}  // namespace quillane
