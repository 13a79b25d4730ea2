#include "linking/filter_block.h"

#include <algorithm>
#include <span>
#include <vector>

#include "css/css_parser.h"
#include "document/message_text.h"
#include "generation/declaration_emitters.h"
#include "generation/modern_filters.h"
#include "linking/html_scan.h"
#include "platform/cp932.h"

namespace quillane {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// What an attribute's value may be.
enum class Kind : std::uint8_t {
  Exact,       // `words` itself
  Word,        // one of `words`, separated by spaces
  Number,      // "-12.5"
  Numbers,     // one to twenty numbers, one space apart
  Percentage,  // a number and "%"
  Integer,     // digits
  Colour,      // "#" and 3, 4, 6 or 8 hexadecimal digits
  Name,        // a result: a letter, then letters and digits
  Id,          // "quillane-<effect>-<eight lower-case hexadecimal digits>"
};

struct Attribute {
  std::string_view name;
  Kind kind;
  std::string_view words = {};
};

// The elements and attributes of modern_filters.cpp, and no more.
constexpr Attribute kSvg[] = {{"xmlns", Kind::Exact, "http://www.w3.org/2000/svg"},
                              {"width", Kind::Exact, "0"},
                              {"height", Kind::Exact, "0"},
                              {"style", Kind::Exact, "position: absolute"},
                              {"aria-hidden", Kind::Exact, "true"}};
constexpr Attribute kFilter[] = {{"id", Kind::Id},
                                 {"color-interpolation-filters", Kind::Word, "sRGB"},
                                 {"x", Kind::Percentage},
                                 {"y", Kind::Percentage},
                                 {"width", Kind::Percentage},
                                 {"height", Kind::Percentage}};
constexpr Attribute kComponentTransfer[] = {{"in", Kind::Name}, {"result", Kind::Name}};
constexpr Attribute kFunction[] = {{"type", Kind::Word, "linear table"},
                                   {"slope", Kind::Number},
                                   {"intercept", Kind::Number},
                                   {"tableValues", Kind::Numbers}};
constexpr Attribute kColorMatrix[] = {{"in", Kind::Name}, {"values", Kind::Numbers}, {"result", Kind::Name}};
constexpr Attribute kComposite[] = {
    {"in", Kind::Name},   {"in2", Kind::Name},  {"operator", Kind::Word, "arithmetic in atop"},
    {"k2", Kind::Number}, {"k3", Kind::Number}, {"result", Kind::Name}};
constexpr Attribute kOffset[] = {
    {"in", Kind::Name}, {"dx", Kind::Number}, {"dy", Kind::Number}, {"result", Kind::Name}};
constexpr Attribute kGaussianBlur[] = {{"in", Kind::Name}, {"stdDeviation", Kind::Number}, {"result", Kind::Name}};
constexpr Attribute kMergeNode[] = {{"in", Kind::Name}};
constexpr Attribute kTurbulence[] = {{"type", Kind::Word, "fractalNoise"},
                                     {"baseFrequency", Kind::Numbers},
                                     {"numOctaves", Kind::Integer},
                                     {"seed", Kind::Integer},
                                     {"result", Kind::Name}};
constexpr Attribute kDisplacementMap[] = {{"in", Kind::Name},
                                          {"in2", Kind::Name},
                                          {"scale", Kind::Number},
                                          {"xChannelSelector", Kind::Word, "R G B A"},
                                          {"yChannelSelector", Kind::Word, "R G B A"},
                                          {"result", Kind::Name}};
constexpr Attribute kFlood[] = {{"flood-color", Kind::Colour}};

struct Element {
  std::string_view name;
  std::string_view parent;  // empty for the root
  std::span<const Attribute> attributes;
};

constexpr Element kElements[] = {
    {"svg", "", kSvg},
    {"filter", "svg", kFilter},
    {"feComponentTransfer", "filter", kComponentTransfer},
    {"feFuncR", "feComponentTransfer", kFunction},
    {"feFuncG", "feComponentTransfer", kFunction},
    {"feFuncB", "feComponentTransfer", kFunction},
    {"feFuncA", "feComponentTransfer", kFunction},
    {"feColorMatrix", "filter", kColorMatrix},
    {"feComposite", "filter", kComposite},
    {"feOffset", "filter", kOffset},
    {"feGaussianBlur", "filter", kGaussianBlur},
    {"feMerge", "filter", {}},
    {"feMergeNode", "feMerge", kMergeNode},
    {"feTurbulence", "filter", kTurbulence},
    {"feDisplacementMap", "filter", kDisplacementMap},
    {"feFlood", "filter", kFlood},
};

// The effects whose filters are SVG filters (modern_filters.cpp).
constexpr std::string_view kEffects[] = {"chroma", "blur", "wave", "special"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool allOf(std::string_view v, bool (*test)(char)) { return std::all_of(v.begin(), v.end(), test); }

bool isDigits(std::string_view v) { return !v.empty() && v.size() <= 9 && allOf(v, isDigit); }

bool isNumber(std::string_view v) {
  if (v.starts_with('-')) v.remove_prefix(1);
  const std::size_t dot = v.find('.');
  return dot == npos ? isDigits(v) : isDigits(v.substr(0, dot)) && isDigits(v.substr(dot + 1));
}

// Each word of `v`, one space apart, passes `test`; at most `most` words.
bool eachWord(std::string_view v, std::size_t most, bool (*test)(std::string_view)) {
  std::size_t count = 0;
  for (std::size_t at = 0;; ++count) {
    const std::size_t gap = std::min(v.find(' ', at), v.size());
    if (count == most || !test(v.substr(at, gap - at))) return false;
    if (gap == v.size()) return true;
    at = gap + 1;
  }
}

bool isValue(const Attribute& a, std::string_view v) {
  switch (a.kind) {
    case Kind::Exact:
      return v == a.words;
    case Kind::Word:
      return !v.empty() && v.find(' ') == npos &&
             (" " + std::string(a.words) + " ").find(" " + std::string(v) + " ") != npos;
    case Kind::Number:
      return isNumber(v);
    case Kind::Numbers:
      return eachWord(v, 20, isNumber);
    case Kind::Percentage:
      return v.ends_with('%') && isNumber(v.substr(0, v.size() - 1));
    case Kind::Integer:
      return isDigits(v);
    case Kind::Colour:
      return v.starts_with('#') && (v.size() == 4 || v.size() == 5 || v.size() == 7 || v.size() == 9) &&
             allOf(v.substr(1), isHex);
    case Kind::Name:
      return !v.empty() && v.size() <= 32 && isLetter(v[0]) &&
             std::all_of(v.begin(), v.end(), [](char c) { return isLetter(c) || isDigit(c); });
    case Kind::Id: {
      constexpr std::string_view kPrefix = "quillane-";
      if (!v.starts_with(kPrefix) || v.size() < kPrefix.size() + 9) return false;
      const std::string_view effect = v.substr(kPrefix.size(), v.size() - kPrefix.size() - 9);
      const std::string_view hash = v.substr(v.size() - 8);
      return std::find(std::begin(kEffects), std::end(kEffects), effect) != std::end(kEffects) &&
             v[v.size() - 9] == '-' &&
             std::all_of(hash.begin(), hash.end(), [](char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); });
    }
  }
  return false;
}

const Element* elementNamed(std::string_view name) {
  for (const Element& e : kElements)
    if (e.name == name) return &e;
  return nullptr;
}

std::string quoted(std::string_view text) { return "「" + shownText(text) + "」"; }

FilterBlock refusal(std::string_view what) {
  FilterBlock refused;
  refused.refused = "スタイルシートの SVG フィルターのコメント（" + std::string(kFilterBlockMarker) +
                    "）をページに入れられません。このプログラムが書き出すフィルターのほかに、" + std::string(what) +
                    "があります。";
  return refused;
}

// Reads the block (the comment's text after its first line, without "*/")
// and writes it anew; `refused` names the first thing that is not the
// modern output's. One pass; the elements nest four deep at most.
class BlockReader {
 public:
  explicit BlockReader(std::string_view text) : m_s(text) {}

  FilterBlock read() {
    FilterBlock result;
    if (!readAll()) return refusal(m_refused);
    if (m_filters > 0) result.block = std::move(m_out);
    return result;
  }

 private:
  struct Open {
    const Element* element;
    std::size_t written;  // the size of the output just after its start tag
  };

  bool refuse(std::string what) {
    m_refused = std::move(what);
    return false;
  }

  void skipBlanks() {
    while (m_p < m_s.size() && isBlank(m_s[m_p])) ++m_p;
  }

  std::string_view name() {
    const std::size_t start = m_p;
    if (m_p < m_s.size() && isLetter(m_s[m_p]))
      while (m_p < m_s.size() && (isLetter(m_s[m_p]) || isDigit(m_s[m_p]) || m_s[m_p] == '-' || m_s[m_p] == ':')) ++m_p;
    return m_s.substr(start, m_p - start);
  }

  // What stands at the current place, for a refusal: up to the next "<" or line end.
  std::string here() const {
    const std::size_t end = std::min(m_s.find_first_of("<\r\n", m_p + 1), m_s.size());
    return "「" + shownText(m_s.substr(m_p, end - m_p)) + "」";
  }

  bool readAll() {
    bool done = false;
    for (;;) {
      skipBlanks();
      if (m_p == m_s.size()) break;
      if (m_s[m_p] != '<' || done) return refuse("文字" + here());
      if (m_s.compare(m_p, 2, "</") == 0) {
        if (!endTag()) return false;
        done = m_open.empty();
      } else if (!startTag()) {
        return false;
      }
    }
    if (!m_open.empty()) return refuse("閉じていない要素" + quoted(m_open.back().element->name));
    return true;
  }

  bool endTag() {
    const std::size_t at = m_p;
    m_p += 2;
    const std::string_view tag = name();
    skipBlanks();
    if (m_p == m_s.size() || m_s[m_p] != '>' || m_open.empty() || tag != m_open.back().element->name) {
      m_p = at;
      return refuse("文字" + here());
    }
    ++m_p;
    close();
    return true;
  }

  void close() {
    const Open open = m_open.back();
    m_open.pop_back();
    if (m_open.empty()) {
      m_out.append("</svg>").append(kCrLf);
      return;
    }
    if (m_out.size() == open.written) {
      m_out.insert(m_out.size() - 1, "/");
    } else {
      m_out.append("</").append(open.element->name).append(">");
    }
    if (m_open.size() == 1) m_out.append(kCrLf);  // a filter: one a line
  }

  bool startTag() {
    ++m_p;
    const std::string_view tag = name();
    const Element* element = elementNamed(tag);
    const std::string_view parent = m_open.empty() ? std::string_view() : m_open.back().element->name;
    if (tag.empty()) {
      --m_p;
      return refuse("文字" + here());
    }
    if (element == nullptr || element->parent != parent) return refuse("要素" + quoted(tag));
    const bool root = m_open.empty();
    std::string written = root ? std::string(kFilterBlockStart) : "<" + std::string(tag);
    std::vector<std::string_view> seen;
    bool selfClosing = false;
    for (;;) {
      const std::size_t gap = m_p;
      skipBlanks();
      if (m_s.compare(m_p, 2, "/>") == 0) {
        m_p += 2;
        selfClosing = true;
        break;
      }
      if (m_p < m_s.size() && m_s[m_p] == '>') {
        ++m_p;
        break;
      }
      if (m_p == m_s.size()) return refuse("閉じていないタグ" + quoted(tag));
      const std::size_t at = m_p;
      const std::string_view attribute = name();
      if (at == gap || attribute.empty()) {
        m_p = at;
        return refuse("文字" + here());
      }
      const auto rule = std::find_if(element->attributes.begin(), element->attributes.end(),
                                     [&](const Attribute& a) { return a.name == attribute; });
      if (rule == element->attributes.end() || std::find(seen.begin(), seen.end(), attribute) != seen.end())
        return refuse("要素" + quoted(tag) + "の属性" + quoted(attribute));
      seen.push_back(attribute);
      skipBlanks();
      const char quote = m_p + 1 < m_s.size() && m_s[m_p] == '=' ? m_s[m_p + 1] : '\0';
      const std::size_t end = quote == '"' || quote == '\'' ? m_s.find(quote, m_p + 2) : npos;
      if (end == npos) {
        m_p = at;
        return refuse("文字" + here());
      }
      const std::string_view value = m_s.substr(m_p + 2, end - m_p - 2);
      m_p = end + 1;
      if (!isValue(*rule, value))
        return refuse("要素" + quoted(tag) + "の属性" + quoted(attribute) + "の値" + quoted(value));
      if (!root) written.append(" ").append(attribute).append("='").append(value).append("'");
    }
    if (tag == "filter" && std::find(seen.begin(), seen.end(), "id") == seen.end())
      return refuse("id のない要素「filter」");
    m_filters += tag == "filter" ? 1 : 0;
    m_out.append(written).append(root ? kCrLf : std::string_view(">"));
    m_open.push_back({element, m_out.size()});
    if (selfClosing) close();
    return true;
  }

  std::string_view m_s;
  std::size_t m_p = 0;
  std::string m_out;
  std::vector<Open> m_open;
  int m_filters = 0;
  std::string m_refused;
};

// The comment's block rebuilt: the comment must end with "*/"; a comment of
// one line, advice without a block, gives nothing.
FilterBlock rebuiltBlock(std::string_view comment) {
  if (comment.size() < 4 || !comment.ends_with("*/")) return refusal("閉じていないコメント");
  comment.remove_suffix(2);
  const std::size_t lineEnd = comment.find_first_of("\r\n");
  if (lineEnd == npos) return {};
  return BlockReader(comment.substr(lineEnd)).read();
}

}  // namespace

FilterBlock filterBlockOfStyleSheet(std::string_view css) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (css.starts_with(kUtf8Mark)) css.remove_prefix(kUtf8Mark.size());
  if (!css.starts_with("@charset \"UTF-8\";") || !isValidUtf8(css)) return {};
  const std::string marker = "/* " + std::string(kFilterBlockMarker) + ":";
  if (css.find(marker) == npos) return {};
  const css::StyleSheet sheet = css::parseStyleSheet(css);
  // A rule the text ends in runs to its end, and so does the prelude of one
  // the text ends in before its block, which the parser drops.
  const auto ruleEnd = [&](const css::Rule& rule) { return rule.closed ? rule.whole.end : css.size(); };
  std::size_t topLevelEnd = css.size();
  css::Tokenizer tail(css, nullptr, sheet.rules.empty() ? 0 : ruleEnd(sheet.rules.back()));
  for (css::Token t = tail.next(); t.type != css::TokenType::EndOfFile; t = tail.next()) {
    if (t.type != css::TokenType::Whitespace && t.type != css::TokenType::Cdo && t.type != css::TokenType::Cdc) {
      topLevelEnd = t.begin;
      break;
    }
  }
  std::size_t r = 0;
  for (const css::CommentRange& c : sheet.comments) {
    if (c.end > topLevelEnd) break;
    while (r < sheet.rules.size() && ruleEnd(sheet.rules[r]) <= c.begin) ++r;
    if (r < sheet.rules.size() && sheet.rules[r].whole.begin < c.end) continue;  // inside a rule
    const std::string_view comment = css.substr(c.begin, c.end - c.begin);
    if (comment.starts_with(marker)) return rebuiltBlock(comment);
  }
  return {};
}

std::string withFilterBlock(std::string_view page, std::string_view block) {
  bool allThere = true;
  for (std::size_t at = 0; (at = block.find("id='", at)) != npos;) {
    at += 4;
    const std::string_view id = block.substr(at, block.find('\'', at) - at);
    allThere = allThere && page.find(id) != npos;
  }
  if (block.empty() || allThere) return std::string(page);
  const BodyStart start = bodyStart(page);
  std::string inserted(block);
  if (start.pastTag) {
    inserted.insert(0, kCrLf);
    if (inserted.ends_with(kCrLf) && page.substr(start.at).starts_with(kCrLf)) inserted.resize(inserted.size() - 2);
  }
  std::string result(page.substr(0, start.at));
  return result.append(inserted).append(page.substr(start.at));
}

}  // namespace quillane
