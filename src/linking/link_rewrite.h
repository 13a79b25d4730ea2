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

// A UTF-8 byte-order mark says UTF-8. Else the label the browsers' prescan
// finds in the first 1024 bytes decides when it names UTF-8 (or UTF-16,
// which the prescan reads as UTF-8) or Shift_JIS; only a page that declares
// neither is guessed from its bytes: valid UTF-8 holding non-ASCII bytes is
// UTF-8, anything else CP932.
PageEncoding detectPageEncoding(std::string_view bytes);

// Why the rewrite cannot take the page, in the user's words, or nothing: a
// page larger than kMaxPageBytes, one in UTF-16 or UTF-32 (a byte-order
// mark of theirs, or NUL bytes), which a byte-wise rewrite would corrupt, or
// one that declares an encoding other than UTF-8 and Shift_JIS (EUC-JP,
// ISO-8859-1...) and holds bytes beyond ASCII, which could be shown or
// written back in none of the two. The marker comment the rewrite writes
// into such a page is left out of that count, so the page can be linked
// again. (An ASCII page declared so takes an ASCII name; see linkPage.)
std::optional<std::string> unusablePage(std::string_view bytes);

// The page as text for showing, decoded in its encoding.
std::string pageTextForDisplay(std::string_view bytes, PageEncoding encoding);

// Text in the page's encoding; nothing when CP932 cannot hold a character.
std::optional<std::string> encodeForPage(std::string_view utf8, PageEncoding encoding);

// `<LINK href="CSSNAME" rel="stylesheet" type="text/css">`, with every "&"
// of the name written "&amp;" so that the browser reads the name back as
// given ("R&D&copy.css" is no "R&D©.css").
std::string linkLine(std::string_view cssName);

// "<!このファイルは一部Quillaneよって編集されました。ADDRESS>"
std::string markerComment();

// Where the head goes. Tags count only where a browser reads them as tags:
// not inside comments, attribute values, or the text of <script>, <style>,
// <title> and the other raw-text elements (see scanHead).
enum class HeadPlacement {
  BeforeClosingHead,  // the page has a closing head tag: the link goes before the first
  AfterHtml,          // none, but "<HTML>" (any case, no attributes): a new head after it
  AfterDoctype,       // neither, but a doctype: a new head after it, so the page keeps its mode
  AtTop,              // none of them: a new head above everything
};

// The page split into lines (at CR LF or a lone CR; a lone LF stays in its
// line), each preceded by CR LF, after the comment line: the working text.
//   comment "C", page "a\r\nb\r\n" -> "C\r\na\r\nb"
std::string workingText(std::string_view page, std::string_view commentLine);

HeadPlacement headPlacementOf(std::string_view working);

// The rewritten page: `working` with `lines` (the link line, and whatever
// else the head should get, joined by CR LF) inserted, in a new head where
// the page has none; the closing head tag's name comes out in capitals.
// `lines` are bytes in the page's encoding. Takes time linear in the page.
//   "<head><title>t</title></head>", L -> "<head><title>t</title>\r\nL\r\n</HEAD>"
//   "<!DOCTYPE html><p>x",            L -> "<!DOCTYPE html>\r\n<HEAD>\r\nL\r\n</HEAD><p>x"
std::string insertLink(std::string_view working, std::string_view lines);

// The warning for a style sheet that browsers misread from a page in
// `pageEncoding`, or nothing: a Shift_JIS style sheet (non-ASCII bytes that
// are not UTF-8) without "@charset" or byte-order mark is read in the page's
// encoding, so from a UTF-8 page its Japanese font names break, and a value
// ending in a character whose second byte is "\" (表, ソ, 能) takes the ";"
// after it and the rule is lost. The modern output writes UTF-8 style sheets.
std::optional<std::string> misreadStyleSheetWarning(std::string_view styleSheet, PageEncoding pageEncoding,
                                                    std::string_view cssName);

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
// character the page's encoding cannot hold or would change (Shift_JIS
// writes "¥" as the byte of "\"; a page declared in another encoding, such
// as ISO-8859-1, takes ASCII names only); then inserts the link after the
// marker comment when `comment`. The marker comment, which no browser
// shows, is written in Shift_JIS into such a page, as into any page that
// declares no encoding the rewrite knows. A UTF-8 byte-order mark and an
// XML declaration ("<?xml ...?>", which XHTML readers look for first) stay
// the first bytes of the page, the declaration with its line end (CR LF
// when it has none):
//   "<?xml version=\"1.0\"?>\n<html><head></head>" -> "<?xml version=\"1.0\"?>\nC\r\n<html><head>\r\nL\r\n</HEAD>"
// A rewrite that would push the page's encoding declaration out of the
// first 1024 bytes, where browsers no longer read it, is refused. When
// `styleSheet` (the sheet's bytes) carries SVG filters, the page gets them
// too (filter_block.h); a block that is not the modern output's refuses the
// rewrite, naming what it holds.
LinkedPage linkPage(std::string_view page, std::string_view cssName, bool comment, std::string_view styleSheet = {});

}  // namespace quillane
