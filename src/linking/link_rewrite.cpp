#include "linking/link_rewrite.h"

#include <algorithm>
#include <cctype>

#include "document/message_text.h"
#include "document/product.h"
#include "generation/value_checks.h"
#include "linking/filter_block.h"
#include "platform/cp932.h"

namespace quillane {

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The first occurrence of an ASCII tag, ignoring letter case.
std::size_t findTag(std::string_view text, std::string_view tag) {
  const auto it = std::search(text.begin(), text.end(), tag.begin(), tag.end(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  });
  return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool hasNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

char lowered(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool isLabelCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' || c == '.' || c == ':';
}

// The encoding label of the first <meta> that names one, lowered: the value
// after "charset" and "=", with quotes and spaces skipped. Only the part of
// the page before its body is looked at.
//   <meta charset="UTF-8">                                       -> "utf-8"
//   <META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=Shift_JIS"> -> "shift_jis"
std::string declaredCharset(std::string_view page) {
  if (const std::size_t body = findTag(page, "<body"); body != std::string_view::npos) page = page.substr(0, body);
  for (std::size_t at; (at = findTag(page, "<meta")) != std::string_view::npos;) {
    page.remove_prefix(at + 5);
    const std::string_view tag = page.substr(0, page.find('>'));
    std::size_t k = findTag(tag, "charset");
    if (k == std::string_view::npos) continue;
    k += 7;
    const auto skip = [&](std::string_view chars) {
      while (k < tag.size() && chars.find(tag[k]) != std::string_view::npos) ++k;
    };
    skip(" \t\r\n");
    if (k >= tag.size() || tag[k] != '=') continue;
    ++k;
    skip(" \t\r\n\"'");
    std::string label;
    for (; k < tag.size() && isLabelCharacter(tag[k]); ++k) label += lowered(tag[k]);
    if (!label.empty()) return label;
  }
  return {};
}

std::optional<PageEncoding> encodingOfLabel(std::string_view label) {
  for (std::string_view utf8 : {"utf-8", "utf8", "unicode-1-1-utf-8"})
    if (label == utf8) return PageEncoding::Utf8;
  for (std::string_view sjis :
       {"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "csshiftjis", "windows-31j", "cp932", "ms932"})
    if (label == sjis) return PageEncoding::Cp932;
  return std::nullopt;
}

}  // namespace

PageEncoding detectPageEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) return PageEncoding::Utf8;
  if (const auto declared = encodingOfLabel(declaredCharset(bytes))) return *declared;
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
  return "<LINK href=\"" + std::string(cssName) + "\" rel=\"stylesheet\" type=\"text/css\">";
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
  if (findTag(working, "</HEAD>") != std::string_view::npos) return HeadPlacement::BeforeClosingHead;
  if (findTag(working, "<HTML>") != std::string_view::npos) return HeadPlacement::AfterHtml;
  return HeadPlacement::AtTop;
}

std::string insertLink(std::string_view w, std::string_view link) {
  std::string result;
  result.reserve(w.size() + link.size() + 32);
  if (const std::size_t at = findTag(w, "</HEAD>"); at != std::string_view::npos) {
    result.append(w.substr(0, at)).append(kCrLf).append(link).append(kCrLf).append("</HEAD>");
    result.append(w.substr(at + 7));
  } else if (const std::size_t html = findTag(w, "<HTML>"); html != std::string_view::npos) {
    result.append(w.substr(0, html)).append("<HTML>").append(kCrLf).append("<HEAD>").append(kCrLf);
    result.append(link).append(kCrLf).append("</HEAD>").append(w.substr(html + 6));
  } else {
    result.append("<HEAD>").append(kCrLf).append(link).append(kCrLf).append("</HEAD>").append(kCrLf).append(w);
  }
  return result;
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
  result.encoding = detectPageEncoding(page);
  const auto link = encodeForPage(linkLine(cssName), result.encoding);
  const auto marker = encodeForPage(comment ? markerComment() : std::string(), result.encoding);
  if (!link || !marker) {
    result.refused = shownName + "にはShift_JISで書けない文字があります。";
    return result;
  }
  // The mark stays first; the rest is worked on as a page without it.
  const bool marked = page.starts_with(kUtf8Mark);
  if (marked) page.remove_prefix(kUtf8Mark.size());
  const std::string working = workingText(page, *marker);
  result.placement = headPlacementOf(working);
  if (marked) result.bytes = kUtf8Mark;
  result.bytes += withFilterBlock(insertLink(working, *link), filterBlockOfStyleSheet(styleSheet));
  return result;
}

}  // namespace quillane
