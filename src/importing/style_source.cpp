#include "importing/style_source.h"

#include <algorithm>
#include <cctype>

#include "css/css_tokenizer.h"
#include "document/message_text.h"
#include "importing/encodings.h"
#include "linking/html_scan.h"
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

// The label of `@charset "X";` at the very start, as the CSS encoding
// rules read it: those exact bytes, the label up to the first double quote.
std::string charsetRuleLabel(std::string_view bytes) {
  constexpr std::string_view kHead = "@charset \"";
  if (!bytes.starts_with(kHead)) return {};
  const std::size_t close = bytes.find('"', kHead.size());
  if (close == std::string_view::npos || bytes.substr(close, 2) != "\";") return {};
  return std::string(bytes.substr(kHead.size(), close - kHead.size()));
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

// What a style element's text needs after it to end as it ends in a
// browser, where each element is a sheet of its own, so that the next
// element's rules stand alone after it: an open comment, string or url
// ended, an unfinished statement ended (";" after an at-rule, "{}" after a
// selector), open brackets and blocks closed.
//   "p { color: red" -> "}"     "a { b: url(x" -> ")}"     "@import 'a.css'" -> ";"
std::string closingOf(std::string_view text) {
  using css::TokenType;
  std::vector<css::CommentRange> comments;
  css::Tokenizer tokens(text, &comments);
  std::string open;  // the closing brackets due, innermost last
  enum class Pending { None, AtRule, Selector } pending = Pending::None;
  css::Token last;
  std::string closing;
  for (css::Token t = tokens.next(); t.type != TokenType::EndOfFile; t = tokens.next()) {
    last = t;
    const bool top = open.empty();
    switch (t.type) {
      case TokenType::LeftCurly:
        open += '}';
        break;
      case TokenType::LeftSquare:
        open += ']';
        break;
      case TokenType::LeftParen:
      case TokenType::Function:
        open += ')';
        break;
      case TokenType::RightCurly:
      case TokenType::RightSquare:
      case TokenType::RightParen:
        if (!open.empty() && open.back() == text[t.begin]) open.pop_back();
        if (open.empty() && t.type == TokenType::RightCurly) pending = Pending::None;
        break;
      case TokenType::Semicolon:
        if (top && pending == Pending::AtRule) pending = Pending::None;
        break;
      case TokenType::Whitespace:
      case TokenType::Cdo:
      case TokenType::Cdc:
        break;
      default:
        break;
    }
    if (top && pending == Pending::None && t.type != TokenType::Whitespace && t.type != TokenType::Cdo &&
        t.type != TokenType::Cdc && t.type != TokenType::Semicolon && t.type != TokenType::RightCurly)
      pending = t.type == TokenType::AtKeyword ? Pending::AtRule : Pending::Selector;
  }
  // Whether an odd number of backslashes stands just before `end`.
  const auto escapes = [&](std::size_t begin, std::size_t end) {
    std::size_t k = end;
    while (k > begin && text[k - 1] == '\\') --k;
    return (end - k) % 2 == 1;
  };
  // A string or url left open: a backslash at its end would escape the
  // closing character, so a line end goes first (it ends the escape).
  const auto close = [&](const css::Token& t, char closer) {
    const bool closed = t.end - t.begin >= 2 && text[t.end - 1] == closer && !escapes(t.begin + 1, t.end - 1);
    if (!closed) closing.append(escapes(t.begin + 1, t.end) ? "\r\n" : "").push_back(closer);
  };
  if (!comments.empty() && comments.back().end == text.size()) {
    const css::CommentRange& c = comments.back();
    if (c.end - c.begin < 4 || !text.substr(c.begin).ends_with("*/")) closing = "*/";
  } else if (last.end == text.size() && last.type == TokenType::String) {
    close(last, text[last.begin]);
  } else if (last.end == text.size() && (last.type == TokenType::Url || last.type == TokenType::BadUrl)) {
    close(last, ')');
  }
  if (pending == Pending::AtRule && open.empty()) closing += ";";
  if (pending == Pending::Selector && open.empty()) closing += "{}";
  closing.append(open.rbegin(), open.rend());
  return closing;
}

// The media query of a style element, as it may stand in "@media X {": no
// character that could end the prelude or open a comment, string or block,
// brackets balanced. Any other text matches nothing, as an invalid query.
std::string mediaPrelude(std::string_view media) {
  int depth = 0;
  for (char c : media) {
    const bool allowed = std::isalnum(static_cast<unsigned char>(c)) != 0 ||
                         std::string_view(" \t\r\n\f(),:-./<>=_%").find(c) != std::string_view::npos;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (!allowed || depth < 0) return "not all";
  }
  return depth == 0 ? std::string(media) : "not all";
}

// The first attribute of that name, its character references resolved.
std::optional<std::string> attributeOf(const StyleElement& element, std::string_view name) {
  for (const TagAttribute& a : element.attributes)
    if (a.name == name) return decodeHtmlText(a.value);
  return std::nullopt;
}

// The style elements a browser applies and the title of a decoded page.
// An element of another type than CSS is left out; one with a media query
// that may not match on a screen becomes an @media rule, which the form
// leaves as text. Each element ends where it ends in a browser.
void readPage(StyleSource& source) {
  const std::string_view page = source.decoded;
  const PageStyles found = scanPageStyles(page);
  for (const StyleElement& element : found.styles) {
    if (const auto type = attributeOf(element, "type"); type && !type->empty() && css::asciiLower(*type) != "text/css")
      continue;
    std::string media = css::asciiLower(attributeOf(element, "media").value_or(""));
    media.erase(0, std::min(media.find_first_not_of(" \t\r\n\f"), media.size()));
    media.erase(std::min(media.find_last_not_of(" \t\r\n\f") + 1, media.size()));
    // On a screen these match always; the outputs apply to the screen.
    const bool everywhere = media.empty() || media == "all" || media == "screen";
    const std::string_view content = page.substr(element.begin, element.end - element.begin);
    if (!source.style.empty()) source.style += "\r\n";
    if (!everywhere) {
      source.styleOffsets.push_back(source.style.size());
      source.decodedOffsets.push_back(element.begin);
      source.style += "@media " + mediaPrelude(*attributeOf(element, "media")) + " {";
    }
    source.styleOffsets.push_back(source.style.size());
    source.decodedOffsets.push_back(element.begin);
    source.style.append(content).append(closingOf(content));
    if (!everywhere) source.style += "}";
  }
  if (found.titleBegin != PageStyles::npos)
    source.title = decodeHtmlText(page.substr(found.titleBegin, found.titleEnd - found.titleBegin));
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
  std::string_view body = bytes;
  std::optional<TextEncoding> encoding;
  std::string label;  // the encoding the file declares
  if (bytes.starts_with(kUtf8Mark)) {
    encoding = encodingOfLabel("utf-8");
    body.remove_prefix(kUtf8Mark.size());
  } else if (bytes.starts_with("\xFE\xFF") || bytes.starts_with("\xFF\xFE")) {
    encoding = encodingOfLabel(bytes[0] == '\xFE' ? "utf-16be" : "utf-16le");
    body.remove_prefix(2);
  } else if (label = source.page ? prescanCharset(bytes) : charsetRuleLabel(bytes); !label.empty()) {
    encoding = encodingOfLabel(label);
    if (!encoding) {
      source.refused = "文字コード「" + shownText(label) + "」は読めません（ブラウザの知らない名前です）。";
      return source;
    }
    // A declaration cannot name UTF-16: those bytes would not have held it.
    if (encoding->decoder == Decoder::Utf16Le || encoding->decoder == Decoder::Utf16Be)
      encoding = encodingOfLabel("utf-8");
    if (source.page && encoding->decoder == Decoder::UserDefined) encoding = encodingOfLabel("windows-1252");
  } else {
    encoding = encodingOfLabel(hasNonAscii(bytes) && isValidUtf8(bytes) ? "utf-8" : "shift_jis");
  }
  auto decoded = decodeText(body, *encoding);
  if (!decoded) {
    source.refused = "文字コード「" + shownText(label) + "」は読めません（" +
                     (encoding->decoder == Decoder::Replacement ? "ブラウザも読まない文字コードです"
                                                                : "この環境では変換できません") +
                     "）。";
    return source;
  }
  source.encoding = encoding->name;
  source.decoded = std::move(*decoded);
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
