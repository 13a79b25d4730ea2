#include "linking/html_scan.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quillane {

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `s` holds `word` (lower case) at `at`, ignoring letter case.
bool holdsAt(std::string_view s, std::size_t at, std::string_view word) {
  if (at > s.size() || s.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (lowered(s[at + i]) != word[i]) return false;
  return true;
}

// The tokenizer's states inside a tag, after its name.
enum class InTag { Gap, Name, AfterName, BeforeValue, Unquoted };

// From just past a tag's name to just past the ">" that ends it, skipping
// quoted attribute values; npos when the page ends inside the tag. With
// `attributes`, each attribute is added to it as the tokenizer reads it.
std::size_t endOfTag(std::string_view s, std::size_t p, std::vector<TagAttribute>* attributes = nullptr) {
  InTag state = InTag::Gap;
  std::size_t mark = 0;  // where the name or value being read starts
  const auto name = [&](std::size_t end) {
    if (attributes == nullptr) return;
    std::string lower;
    for (char c : s.substr(mark, end - mark)) lower += lowered(c);
    attributes->push_back({std::move(lower), {}});
  };
  const auto value = [&](std::size_t begin, std::size_t end) {
    if (attributes != nullptr) attributes->back().value = s.substr(begin, end - begin);
  };
  for (; p < s.size(); ++p) {
    const char c = s[p];
    if (c == '>') {  // in every state, even where a value was due
      if (state == InTag::Name) name(p);
      if (state == InTag::Unquoted) value(mark, p);
      return p + 1;
    }
    switch (state) {
      case InTag::Gap:  // before an attribute, after a quoted value, after "/"
        if (!isSpace(c) && c != '/') {
          state = InTag::Name;
          mark = p;
        }
        break;
      case InTag::Name:
        if (c == '=' || c == '/' || isSpace(c)) name(p);
        if (c == '=')
          state = InTag::BeforeValue;
        else if (c == '/')
          state = InTag::Gap;
        else if (isSpace(c))
          state = InTag::AfterName;
        break;
      case InTag::AfterName:
        if (c == '=') {
          state = InTag::BeforeValue;
        } else if (c == '/') {
          state = InTag::Gap;
        } else if (!isSpace(c)) {
          state = InTag::Name;
          mark = p;
        }
        break;
      case InTag::BeforeValue:
        if (c == '"' || c == '\'') {
          const std::size_t close = s.find(c, p + 1);
          if (close == npos) return npos;
          value(p + 1, close);
          p = close;
          state = InTag::Gap;
        } else if (!isSpace(c)) {
          state = InTag::Unquoted;
          mark = p;
        }
        break;
      case InTag::Unquoted:
        if (isSpace(c)) {
          value(mark, p);
          state = InTag::Gap;
        }
        break;
    }
  }
  return npos;
}

// From just past "<!--" to just past the comment's end ("-->", "--!>", or
// the "<!-->" and "<!--->" that end at once); npos when the page ends first.
std::size_t endOfComment(std::string_view s, std::size_t p) {
  if (holdsAt(s, p, ">")) return p + 1;
  if (holdsAt(s, p, "->")) return p + 2;
  for (std::size_t i = p; (i = s.find("--", i)) != npos; ++i) {
    if (holdsAt(s, i + 2, ">")) return i + 3;
    if (holdsAt(s, i + 2, "!>")) return i + 4;
  }
  return npos;
}

// The elements whose contents are text up to their own closing tag.
constexpr std::array<std::string_view, 10> kRawTextElements = {
    "script", "style", "title", "textarea", "xmp", "iframe", "noembed", "noframes", "noscript", "plaintext"};

// Whether `s` holds a tag named `name` at `at` (just past "<" or "</"):
// the name, then a space, "/" or ">".
bool namedAt(std::string_view s, std::size_t at, std::string_view name) {
  const std::size_t after = at + name.size();
  return holdsAt(s, at, name) && after < s.size() && (isSpace(s[after]) || s[after] == '/' || s[after] == '>');
}

// From just past <script> to the "<" of its closing tag. Inside "<!--", a
// "<script>" hides the next "</script>" until "-->" (the tokenizer's escaped
// and double-escaped states), as old pages hid their scripts.
std::size_t endOfScript(std::string_view s, std::size_t p) {
  enum { Data, Escaped, DoubleEscaped } state = Data;
  for (std::size_t i = p; (i = s.find_first_of("<-", i)) != npos;) {
    if (s[i] == '-') {
      if (state != Data && holdsAt(s, i, "-->")) {
        state = Data;
        i += 3;
      } else {
        ++i;
      }
    } else if (state != DoubleEscaped && holdsAt(s, i, "</") && namedAt(s, i + 2, "script")) {
      return i;
    } else if (state == Data && holdsAt(s, i, "<!--")) {
      state = Escaped;
      i += 2;  // its dashes may end it at once: "<!-->"
    } else if (state == Escaped && namedAt(s, i + 1, "script")) {
      state = DoubleEscaped;
      i += 7;
    } else if (state == DoubleEscaped && holdsAt(s, i, "</") && namedAt(s, i + 2, "script")) {
      state = Escaped;
      i += 8;
    } else {
      ++i;
    }
  }
  return s.size();
}

// From just past the start tag of raw-text element `name` to the "<" of its
// closing tag ("</name" followed by a space, "/" or ">"), or the page's end.
std::size_t endOfRawText(std::string_view s, std::size_t p, std::string_view name) {
  if (name == "plaintext") return s.size();
  if (name == "script") return endOfScript(s, p);
  for (std::size_t i = p; (i = s.find("</", i)) != npos; i += 2)
    if (namedAt(s, i + 2, name)) return i;
  return s.size();
}

// The lowered tag name that starts at `p`, up to a space, "/" or ">".
std::string tagName(std::string_view s, std::size_t p) {
  std::string name;
  for (; p < s.size() && !isSpace(s[p]) && s[p] != '/' && s[p] != '>' && name.size() < 16; ++p) name += lowered(s[p]);
  return name;
}

std::size_t pastName(std::string_view s, std::size_t p) {
  while (p < s.size() && !isSpace(s[p]) && s[p] != '/' && s[p] != '>') ++p;
  return p;
}

// One token of the page as the tokenizer reads it from a "<" or from text.
struct Piece {
  enum class Kind { Text, Comment, Doctype, StartTag, EndTag };
  Kind kind = Kind::Text;
  std::size_t end = npos;     // just past it; npos when the page ends inside it
  std::size_t next = npos;    // where reading goes on: past a raw-text element's text
  std::size_t tagEnd = npos;  // of a start tag: just past its ">", before a raw-text element's text
  std::string name;           // of a tag, lowered
};

// The piece that starts at `p`. Text ends at the next "<"; a "<" that opens
// no tag is text of its own. A comment left open, or the text of a raw-text
// element without its closing tag, runs to the page's end and has no end.
Piece pieceAt(std::string_view s, std::size_t p, std::vector<TagAttribute>* attributes = nullptr) {
  Piece piece;
  if (s[p] != '<') {
    piece.end = piece.next = std::min(s.find('<', p), s.size());
    return piece;
  }
  const char next = p + 1 < s.size() ? s[p + 1] : '\0';
  if (next == '!' && holdsAt(s, p + 2, "--")) {
    piece.kind = Piece::Kind::Comment;
    piece.end = endOfComment(s, p + 4);
    piece.next = piece.end == npos ? s.size() : piece.end;
  } else if (next == '!' && holdsAt(s, p + 2, "doctype")) {
    piece.kind = Piece::Kind::Doctype;
    if (const std::size_t end = s.find('>', p); end != npos) piece.end = piece.next = end + 1;
  } else if (next == '!' || next == '?' || (next == '/' && p + 2 < s.size() && !isLetter(s[p + 2]))) {
    // A bogus comment, up to the first ">" ("</>" is one too, and empty).
    piece.kind = Piece::Kind::Comment;
    if (const std::size_t end = s.find('>', p + 2); end != npos) piece.end = piece.next = end + 1;
  } else if (next == '/' && p + 2 < s.size()) {
    piece.kind = Piece::Kind::EndTag;
    piece.name = tagName(s, p + 2);
    piece.end = piece.next = endOfTag(s, pastName(s, p + 2));
  } else if (isLetter(next)) {
    piece.kind = Piece::Kind::StartTag;
    piece.name = tagName(s, p + 1);
    piece.end = piece.next = piece.tagEnd = endOfTag(s, pastName(s, p + 1), attributes);
    const bool raw = std::find(kRawTextElements.begin(), kRawTextElements.end(), piece.name) != kRawTextElements.end();
    if (raw && piece.end != npos) {
      piece.next = endOfRawText(s, piece.end, piece.name);
      if (piece.next == s.size()) piece.end = npos;  // no closing tag: the text runs to the end
    }
  } else {
    piece.end = piece.next = p + 1;  // text
  }
  return piece;
}

bool isBlank(std::string_view s, std::size_t from, std::size_t to) {
  return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(from), s.begin() + static_cast<std::ptrdiff_t>(to),
                     isSpace);
}

// The start tags a browser puts into the head even after it: they do not
// start the body. Nor does an end tag but those of body, html and br, which
// a browser ignores there.
constexpr std::array<std::string_view, 12> kHeadElements = {
    "html", "head", "base", "basefont", "bgsound", "link", "meta", "noframes", "script", "style", "template", "title"};

}  // namespace

HeadLandmarks scanHead(std::string_view s) {
  HeadLandmarks marks;
  bool content = false;  // a tag or text other than white space came before
  for (std::size_t p = 0; p < s.size();) {
    const Piece piece = pieceAt(s, p);
    const bool unfinishedRawText = piece.kind == Piece::Kind::StartTag && piece.end == npos && piece.next != npos;
    if (piece.kind == Piece::Kind::Text) {
      content = content || !isBlank(s, p, piece.end);
    } else if (piece.kind == Piece::Kind::Doctype) {
      if (piece.end != npos && !content) marks.doctypeEnd = piece.end;
      content = true;
    } else if (piece.kind != Piece::Kind::Comment) {
      content = true;
    }
    if (piece.kind == Piece::Kind::EndTag && piece.end != npos && piece.name == "head") {
      marks.closingHead = p;
      break;
    }
    if (piece.kind == Piece::Kind::StartTag && piece.name == "html" && piece.end == p + 6 && marks.html == npos)
      marks.html = p;
    if (unfinishedRawText) break;  // nothing after it is a tag
    if (piece.next == npos) break;
    p = piece.next;
  }
  return marks;
}

BodyStart bodyStart(std::string_view s) {
  std::size_t content = npos;  // the first element or text of the body's
  for (std::size_t p = 0; p < s.size();) {
    const Piece piece = pieceAt(s, p);
    if (piece.kind == Piece::Kind::StartTag && piece.name == "body" && piece.end != npos) return {piece.end, true};
    // Nothing after a piece the page ends inside is a tag: before it.
    if (piece.end == npos) return {std::min(content, p)};
    if (content == npos) {
      if (piece.kind == Piece::Kind::Text && !isBlank(s, p, piece.end)) {
        content = p;
        while (isSpace(s[content])) ++content;
      } else if (piece.kind == Piece::Kind::StartTag &&
                 std::find(kHeadElements.begin(), kHeadElements.end(), piece.name) == kHeadElements.end()) {
        content = p;
      } else if (piece.kind == Piece::Kind::EndTag &&
                 (piece.name == "body" || piece.name == "html" || piece.name == "br")) {
        content = p;
      }
    }
    p = piece.next;
  }
  return {std::min(content, s.size())};
}

void forEachShownText(std::string_view s, const std::function<void(std::string_view, bool)>& shown) {
  constexpr std::array<std::string_view, 4> kShownAttributes = {"alt", "title", "placeholder", "value"};
  std::vector<TagAttribute> attributes;
  for (std::size_t p = 0; p < s.size();) {
    attributes.clear();
    const Piece piece = pieceAt(s, p, &attributes);
    if (piece.kind == Piece::Kind::Text) shown(s.substr(p, piece.end - p), false);
    if (piece.kind == Piece::Kind::StartTag && piece.tagEnd != npos) {
      for (const TagAttribute& a : attributes)
        if (std::find(kShownAttributes.begin(), kShownAttributes.end(), a.name) != kShownAttributes.end())
          shown(a.value, true);
      if (piece.name != "script" && piece.name != "style" && piece.next > piece.tagEnd)
        shown(s.substr(piece.tagEnd, piece.next - piece.tagEnd), false);
    }
    p = piece.next;
  }
}

PageStyles scanPageStyles(std::string_view s) {
  PageStyles found;
  int templates = 0;  // open <template> elements, whose contents a browser leaves inert
  std::vector<TagAttribute> attributes;
  for (std::size_t p = 0; p < s.size();) {
    attributes.clear();
    const Piece piece = pieceAt(s, p, &attributes);
    if (piece.kind == Piece::Kind::EndTag && piece.name == "template" && templates > 0) --templates;
    if (piece.kind == Piece::Kind::StartTag && piece.tagEnd != npos) {
      if (piece.name == "template") ++templates;
      if (templates == 0 && piece.name == "style") found.styles.push_back({piece.tagEnd, piece.next, attributes});
      if (templates == 0 && piece.name == "title" && found.titleBegin == npos) {
        found.titleBegin = piece.tagEnd;
        found.titleEnd = piece.next;
      }
    }
    p = piece.next;  // npos past a tag or doctype the page ends inside: nothing more to read
  }
  return found;
}

namespace {

// The prescan's reading of one attribute (lowered name and value), from
// `p`; false when there is none before ">" or the end.
bool prescanAttribute(std::string_view s, std::size_t& p, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  while (p < s.size() && (isSpace(s[p]) || s[p] == '/')) ++p;
  if (p >= s.size() || s[p] == '>') return false;
  for (;; ++p) {
    if (p >= s.size()) return false;
    const char c = s[p];
    if (c == '=' && !name.empty()) break;
    if (isSpace(c)) {
      while (p < s.size() && isSpace(s[p])) ++p;
      if (p >= s.size()) return false;
      if (s[p] != '=') return true;
      break;
    }
    if (c == '/' || c == '>') return true;
    name += lowered(c);
  }
  ++p;  // past "="
  while (p < s.size() && isSpace(s[p])) ++p;
  if (p >= s.size()) return false;
  if (const char quote = s[p]; quote == '"' || quote == '\'') {
    const std::size_t end = s.find(quote, p + 1);
    if (end == npos) {
      p = s.size();
      return false;
    }
    for (std::size_t i = p + 1; i < end; ++i) value += lowered(s[i]);
    p = end + 1;
    return true;
  }
  if (s[p] == '>') return true;
  for (; p < s.size() && !isSpace(s[p]) && s[p] != '>'; ++p) value += lowered(s[p]);
  return p < s.size();
}

// The charset named in a Content-Type value: "text/html; charset=x" -> "x".
std::string charsetOfContent(std::string_view v) {
  for (std::size_t p = 0; (p = v.find("charset", p)) != npos;) {
    p += 7;
    while (p < v.size() && isSpace(v[p])) ++p;
    if (p >= v.size() || v[p] != '=') continue;
    ++p;
    while (p < v.size() && isSpace(v[p])) ++p;
    if (p >= v.size()) return {};
    if (v[p] == '"' || v[p] == '\'') {
      const std::size_t end = v.find(v[p], p + 1);
      return end == npos ? std::string() : std::string(v.substr(p + 1, end - p - 1));
    }
    const std::size_t end = std::min(v.find_first_of("\t\n\f\r ;", p), v.size());
    return std::string(v.substr(p, end - p));
  }
  return {};
}

std::string trimmed(std::string_view v) {
  while (!v.empty() && isSpace(v.front())) v.remove_prefix(1);
  while (!v.empty() && isSpace(v.back())) v.remove_suffix(1);
  return std::string(v);
}

}  // namespace

std::string prescanCharset(std::string_view page) {
  const std::string_view s = page.substr(0, 1024);
  std::string name;
  std::string value;
  for (std::size_t p = 0; p < s.size(); ++p) {
    if (holdsAt(s, p, "<!--")) {
      p = s.find("-->", p + 2);
      if (p == npos) return {};
      p += 2;
    } else if (holdsAt(s, p, "<meta") && p + 5 < s.size() && (isSpace(s[p + 5]) || s[p + 5] == '/')) {
      p += 5;
      std::string charset;
      bool pragma = false;
      enum { Unknown, Needed, NotNeeded } need = Unknown;
      std::string seen = " ";
      while (prescanAttribute(s, p, name, value)) {
        if (seen.find(" " + name + " ") != npos) continue;
        seen += name + " ";
        if (name == "http-equiv") {
          pragma = pragma || value == "content-type";
        } else if (name == "content" && charset.empty()) {
          charset = charsetOfContent(value);
          if (!charset.empty()) need = Needed;
        } else if (name == "charset") {
          charset = value;
          need = NotNeeded;
        }
      }
      if (p >= s.size()) return {};
      const std::string label = trimmed(charset);
      if (need != Unknown && (need == NotNeeded || pragma) && !label.empty()) return label;
    } else if (holdsAt(s, p, "<") && ((p + 1 < s.size() && isLetter(s[p + 1])) ||
                                      (holdsAt(s, p + 1, "/") && p + 2 < s.size() && isLetter(s[p + 2])))) {
      p = s.find_first_of("\t\n\f\r >", p);
      if (p == npos) return {};
      while (prescanAttribute(s, p, name, value)) {
      }
      if (p >= s.size()) return {};
    } else if (holdsAt(s, p, "<!") || holdsAt(s, p, "</") || holdsAt(s, p, "<?")) {
      p = s.find('>', p);
      if (p == npos) return {};
    }
  }
  return {};
}

}  // namespace quillane
