#include "linking/link_rewrite.h"

#include <algorithm>
#include <cctype>

#include "document/product.h"
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

bool hasNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

PageEncoding detectPageEncoding(std::string_view bytes) {
  return hasNonAscii(bytes) && isValidUtf8(bytes) ? PageEncoding::Utf8 : PageEncoding::Cp932;
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

}  // namespace quillane
