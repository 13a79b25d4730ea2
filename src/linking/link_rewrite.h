// Inserting a link to a style sheet into an HTML page.
//
// The page is worked on as bytes: only ASCII tags are searched, every byte
// outside the inserted lines stays as it was (line ends become CR LF), and
// the inserted text is written in the page's own encoding.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillane {

enum class PageEncoding {
  Cp932,  // the classic encoding, and the default
  Utf8,   // valid UTF-8 holding non-ASCII bytes
};

PageEncoding detectPageEncoding(std::string_view bytes);

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

}  // namespace quillane
