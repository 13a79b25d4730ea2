#include "linking/link_rewrite.h"

#include <algorithm>

#include "document/message_text.h"
#include "document/product.h"
#include "generation/value_checks.h"
#include "linking/filter_block.h"
#include "linking/html_scan.h"
#include "platform/cp932.h"

namespace quillane {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::size_t kPrescanBytes = 1024;

bool hasNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The encodings a declared label names, as browsers know the labels; the
// prescan reads a declared UTF-16 as UTF-8. "cp932" is no label of theirs,
// but names these very bytes.
std::optional<PageEncoding> encodingOfLabel(std::string_view label) {
  for (std::string_view utf8 :
       {"utf-8", "utf8", "unicode-1-1-utf-8", "unicode11utf8", "unicode20utf8", "x-unicode20utf8", "utf-16", "utf-16le",
        "utf-16be", "unicode", "unicodefeff", "unicodefffe", "iso-10646-ucs-2", "ucs-2", "csunicode"})
    if (label == utf8) return PageEncoding::Utf8;
  for (std::string_view sjis :
       {"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "csshiftjis", "windows-31j", "ms932", "cp932"})
    if (label == sjis) return PageEncoding::Cp932;
  return std::nullopt;
}

// The length of the XML declaration the page starts with ("<?xml", a blank,
// up to the ">" that ends it as a tag), or 0.
std::size_t xmlDeclarationLength(std::string_view page) {
  if (!page.starts_with("<?xml") || page.size() < 6 ||
      (page[5] != ' ' && page[5] != '\t' && page[5] != '\r' && page[5] != '\n'))
    return 0;
  const std::size_t end = page.find('>');
  return end == std::string_view::npos ? 0 : end + 1;
}

// The label a page declares when it names neither UTF-8 nor Shift_JIS, or
// nothing. A byte-order mark overrides any declaration.
std::string otherDeclaredEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return {};
  std::string label = prescanCharset(bytes);
  return encodingOfLabel(label) ? std::string() : label;
}

// Whether the page holds bytes beyond ASCII other than those of the marker
// comments this rewrite writes (in Shift_JIS), which no browser shows.
bool hasNonAsciiBesideMarkers(std::string_view bytes) {
  if (!hasNonAscii(bytes)) return false;
  static const std::string marker = *encodeForPage(markerComment(), PageEncoding::Cp932);
  std::size_t from = 0;
  for (std::size_t at = bytes.find(marker); at != std::string_view::npos; at = bytes.find(marker, from)) {
    if (hasNonAscii(bytes.substr(from, at - from))) return true;
    from = at + marker.size();
  }
  return hasNonAscii(bytes.substr(from));
}

}  // namespace

PageEncoding detectPageEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return PageEncoding::Utf8;
  if (const auto declared = encodingOfLabel(prescanCharset(bytes))) return *declared;
  return hasNonAscii(bytes) && isValidUtf8(bytes) ? PageEncoding::Utf8 : PageEncoding::Cp932;
}

std::optional<std::string> unusablePage(std::string_view bytes) {
  if (bytes.size() > kMaxPageBytes)
    return "ページが大きすぎます（" + std::to_string(kMaxPageBytes >> 20) + " MiB までのページを書き換えられます）。";
  const bool wide = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
                    bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4));
  if (wide || bytes.find('\0') != std::string_view::npos)
    return "ページが UTF-16 か UTF-32 で書かれているため、書き換えられません（UTF-8 か Shift_JIS "
           "のページを書き換えられます）。";
  if (const std::string label = otherDeclaredEncoding(bytes); !label.empty() && hasNonAsciiBesideMarkers(bytes))
    return "ページの文字コードが「" + shownText(label) +
           "」と宣言されているため、書き換えられません（UTF-8 か Shift_JIS のページを書き換えられます）。";
  return std::nullopt;
}

std::string pageTextForDisplay(std::string_view bytes, PageEncoding encoding) {
  return encoding == PageEncoding::Utf8 ? std::string(bytes) : decodeCp932Lossy(bytes);
}

std::optional<std::string> encodeForPage(std::string_view utf8, PageEncoding encoding) {
  if (encoding == PageEncoding::Utf8) return std::string(utf8);
  std::string bytes;
  UnencodableCharacter bad;
  if (!encodeCp932(utf8, bytes, bad)) return std::nullopt;
  return bytes;
}

std::string linkLine(std::string_view cssName) {
  std::string href;
  for (const char c : cssName) href += c == '&' ? std::string_view("&amp;") : std::string_view(&c, 1);
  return "<LINK href=\"" + href + "\" rel=\"stylesheet\" type=\"text/css\">";
}

std::string markerComment() {
  return "<!このファイルは一部Quillaneよって編集されました。" + std::string(kHomePageAddress) + ">";
}

std::string workingText(std::string_view page, std::string_view commentLine) {
  std::string w(commentLine);
  w.reserve(page.size() + commentLine.size() + 64);
  std::size_t start = 0;
  while (start < page.size()) {
    std::size_t end = page.find('\r', start);
    if (end == std::string_view::npos) end = page.size();
    w.append(kCrLf).append(page.substr(start, end - start));
    start = end + 1;
    if (end + 1 < page.size() && page[end + 1] == '\n') ++start;
  }
  return w;
}

HeadPlacement headPlacementOf(std::string_view working) {
  const HeadLandmarks marks = scanHead(working);
  if (marks.closingHead != HeadLandmarks::npos) return HeadPlacement::BeforeClosingHead;
  if (marks.html != HeadLandmarks::npos) return HeadPlacement::AfterHtml;
  if (marks.doctypeEnd != HeadLandmarks::npos) return HeadPlacement::AfterDoctype;
  return HeadPlacement::AtTop;
}

std::string insertLink(std::string_view w, std::string_view lines) {
  const HeadLandmarks marks = scanHead(w);
  std::string result;
  result.reserve(w.size() + lines.size() + 32);
  const auto newHeadAfter = [&](std::size_t at, std::string_view tag) {
    result.append(w.substr(0, at)).append(tag).append(kCrLf).append("<HEAD>").append(kCrLf);
    result.append(lines).append(kCrLf).append("</HEAD>").append(w.substr(at + tag.size()));
  };
  if (const std::size_t at = marks.closingHead; at != HeadLandmarks::npos) {
    // "</head>" -> "</HEAD>", "</head >" -> "</HEAD >"
    result.append(w.substr(0, at)).append(kCrLf).append(lines).append(kCrLf).append("</HEAD");
    result.append(w.substr(at + 6));
  } else if (marks.html != HeadLandmarks::npos) {
    newHeadAfter(marks.html, "<HTML>");
  } else if (marks.doctypeEnd != HeadLandmarks::npos) {
    newHeadAfter(marks.doctypeEnd, "");
  } else {
    result.append("<HEAD>").append(kCrLf).append(lines).append(kCrLf).append("</HEAD>").append(kCrLf).append(w);
  }
  return result;
}

std::optional<std::string> misreadStyleSheetWarning(std::string_view styleSheet, PageEncoding pageEncoding,
                                                    std::string_view cssName) {
  if (pageEncoding != PageEncoding::Utf8 || styleSheet.starts_with(kUtf8Mark) || styleSheet.starts_with("@charset") ||
      !hasNonAscii(styleSheet) || isValidUtf8(styleSheet))
    return std::nullopt;
  return "スタイルシート「" + shownText(cssName) +
         "」は Shift_JIS で書かれ、@charset がありません。UTF-8 "
         "のページからはブラウザがこれを UTF-8 として読むため、日本語のフォント名などが崩れ、ルールが読み飛ばされる"
         "こともあります。「出力」タブの「今のブラウザ向けに書き出す」を選んで書き出すと、UTF-8 "
         "のスタイルシートになります。";
}

LinkedPage linkPage(std::string_view page, std::string_view cssName, bool comment, std::string_view styleSheet) {
  LinkedPage result;
  if (auto why = unusablePage(page)) {
    result.refused = std::move(*why);
    return result;
  }
  const std::string shownName = "スタイルシートの名前「" + shownText(cssName) + "」";
  if (const auto part = refusedPart(ValueKind::AttributeText, cssName)) {
    result.refused = shownName + "には「" + shownText(*part) + "」を使えません。";
    return result;
  }
  // A page declared in another encoding (ISO-8859-1, say) is ASCII, or
  // ASCII beside the marker comment: an ASCII name reads the same in it,
  // and the marker comment, which no browser shows, is written as in any
  // page without a declaration the rewrite knows.
  if (const std::string label = otherDeclaredEncoding(page); !label.empty() && hasNonAscii(cssName)) {
    result.refused = shownName + "は、文字コードが「" + shownText(label) +
                     "」と宣言されたページには書けません（英数字だけの名前にすると書き換えられます）。";
    return result;
  }
  result.encoding = detectPageEncoding(page);
  const auto link = encodeForPage(linkLine(cssName), result.encoding);
  const auto marker = encodeForPage(comment ? markerComment() : std::string(), result.encoding);
  if (!link || !marker) {
    result.refused = shownName + "にはShift_JISで書けない文字があります。";
    return result;
  }
  if (result.encoding == PageEncoding::Cp932) {
    // Shift_JIS has no "¥" nor "‾" of its own: they would come back as "\\" and "~".
    if (const std::string readBack = decodeCp932Lossy(*encodeForPage(cssName, result.encoding)); readBack != cssName) {
      result.refused = shownName + "はShift_JISのページでは「" + shownText(readBack) + "」と読まれます。";
      return result;
    }
  }
  const FilterBlock filters = filterBlockOfStyleSheet(styleSheet);
  if (!filters.ok()) {
    result.refused = filters.refused;
    return result;
  }
  // The mark and an XML declaration stay first; the rest is worked on as a
  // page without them.
  const std::string_view original = page;
  const bool marked = page.starts_with(kUtf8Mark);
  const std::size_t declaration = xmlDeclarationLength(page.substr(marked ? kUtf8Mark.size() : 0));
  std::string lead(page.substr(0, (marked ? kUtf8Mark.size() : 0) + declaration));
  page.remove_prefix(lead.size());
  if (declaration > 0) {
    // Its line end, or one, then the comment line.
    std::size_t lineEnd = page.starts_with(kCrLf) ? 2 : 0;
    if (lineEnd == 0 && (page.starts_with('\r') || page.starts_with('\n'))) lineEnd = 1;
    lead.append(lineEnd > 0 ? page.substr(0, lineEnd) : kCrLf);
    page.remove_prefix(lineEnd);
  }
  const std::string working = workingText(page, *marker);
  result.placement = headPlacementOf(working);
  std::string linkedPage = insertLink(working, *link);
  if (declaration > 0 && linkedPage.starts_with(kCrLf)) linkedPage.erase(0, kCrLf.size());
  result.bytes = lead + withFilterBlock(linkedPage, filters.block);
  if (!marked && prescanCharset(original) != prescanCharset(result.bytes)) {
    result.bytes.clear();
    result.refused = "書き換えるとページの文字コードの宣言（<meta charset>）が先頭から " +
                     std::to_string(kPrescanBytes) +
                     " バイトより後ろにずれ、ブラウザに読まれなくなります。「コメントの挿入」を外すか、宣言をページの"
                     "先頭近くに移してください。";
  }
  return result;
}

}  // namespace quillane
