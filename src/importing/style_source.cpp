#include "importing/style_source.h"

#include <algorithm>
#include <cctype>

#include "css/css_tokenizer.h"
#include "linking/link_rewrite.h"
#include "platform/cp932.h"

namespace quillane {

namespace {

using css::appendUtf8;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Whether a line ends at byte `k`: LF, or CR not followed by LF.
bool endsLine(std::string_view text, std::size_t k) {
  return text[k] == '\n' || (text[k] == '\r' && (k + 1 >= text.size() || text[k + 1] != '\n'));
}

char lowered(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The first occurrence of ASCII `needle` at or after `from`, ignoring case.
std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from = 0) {
  if (from > text.size()) return std::string_view::npos;
  const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(),
                              needle.end(), [](char a, char b) { return lowered(a) == lowered(b); });
  return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

// UTF-8 with each byte that does not belong to a character read as U+FFFD.
std::string utf8Lossy(std::string_view bytes) {
  if (isValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  for (std::size_t k = 0; k < bytes.size();) {
    std::size_t n = 1;
    const auto b = static_cast<unsigned char>(bytes[k]);
    if (b >= 0xC2 && b <= 0xDF)
      n = 2;
    else if (b >= 0xE0 && b <= 0xEF)
      n = 3;
    else if (b >= 0xF0 && b <= 0xF4)
      n = 4;
    if (b < 0x80 || (k + n <= bytes.size() && isValidUtf8(bytes.substr(k, n)))) {
      out.append(bytes.substr(k, b < 0x80 ? 1 : n));
      k += b < 0x80 ? 1 : n;
    } else {
      out += "\xEF\xBF\xBD";
      ++k;
    }
  }
  return out;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  const auto unit = [&](std::size_t k) {
    const auto hi = static_cast<unsigned char>(bytes[bigEndian ? k : k + 1]);
    const auto lo = static_cast<unsigned char>(bytes[bigEndian ? k + 1 : k]);
    return static_cast<char32_t>((hi << 8) | lo);
  };
  for (std::size_t k = 0; k + 1 < bytes.size(); k += 2) {
    char32_t cp = unit(k);
    if (cp >= 0xD800 && cp <= 0xDBFF && k + 3 < bytes.size()) {
      const char32_t low = unit(k + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        k += 2;
      }
    }
    appendUtf8(out, cp == 0 ? char32_t{0xFFFD} : cp);
  }
  if (bytes.size() % 2 != 0) out += "\xEF\xBF\xBD";
  return out;
}

// The label of `@charset "X";` at the very start, lowered, as the CSS
// encoding rules read it: those exact bytes, double quotes only.
std::string charsetRuleLabel(std::string_view bytes) {
  constexpr std::string_view kHead = "@charset \"";
  if (!bytes.starts_with(kHead)) return {};
  const std::size_t close = bytes.find("\";", kHead.size());
  if (close == std::string_view::npos || close - kHead.size() > 64) return {};
  std::string label;
  for (char c : bytes.substr(kHead.size(), close - kHead.size())) label += lowered(c);
  return label;
}

std::optional<SourceEncoding> encodingOfLabel(std::string_view label) {
  for (std::string_view utf8 : {"utf-8", "utf8", "unicode-1-1-utf-8"})
    if (label == utf8) return SourceEncoding::Utf8;
  // A sheet that names UTF-16 in its @charset is read as UTF-8.
  for (std::string_view utf16 : {"utf-16", "utf-16le", "utf-16be"})
    if (label == utf16) return SourceEncoding::Utf8;
  for (std::string_view sjis :
       {"shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "csshiftjis", "windows-31j", "cp932", "ms932"})
    if (label == sjis) return SourceEncoding::Cp932;
  return std::nullopt;
}

bool hasNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

bool looksLikePage(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
  while (!bytes.empty() && std::isspace(static_cast<unsigned char>(bytes.front())) != 0) bytes.remove_prefix(1);
  // A style sheet may start with "<!--" too; a page then shows its tags.
  if (bytes.starts_with("<!--"))
    return findNoCase(bytes, "<style") != std::string_view::npos ||
           findNoCase(bytes, "<html") != std::string_view::npos;
  return bytes.starts_with("<");
}

// Whether a <style> start tag's type, if it has one, is CSS.
bool isCssStyleTag(std::string_view tag) {
  const std::size_t type = findNoCase(tag, "type");
  if (type == std::string_view::npos) return true;
  std::size_t k = type + 4;
  while (k < tag.size() && (tag[k] == ' ' || tag[k] == '\t' || tag[k] == '\r' || tag[k] == '\n')) ++k;
  if (k >= tag.size() || tag[k] != '=') return true;
  ++k;
  while (k < tag.size() && (tag[k] == ' ' || tag[k] == '"' || tag[k] == '\'')) ++k;
  std::string value;
  for (; k < tag.size() && tag[k] != '"' && tag[k] != '\'' && tag[k] != '>' && tag[k] != ' '; ++k)
    value += lowered(tag[k]);
  return value.empty() || value == "text/css";
}

// The style elements and the title of a decoded page. Comments and script
// elements are stepped over, so a "<style>" inside them does not count.
void readPage(StyleSource& source) {
  const std::string_view page = source.decoded;
  for (std::size_t at = 0; at < page.size();) {
    const std::size_t open = page.find('<', at);
    if (open == std::string_view::npos) break;
    const std::string_view rest = page.substr(open);
    if (rest.starts_with("<!--")) {
      const std::size_t close = page.find("-->", open + 4);
      at = close == std::string_view::npos ? page.size() : close + 3;
      continue;
    }
    const auto startsTag = [&](std::string_view name) {
      if (rest.size() <= name.size() + 1 || findNoCase(rest.substr(1, name.size()), name) != 0) return false;
      const char after = rest[name.size() + 1];
      return after == '>' || after == ' ' || after == '\t' || after == '\r' || after == '\n' || after == '/';
    };
    const bool style = startsTag("style");
    const bool title = startsTag("title");
    const bool script = startsTag("script");
    if (!style && !title && !script) {
      at = open + 1;
      continue;
    }
    const std::size_t tagEnd = page.find('>', open);
    if (tagEnd == std::string_view::npos) break;
    const std::string_view closing = style ? "</style" : title ? "</title" : "</script";
    const std::size_t contentEnd = std::min(findNoCase(page, closing, tagEnd + 1), page.size());
    const std::string_view content = page.substr(tagEnd + 1, contentEnd - tagEnd - 1);
    if (style && isCssStyleTag(page.substr(open, tagEnd - open))) {
      if (!source.style.empty()) source.style += "\r\n";
      source.styleOffsets.push_back(source.style.size());
      source.decodedOffsets.push_back(tagEnd + 1);
      source.style.append(content);
    } else if (title && !source.title) {
      source.title = decodeHtmlText(content);
    }
    at = contentEnd;
  }
}

}  // namespace

int StyleSource::lineOf(std::size_t offset) const {
  std::size_t at = offset;
  if (page) {
    const auto it = std::upper_bound(styleOffsets.begin(), styleOffsets.end(), offset);
    if (it == styleOffsets.begin()) return 1;
    const auto k = static_cast<std::size_t>(it - styleOffsets.begin() - 1);
    at = decodedOffsets[k] + (offset - styleOffsets[k]);
  }
  at = std::min(at, decoded.size());
  const std::size_t block = at / kLineBlock;
  if (block >= lineEndsBefore.size()) return 1;
  std::size_t ends = lineEndsBefore[block];
  for (std::size_t k = block * kLineBlock; k < at; ++k)
    if (endsLine(decoded, k)) ++ends;
  return static_cast<int>(ends + 1);
}

std::string decodeHtmlText(std::string_view text) {
  std::string out;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] != '&') {
      out += text[k];
      continue;
    }
    // A reference this reader knows is at most ten characters up to its ";";
    // looking no further keeps a text of many "&" linear.
    const std::size_t semi = text.substr(k, 11).find(';');
    if (semi == std::string_view::npos) {
      out += '&';
      continue;
    }
    const std::string_view name = text.substr(k + 1, semi - 1);
    char32_t cp = 0;
    if (name == "amp")
      cp = '&';
    else if (name == "lt")
      cp = '<';
    else if (name == "gt")
      cp = '>';
    else if (name == "quot")
      cp = '"';
    else if (name == "apos")
      cp = '\'';
    else if (name == "nbsp")
      cp = 0xA0;
    else if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      const std::string digits(name.substr(hex ? 2 : 1));
      if (!digits.empty() &&
          digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") == std::string::npos)
        cp = static_cast<char32_t>(std::stoul(digits, nullptr, hex ? 16 : 10));
    }
    if (cp == 0) {
      out += '&';
      continue;
    }
    appendUtf8(out, cp);
    k += semi;
  }
  return out;
}

StyleSource readStyleSource(std::string_view bytes, std::optional<bool> page) {
  StyleSource source;
  if (bytes.size() > kMaxImportBytes) {
    source.refused = "ファイルが大きすぎます（16 MiB まで）。";
    return source;
  }
  source.page = page.value_or(looksLikePage(bytes));
  std::optional<SourceEncoding> encoding;
  std::string_view body = bytes;
  if (bytes.starts_with(kUtf8Mark)) {
    encoding = SourceEncoding::Utf8;
    body.remove_prefix(kUtf8Mark.size());
  } else if (bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xFF\xFE")) {
    source.encoding = SourceEncoding::Utf16;
    source.decoded = utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE');
  }
  if (source.encoding != SourceEncoding::Utf16) {
    if (!encoding && source.page)
      encoding = detectPageEncoding(bytes) == PageEncoding::Utf8 ? SourceEncoding::Utf8 : SourceEncoding::Cp932;
    if (!encoding) encoding = encodingOfLabel(charsetRuleLabel(bytes));
    if (!encoding) encoding = hasNonAscii(bytes) && isValidUtf8(bytes) ? SourceEncoding::Utf8 : SourceEncoding::Cp932;
    source.encoding = *encoding;
    source.decoded = *encoding == SourceEncoding::Utf8 ? utf8Lossy(body) : decodeCp932Lossy(body);
  }
  if (source.page) {
    readPage(source);
  } else {
    source.style = source.decoded;
    source.styleOffsets.push_back(0);
    source.decodedOffsets.push_back(0);
  }
  const std::string_view text = source.decoded;
  source.lineEndsBefore.reserve(text.size() / StyleSource::kLineBlock + 1);
  std::uint32_t ends = 0;
  for (std::size_t k = 0; k <= text.size(); ++k) {
    if (k % StyleSource::kLineBlock == 0) source.lineEndsBefore.push_back(ends);
    if (k < text.size() && endsLine(text, k)) ++ends;
  }
  return source;
}

}  // namespace quillane
