#include "importing/style_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <new>
#include <ranges>
#include <set>
#include <stdexcept>

#include "css/css_parser.h"
#include "generation/filter_emitters.h"
#include "generation/modern_filters.h"
#include "generation/modern_stylesheet.h"
#include "generation/modern_values.h"
#include "generation/output_choice.h"
#include "generation/stylesheet_text.h"
#include "generation/value_checks.h"
#include "importing/legacy_rules.h"
#include "importing/modern_rules.h"
#include "persistence/kept_style_line.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

namespace quillane {

namespace {

using css::Declaration;
using css::Range;
using css::Rule;
using css::Token;
using css::TokenType;

constexpr std::string_view kCrLf = "\r\n";

// --- How a sheet is framed in each output ---------------------------------

// What stands around the rules in the style text of each output: the legacy
// page wraps them in "<!--" and "-->", the modern sheet starts with @charset.
struct Frame {
  std::string_view head;
  std::string_view tail;
};

Frame frameOf(bool modern, bool page) {
  if (page) return modern ? Frame{"\r\n", ""} : Frame{" \r\n<!--\r\n", "-->\r\n"};
  return modern ? Frame{"@charset \"UTF-8\";\r\n", ""} : Frame{"", ""};
}

std::string generatedRules(const StyleDocument& doc, bool modern, bool& ok) {
  StyleDocument bare = doc;
  bare.keptStyle.clear();
  std::string t;
  ok = modern ? !appendModernStyleRules(bare, t) : !appendStyleRules(bare, t);
  return t;
}

// Whether `out` is written: built, and every character held by its encoding.
bool written(const OutputText& out) {
  std::string bytes;
  UnencodableCharacter bad;
  return out.ok() && encodeOutput(out, bytes, bad);
}

// Whether writing `doc` gives back exactly the file the source was read
// from, trying the page's sample and line-break choices, which no setting
// file holds. On success `doc` holds the choices that did it. (A text
// whose bytes were not all read, "\xFF" become U+FFFD, is not given back
// by an output that cannot write U+FFFD.)
bool writesBack(StyleDocument& doc, const StyleSource& source) {
  if (!source.page) {
    const OutputText out = styleSheetOutput(doc);
    return out.text == source.decoded && written(out);
  }
  for (CheckState sample : {1, 0}) {
    for (CheckState breaks : {1, 0}) {
      doc.output.htmlSample = sample;
      doc.output.htmlBreaks = breaks;
      const OutputText out = embeddedPageOutput(doc);
      if (out.text == source.decoded && written(out)) return true;
    }
  }
  doc.output.htmlSample = doc.output.htmlBreaks = 1;
  return false;
}

// The text after the generated rules, when the style text is exactly the
// frame's head, the rules `doc` generates and then something the form left
// alone (every rule the form took standing within the generated part).
std::optional<std::string> textAfterGenerated(const StyleDocument& doc, const StyleSource& source, bool modern,
                                              std::size_t formEnd) {
  const Frame frame = frameOf(modern, source.page);
  std::string_view style = source.style;
  if (!style.starts_with(frame.head) || !style.ends_with(frame.tail) ||
      style.size() < frame.head.size() + frame.tail.size())
    return std::nullopt;
  bool ok = true;
  const std::string rules = generatedRules(doc, modern, ok);
  style = style.substr(frame.head.size(), style.size() - frame.head.size() - frame.tail.size());
  // A modern sheet ends with the comment holding its SVG filters, after the kept text.
  if (modern && !source.page) {
    const std::string filters = modernFilterComment(doc);
    if (!style.ends_with(filters)) return std::nullopt;
    style.remove_suffix(filters.size());
  }
  if (!ok || !style.starts_with(rules) || formEnd > frame.head.size() + rules.size()) return std::nullopt;
  return std::string(style.substr(rules.size()));
}

std::string shortened(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (c == '\r' || c == '\n' || c == '\t' || c == ' ') {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
    if (out.size() > 80) break;  // enough to know it is cut; a rule may be megabytes
  }
  if (out.size() > 80) {
    std::size_t cut = 77;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) --cut;
    out = out.substr(0, cut) + "...";
  }
  return out;
}

// Whether a settings file can hold the text as a value: one line, not too
// long, and every character one CP932 gives back as it was.
bool storable(std::string_view text) {
  if (text.size() > kMaxSettingsLineBytes || text.find_first_of("\r\n") != std::string_view::npos) return false;
  std::string bytes;
  std::string back;
  UnencodableCharacter bad;
  std::size_t badOffset = 0;
  return encodeCp932(text, bytes, bad) && decodeCp932(bytes, back, badOffset) && back == text;
}

// Whether every text field of the form holds only what a settings file can.
bool storableFields(const StyleDocument& doc) {
  for (const TagSlot& s : doc.slots)
    for (const std::string* t : {&s.weight, &s.imagePath, &s.fontName, &s.fontSize, &s.sizeUnit, &s.cursorLabel})
      if (!storable(*t)) return false;
  for (const std::string& c : doc.colours)
    if (!storable(c)) return false;
  for (const UserClass& c : doc.classes)
    for (const std::string* t : {&c.className, &c.chromaColor, &c.glowColor, &c.shadowColor, &c.specialColor1,
                                 &c.specialColor2, &c.specialStrength, &c.opacity})
      if (!storable(*t)) return false;
  return true;
}

// --- The legacy output, line by line --------------------------------------

// The entries of an attempt: the first kMaxImportEntries by line (those of
// one line in the order they came) and a count of the rest. Trimmed as they
// come, they are the same as the first of all of them sorted, since an
// entry never goes before one of its line that came earlier.
struct Entries {
  std::vector<ImportEntry> held;
  std::array<std::size_t, 3> omitted{};

  void push(ImportEntry entry) {
    held.push_back(std::move(entry));
    if (held.size() >= 2 * kMaxImportEntries) trim();
  }
  void trim() {
    std::stable_sort(held.begin(), held.end(),
                     [](const ImportEntry& x, const ImportEntry& y) { return x.line < y.line; });
    for (std::size_t k = kMaxImportEntries; k < held.size(); ++k) ++omitted[static_cast<std::size_t>(held[k].place)];
    if (held.size() > kMaxImportEntries) held.resize(kMaxImportEntries);
  }
};

struct Attempt {
  StyleDocument doc;
  Entries entries;
  std::size_t formEnd = 0;  // the end of the last rule the form took
  int taken = 0;
};

Attempt readLegacy(const StyleSource& source, const css::StyleSheet& sheet, const StyleDocument& start,
                   std::size_t& reading) {
  Attempt a{start, {}, 0, 0};
  const std::string_view style = source.style;
  int classes = 0;
  for (const Rule& rule : sheet.rules) {
    reading = rule.whole.begin;
    if (rule.kind != Rule::Kind::Qualified || !rule.closed) continue;
    // The writers put one blank between the selector and "{".
    if (rule.block.begin != rule.prelude.end + 2 || style[rule.prelude.end] != ' ') continue;
    const std::string_view selector = rule.prelude.of(style);
    const std::string_view block = rule.block.of(style);
    bool taken = false;
    if (const int slot = legacySlotOf(selector); slot >= 0) {
      taken = readLegacySlotBlock(block, slot, a.doc);
    } else if (selector.starts_with(".") && classes < kUserClassCount) {
      UserClass cls;
      cls.className = cls.checkCaption = std::string(selector.substr(1));
      cls.enabled = 1;
      taken = readLegacyClassBlock(block, cls);
      if (taken) a.doc.classes[static_cast<std::size_t>(classes++)] = cls;
    }
    if (!taken) continue;
    ++a.taken;
    a.formEnd = rule.whole.end;
    a.entries.push({source.lineOf(rule.whole.begin), ImportEntry::Place::Form, std::string(selector)});
  }
  return a;
}

// --- CSS as a browser reads it ----------------------------------------------

// Specificity of a selector and the element type its subject names ("" for
// any): enough to tell whether two rules can tie on one element.
struct Tie {
  int ids = 0, classes = 0, types = 0;
  std::string subject;
  bool unknown = false;  // :is(), :not() and the like: assume it can tie with anything
};

// The tokens of `range` (blanks left out unless `blanks`), or nothing when
// there are more than `limit`: what the import reads token by token (a
// selector, a value) is short, and anything longer is no business of the
// form's, so no text makes it hold more.
std::optional<std::vector<Token>> tokensOf(std::string_view text, Range range, std::size_t limit, bool blanks = false) {
  std::vector<Token> tokens;
  css::Tokenizer tokenizer(text.substr(0, range.end), nullptr, range.begin);
  for (Token t = tokenizer.next(); t.type != TokenType::EndOfFile; t = tokenizer.next()) {
    if (!blanks && t.type == TokenType::Whitespace) continue;
    if (tokens.size() == limit) return std::nullopt;
    tokens.push_back(t);
  }
  return tokens;
}

// A selector list longer than this, or with more different ties, is taken
// to tie with anything: the import then keeps more as text, never less.
constexpr std::size_t kMostSelectorTokens = 1024;
constexpr std::size_t kMostTies = 16;

std::vector<Tie> tiesOf(std::string_view text, Range prelude) {
  const std::vector<Tie> anything = {Tie{0, 0, 0, "", true}};
  auto read = tokensOf(text, prelude, kMostSelectorTokens, true);
  if (!read) return anything;
  std::vector<Token>& tokens = *read;
  tokens.emplace_back();  // the end of the text
  std::vector<Tie> ties(1);
  std::size_t k = 0;
  int depth = 0;
  for (; k < tokens.size() && tokens[k].type != TokenType::EndOfFile; ++k) {
    const Token& t = tokens[k];
    Tie& tie = ties.back();
    const auto next = [&](std::size_t ahead) -> const Token* {
      return k + ahead < tokens.size() ? &tokens[k + ahead] : nullptr;
    };
    if (depth > 0) {
      if (t.type == TokenType::LeftParen || t.type == TokenType::Function || t.type == TokenType::LeftSquare) ++depth;
      if (t.type == TokenType::RightParen || t.type == TokenType::RightSquare) --depth;
      continue;
    }
    switch (t.type) {
      case TokenType::Comma:
        ties.emplace_back();
        break;
      case TokenType::Hash:
        ++tie.ids;
        break;
      case TokenType::LeftSquare:
        ++tie.classes;
        ++depth;
        break;
      case TokenType::Ident:
        ++tie.types;
        tie.subject = css::asciiLower(css::tokenValue(text, t));
        break;
      case TokenType::Whitespace:
        if (const Token* n = next(1); n && n->type != TokenType::Comma && n->type != TokenType::EndOfFile)
          tie.subject.clear();
        break;
      case TokenType::Delim:
        if (t.delim == '.') {
          ++tie.classes;
          ++k;
        } else if (t.delim == '>' || t.delim == '+' || t.delim == '~') {
          tie.subject.clear();
        }
        break;
      case TokenType::Colon: {
        const Token* n = next(1);
        if (n && n->type == TokenType::Colon) {
          ++tie.types;
          k += 2;
          if (const Token* f = next(0); f && f->type == TokenType::Function) ++depth;
        } else if (n && n->type == TokenType::Ident) {
          const std::string name = css::asciiLower(css::tokenValue(text, *n));
          ++(name == "before" || name == "after" || name == "first-line" || name == "first-letter" ? tie.types
                                                                                                   : tie.classes);
          ++k;
        } else if (n && n->type == TokenType::Function) {
          const std::string name = css::asciiLower(css::tokenValue(text, *n));
          if (name.starts_with("nth-") || name == "lang" || name == "dir")
            ++tie.classes;
          else
            tie.unknown = true;
          ++k;
          ++depth;
        }
        break;
      }
      case TokenType::Function:
      case TokenType::LeftParen:
        ++depth;
        tie.unknown = true;
        break;
      default:
        break;
    }
  }
  // The same tie twice counts once.
  std::vector<Tie> distinct;
  for (const Tie& tie : ties) {
    const bool seen = std::any_of(distinct.begin(), distinct.end(), [&](const Tie& d) {
      return d.ids == tie.ids && d.classes == tie.classes && d.types == tie.types && d.subject == tie.subject &&
             d.unknown == tie.unknown;
    });
    if (seen) continue;
    if (distinct.size() == kMostTies) return anything;
    distinct.push_back(tie);
  }
  return distinct;
}

// The declarations left as text, by what they can meet: the root of the
// property ("background" for "background-color"), the specificity and the
// element of each selector. A lookup sees only those that can tie with one
// target. Only what a lookup can find is held: declarations of the
// properties asked about (or their shorthands, their longhands or "all"),
// in rules that tie as a target can; of each, the first place. So the index
// stays small whatever the sheet holds.
class KeptIndex {
 public:
  KeptIndex(const std::set<std::string>& asked, const std::vector<Tie>& targets) {
    for (const std::string& p : asked) {
      m_longhandsOf.insert(p);
      m_exact.insert(p);
      for (std::size_t dash = p.find('-', 1); dash != std::string::npos; dash = p.find('-', dash + 1))
        m_exact.insert(p.substr(0, dash));  // its shorthands
    }
    m_exact.insert("all");
    for (Tie t : targets) {
      m_ties.insert(signature(t));
      t.subject.clear();
      m_ties.insert(signature(t));
    }
    m_ties.insert(signature(Tie{0, 0, 0, "", true}));
  }

  // A declaration of `property` kept at `offset` in a rule of `ties`.
  void add(std::size_t offset, const std::string& property, const std::vector<Tie>& ties) {
    const std::string root = rootOf(property);
    for (const Tie& t : ties) {
      const std::string tie = signature(t);
      if (!m_ties.contains(tie)) continue;
      if (m_exact.contains(property)) note("=" + root + "|" + tie + "|" + property, offset);
      // A longhand of an asked property: the asked ones have at most three dashes.
      std::size_t dash = property.find('-', 1);
      for (int n = 0; n < 4 && dash != std::string::npos; ++n, dash = property.find('-', dash + 1))
        if (const std::string shorter = property.substr(0, dash); m_longhandsOf.contains(shorter))
          note("<" + root + "|" + tie + "|" + shorter, offset);
    }
  }

  // Whether a declaration kept before `offset` sets one of `properties`
  // (or a shorthand or longhand of one, or "all") in a rule that can tie
  // with `target`.
  bool interferes(std::size_t offset, const std::vector<std::string>& properties, const Tie& target) const {
    Tie any = target;
    any.subject.clear();
    const std::string ties[] = {signature(target), signature(any), signature(Tie{0, 0, 0, "", true})};
    const auto before = [&](const std::string& key) {
      const auto it = m_first.find(key);
      return it != m_first.end() && it->second < offset;
    };
    for (const std::string& p : properties) {
      const std::string root = rootOf(p);
      for (const std::string& tie : ties) {
        if (before("=all|" + tie + "|all") || before("=" + root + "|" + tie + "|" + p) ||
            before("<" + root + "|" + tie + "|" + p))
          return true;
        for (std::size_t dash = p.find('-', 1); dash != std::string::npos; dash = p.find('-', dash + 1))
          if (before("=" + root + "|" + tie + "|" + p.substr(0, dash))) return true;
      }
    }
    return false;
  }

 private:
  static std::string rootOf(const std::string& property) {
    if (property.starts_with("--")) return property;
    return property.substr(0, property.find('-'));
  }
  static std::string signature(const Tie& t) {
    if (t.unknown) return "?";
    return std::to_string(t.ids) + "," + std::to_string(t.classes) + "," + std::to_string(t.types) + "|" + t.subject;
  }
  void note(const std::string& key, std::size_t offset) {
    const auto [it, added] = m_first.try_emplace(key, offset);
    if (!added) it->second = std::min(it->second, offset);
  }

  std::set<std::string> m_exact;        // asked properties and their shorthands, and "all"
  std::set<std::string> m_longhandsOf;  // asked properties
  std::set<std::string> m_ties;         // signatures a lookup asks for
  std::map<std::string, std::size_t> m_first;
};

// The form's targets: the six tag slots, then the six classes, then the
// switch of the dark variant (`:root { color-scheme: light dark; }`).
constexpr int kClassTarget = 100;
constexpr int kSchemeTarget = 120;

// The dark block of the modern output holds no more rules than this (six
// slots, six classes, the scrollbar's seven); a longer one stays text.
constexpr std::size_t kMostDarkRules = 32;

// Whether an at-rule's prelude is "(prefers-color-scheme: dark)", blanks
// and letter case aside.
bool isDarkQuery(std::string_view text, Range prelude) {
  const auto tokens = tokensOf(text, prelude, 6);
  if (!tokens || tokens->size() != 5) return false;
  const std::vector<Token>& v = *tokens;
  return v[0].type == TokenType::LeftParen && v[1].type == TokenType::Ident &&
         css::asciiLower(css::tokenValue(text, v[1])) == "prefers-color-scheme" && v[2].type == TokenType::Colon &&
         v[3].type == TokenType::Ident && css::asciiLower(css::tokenValue(text, v[3])) == "dark" &&
         v[4].type == TokenType::RightParen;
}

// "color-scheme: light dark", the declaration that switches the dark variant on.
bool isLightDarkScheme(std::string_view text, const Declaration& d) {
  if (css::asciiLower(d.name) != "color-scheme" || d.important) return false;
  const auto v = tokensOf(text, d.value, 3);
  return v && v->size() == 2 && (*v)[0].type == TokenType::Ident && (*v)[1].type == TokenType::Ident &&
         css::asciiLower(css::tokenValue(text, (*v)[0])) == "light" &&
         css::asciiLower(css::tokenValue(text, (*v)[1])) == "dark";
}

// The slot of a selector written in any case: "p", "A:Hover".
int slotOf(std::string_view selector) {
  const std::string lower = css::asciiLower(selector);
  static constexpr std::array<std::pair<std::string_view, int>, kTagSlotCount> kSelectors = {{
      {"body", kSlotBody},
      {"p", kSlotP},
      {"a", kSlotA},
      {"a:visited", kSlotVisited},
      {"a:hover", kSlotHover},
      {"a:active", kSlotActive},
  }};
  for (const auto& [text, slot] : kSelectors)
    if (lower == text) return slot;
  return -1;
}

// No value the form takes has more tokens than this (a font list of the
// stack table has eleven).
constexpr std::size_t kMostValueTokens = 64;

// The families of a font-family value, each as a browser tells them apart:
// "g" and the keyword of a generic family, "f" and the name of any other.
//   Osaka, "MS Mincho", SERIF -> "fOsaka", "fMS Mincho", "gserif"
// Empty when the value is not a list of families.
std::vector<std::string> familyList(std::string_view text, const std::vector<Token>& v) {
  std::vector<std::string> out;
  for (std::size_t k = 0; k <= v.size(); ++k) {
    if (k < v.size() && v[k].type == TokenType::String) {
      out.push_back("f" + css::tokenValue(text, v[k]));
      ++k;
    } else {
      std::string name;
      std::size_t words = 0;
      for (; k < v.size() && v[k].type == TokenType::Ident; ++k, ++words)
        name += (name.empty() ? "" : " ") + css::tokenValue(text, v[k]);
      if (words == 0) return {};
      // A generic family is one keyword, never quoted.
      const bool generic = words == 1 && fontFamilyValue(name).front() != '"';
      out.push_back(generic ? "g" + css::asciiLower(name) : "f" + name);
    }
    if (k < v.size() && v[k].type != TokenType::Comma) return {};
  }
  return out;
}

// A setting the form takes from one declaration.
using Setting = std::function<void(StyleDocument&)>;

// A colour as the modern output writes it, "#" and hexadecimal digits: the
// digits, as the form holds them, or nothing.
std::optional<std::string> hexColour(std::string_view text, const Token& t) {
  if (t.type != TokenType::Hash) return std::nullopt;
  const std::string hex = css::tokenValue(text, t);
  if (!cssColour(hex) || hex != trimmedBlanks(hex)) return std::nullopt;
  return hex;
}

// A gradient as the modern output writes it, from token `k` to the last:
//   linear-gradient(90deg, #FFFFFF, #DDDDDD);  radial-gradient(#FFF, #808080, #000)
// `first` is its first colour, the slot's background colour.
struct GradientRead {
  Gradient gradient;
  std::string first;
};

std::optional<GradientRead> gradientOf(std::string_view text, const std::vector<Token>& v, std::size_t k) {
  if (k >= v.size() || v[k].type != TokenType::Function) return std::nullopt;
  GradientRead read;
  const std::string name = css::asciiLower(css::tokenValue(text, v[k++]));
  if (name != "linear-gradient" && name != "radial-gradient") return std::nullopt;
  read.gradient.kind = name == "linear-gradient" ? GradientKind::Linear : GradientKind::Radial;
  read.gradient.angle.clear();
  if (read.gradient.kind == GradientKind::Linear && k + 1 < v.size() && v[k].type == TokenType::Dimension) {
    // The angle as the form writes it again: "90deg", "45.5deg".
    // Within the numbers the form writes back as they are.
    const std::string angle = cssNumber(v[k].number);
    if (std::abs(v[k].number) > 1000000 || css::tokenText(text, v[k]) != angle + "deg" ||
        v[k + 1].type != TokenType::Comma)
      return std::nullopt;
    read.gradient.angle = angle;
    k += 2;
  }
  std::vector<std::string> colours;
  for (;; ++k) {
    if (k >= v.size()) return std::nullopt;
    const auto colour = hexColour(text, v[k++]);
    if (!colour || colours.size() == 3 || k >= v.size()) return std::nullopt;
    colours.push_back(*colour);
    if (v[k].type == TokenType::RightParen) break;
    if (v[k].type != TokenType::Comma) return std::nullopt;
  }
  if (k + 1 != v.size() || colours.size() < 2) return std::nullopt;
  read.first = colours[0];
  read.gradient.colours = {colours[1], colours.size() == 3 ? colours[2] : std::string()};
  return read;
}

// What the form makes of a declaration of a tag slot, or nothing. Values
// are taken only in a form the modern output writes to the same effect.
// A gradient sets `*gradient` (when given) to true.
std::optional<Setting> slotSetting(std::string_view text, const Declaration& d, int slot, std::string& property,
                                   bool* gradient = nullptr) {
  property = css::asciiLower(d.name);
  const std::optional<std::vector<Token>> tokens = tokensOf(text, d.value, kMostValueTokens);
  if (!tokens) return std::nullopt;
  const std::vector<Token>& v = *tokens;
  const auto one = [&](TokenType type) { return v.size() == 1 && v[0].type == type; };
  const auto value = [&](std::size_t k) { return css::tokenValue(text, v[k]); };
  const auto lowerValue = [&](std::size_t k) { return css::asciiLower(value(k)); };
  const std::size_t i = static_cast<std::size_t>(slot);

  if (property == "color" || property == "background-color" ||
      (slot == kSlotBody && property.starts_with("scrollbar-") && property.ends_with("-color"))) {
    const auto read = v.size() == 1 ? hexColour(text, v[0]) : std::nullopt;
    if (!read) return std::nullopt;
    const std::string hex = *read;
    int index = property == "color" ? foreColourIndex(slot) : backColourIndex(slot);
    if (property.starts_with("scrollbar-")) {
      static constexpr std::array<std::pair<std::string_view, int>, kScrollbarColourCount> kRows = {{
          {"scrollbar-arrow-color", 11},
          {"scrollbar-base-color", 12},
          {"scrollbar-face-color", 12},
          {"scrollbar-highlight-color", 14},
          {"scrollbar-3dlight-color", 13},
          {"scrollbar-shadow-color", 16},
          {"scrollbar-darkshadow-color", 15},
      }};
      index = -1;
      for (const auto& [name, k] : kRows)
        if (property == name) index = k;
      if (property == "scrollbar-track-color") index = 17;
      if (index < 0) return std::nullopt;
      return [index, hex](StyleDocument& doc) {
        doc.colours[static_cast<std::size_t>(index)] = hex;
        doc.scrollbarCheck(index) = 1;
      };
    }
    return [index, hex](StyleDocument& doc) { doc.colours[static_cast<std::size_t>(index)] = hex; };
  }
  if (property == "font-weight") {
    std::string weight;
    if (one(TokenType::Number) && v[0].integer && v[0].number >= 1 && v[0].number <= 1000 &&
        css::tokenText(text, v[0]).find_first_not_of("0123456789") == std::string_view::npos)
      weight = css::tokenText(text, v[0]);
    else if (one(TokenType::Ident) && (lowerValue(0) == "normal" || lowerValue(0) == "bold" ||
                                       lowerValue(0) == "bolder" || lowerValue(0) == "lighter"))
      weight = lowerValue(0);
    if (weight.empty()) return std::nullopt;
    return [i, weight](StyleDocument& doc) { doc.slots[i].weight = weight; };
  }
  if (property == "background-image") {
    // A picture, a gradient, or a picture over a gradient.
    std::string path;
    std::size_t k = 0;
    if (!v.empty() && v[0].type == TokenType::Url) {
      path = value(0), k = 1;
    } else if (v.size() >= 3 && v[0].type == TokenType::Function && lowerValue(0) == "url" &&
               v[1].type == TokenType::String && v[2].type == TokenType::RightParen) {
      path = value(1), k = 3;
    }
    if (k > 0 &&
        (path.empty() || path != trimmedBlanks(path) || !storable(path) || refusedPart(ValueKind::UrlPath, path)))
      return std::nullopt;
    std::optional<GradientRead> read;
    if (k < v.size()) {
      if (k > 0 && v[k++].type != TokenType::Comma) return std::nullopt;
      read = gradientOf(text, v, k);
      if (!read) return std::nullopt;
    }
    if (k == 0 && !read) return std::nullopt;
    if (gradient) *gradient = read.has_value();
    return [i, path, read](StyleDocument& doc) {
      doc.slots[i].useImage = path.empty() ? Choice::Second : Choice::First;
      doc.slots[i].imagePath = path;
      // The dark colours are the dark block's, read after.
      if (read) doc.gradients[i] = {read->gradient.kind, read->gradient.angle, read->gradient.colours, {}};
    };
  }
  if (property == "background-attachment") {
    if (!one(TokenType::Ident) || lowerValue(0) != "fixed") return std::nullopt;
    return [](StyleDocument& doc) { doc.fixedBackground = 1; };
  }
  if (property == "text-decoration") {
    std::array<CheckState, 4> lines{};
    static constexpr std::array<std::string_view, 4> kWords = {"underline", "overline", "line-through", "blink"};
    for (std::size_t k = 0; k < v.size(); ++k) {
      if (v[k].type != TokenType::Ident) return std::nullopt;
      const auto word = std::find(kWords.begin(), kWords.end(), lowerValue(k));
      if (word == kWords.end() || lines[static_cast<std::size_t>(word - kWords.begin())] == 1) return std::nullopt;
      lines[static_cast<std::size_t>(word - kWords.begin())] = 1;
    }
    // The modern output writes blink as an animation; alone it would leave
    // out the text-decoration this declaration resets.
    if (v.empty() || (lines[3] == 1 && lines[0] + lines[1] + lines[2] == 0)) return std::nullopt;
    return [i, lines](StyleDocument& doc) {
      TagSlot& s = doc.slots[i];
      s.underline = lines[0];
      s.overline = lines[1];
      s.lineThrough = lines[2];
      if (lines[3] == 1) s.blink = 1;
    };
  }
  if (property == "animation") {
    if (d.value.of(text) != std::string(kBlinkAnimation) + " 1s step-end infinite") return std::nullopt;
    return [i](StyleDocument& doc) { doc.slots[i].blink = 1; };
  }
  if (property == "font-family") {
    // The list the modern output writes for its first family: that font and
    // its generic family, a stack of the table, or a generic family alone.
    const std::vector<std::string> families = familyList(text, v);
    if (families.empty()) return std::nullopt;
    const std::string family = families[0].substr(1);
    if (family.empty() || family != trimmedBlanks(family) || !storable(family) ||
        refusedPart(ValueKind::FontName, family))
      return std::nullopt;
    const std::string written = fontFamilyValue(family);
    const auto writtenTokens = tokensOf(written, {0, written.size()}, kMostValueTokens);
    if (!writtenTokens || familyList(written, *writtenTokens) != families) return std::nullopt;
    return [i, family](StyleDocument& doc) { doc.slots[i].fontName = family; };
  }
  if (property == "font-style") {
    if (!one(TokenType::Ident) || lowerValue(0) != "italic") return std::nullopt;
    return [i](StyleDocument& doc) { doc.slots[i].italic = 1; };
  }
  if (property == "font-size") {
    if (v.size() != 1 || (v[0].type != TokenType::Dimension && v[0].type != TokenType::Percentage) || v[0].number < 0)
      return std::nullopt;
    const std::string_view written = css::tokenText(text, v[0]);
    const std::string size = cssNumber(v[0].number);
    std::string unit = v[0].type == TokenType::Percentage ? "%" : value(0);
    if (!written.starts_with(size) || written.substr(size.size()) != unit) return std::nullopt;
    if (unit.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ%") != std::string::npos)
      return std::nullopt;
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kUnits = {{
        {"px", "ピクセル"},
        {"pt", "ポイント"},
        {"in", "インチ"},
        {"mm", "ミリメートル"},
        {"cm", "センチメートル"},
    }};
    for (const auto& [suffix, label] : kUnits)
      if (css::asciiLower(unit) == suffix) unit = label;
    return [i, size, unit](StyleDocument& doc) {
      doc.slots[i].fontSize = size;
      doc.slots[i].sizeUnit = unit;
    };
  }
  if (property == "cursor") {
    // "auto" is left out by the modern output, which would let an inherited cursor through.
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kCursors = {{
        {"default", "通常"},
        {"pointer", "リンク"},
        {"crosshair", "十字"},
        {"wait", "砂時計"},
        {"move", "移動"},
        {"text", "文字入力"},
        {"help", "ヘルプ"},
        {"n-resize", "サイズ変更　上-下"},
        {"w-resize", "サイズ変更　左-右"},
        {"nw-resize", "サイズ変更　左上-右下"},
        {"sw-resize", "サイズ変更　左下-右上"},
    }};
    if (!one(TokenType::Ident)) return std::nullopt;
    std::string label = lowerValue(0);
    if (label == "auto") return std::nullopt;
    for (const auto& [keyword, caption] : kCursors)
      if (label == keyword) label = caption;
    if (label.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") != std::string::npos && label == lowerValue(0))
      return std::nullopt;
    return [i, label](StyleDocument& doc) { doc.slots[i].cursorLabel = label; };
  }
  return std::nullopt;
}

// One declaration the form may take. A sheet may hold a million of them,
// so it is small: its setting is made again for the few the form takes.
struct Candidate {
  std::uint32_t rule = 0;    // index into the sheet's rules
  std::uint32_t offset = 0;  // of the declaration (or rule) in the style text
  std::uint32_t begin = 0;   // the declaration the form takes, where `declared`
  std::uint32_t end = 0;
  std::uint16_t key = 0;       // into the importer's keys: "1color", "class name"
  std::uint16_t property = 0;  // the declaration's name in lower case, into the importer's keys
  std::int8_t target = 0;      // slot, or kClassTarget + class
  bool declared = false;       // false for a class's whole modern rule
  bool gradient = false;       // a background-image with a gradient
  bool noPicture = false;      // a background-image of a gradient alone
  bool forcedKept = false;
  // Decided by a pass:
  bool taken = false;
  bool overridden = false;
};
static_assert(sizeof(Candidate) <= 28);
static_assert(kClassTarget + kUserClassCount <= kSchemeTarget && kSchemeTarget <= 127);
static_assert(kMaxImportBytes < std::uint32_t{0xFFFFFFFF});

// Candidates stand in the order of their rules.
struct Order {
  bool operator()(const Candidate& c, std::size_t r) const { return c.rule < r; }
  bool operator()(std::size_t r, const Candidate& c) const { return r < c.rule; }
};

class Importer {
 public:
  // `reading` follows the rule being read, for a refusal.
  Importer(const StyleSource& source, const css::StyleSheet& sheet, std::size_t& reading)
      : m_source(source), m_text(source.style), m_sheet(sheet), m_reading(reading) {}

  Attempt run(const StyleDocument& start) {
    collect();
    for (int pass = 0; pass < 8; ++pass) {
      decide();
      if (!forceOrderConflicts()) break;
    }
    Attempt a{start, {}, 0, 0};
    build(a);
    return a;
  }

 private:
  // An @import, @namespace or @layer statement counts only before every
  // other rule, and the writers put the kept text's leading ones first.
  // Where one comes after a rule (a browser ignores such an @import or
  // @namespace; a layer statement counts where it stands), the first rule
  // stays text, so that in the kept text too it stands before them and
  // they stay where they were. The index of that rule, or none.
  std::size_t ruleBeforeLateStatements() const {
    std::size_t first = std::string::npos;
    for (std::size_t r = 0; r < m_sheet.rules.size(); ++r) {
      const Rule& rule = m_sheet.rules[r];
      const std::string name = rule.kind == Rule::Kind::At ? css::asciiLower(rule.atName(m_text)) : std::string();
      if (name == "charset") continue;
      if (!rule.hasBlock && (name == "import" || name == "namespace" || name == "layer")) {
        if (first != std::string::npos) return first;
      } else if (first == std::string::npos) {
        first = r;
      }
    }
    return std::string::npos;
  }

  void collect() {
    m_role.assign(m_sheet.rules.size(), Role::Kept);
    int classes = 0;
    const std::size_t heldBack = ruleBeforeLateStatements();
    for (std::size_t r = 0; r < m_sheet.rules.size(); ++r) {
      const Rule& rule = m_sheet.rules[r];
      m_reading = rule.whole.begin;
      if (r == heldBack) continue;
      if (rule.kind == Rule::Kind::At) {
        const std::string name = css::asciiLower(rule.atName(m_text));
        if (name == "charset") m_role[r] = Role::Dropped;
        if (name == "keyframes" && isModernBlinkKeyframes(rule.whole.of(m_text))) m_role[r] = Role::BlinkKeyframes;
        // The modern output's scrollbar rules, whole.
        if (name == "supports") readScrollbarGroup(r);
        // The dark variant's block: kept, and so counted as kept while the
        // form decides, until the form has its light colours to read it by.
        if (name == "media" && rule.hasBlock && m_darkRule == kNone && isDarkQuery(m_text, rule.prelude))
          m_darkRule = r;
        continue;
      }
      if (!rule.hasBlock) continue;
      const std::string_view selector = rule.prelude.of(m_text);
      if (css::asciiLower(selector) == ":root") {
        const std::size_t before = m_candidates.size();
        bool others = false;
        css::walkDeclarations(
            m_text, rule.block,
            [&](const Declaration& d) {
              if (isLightDarkScheme(m_text, d)) addCandidate(r, &d, kSchemeTarget, "color-scheme", d.whole.begin);
            },
            [&](Range) { others = true; });
        if (!others) {
          m_role[r] = Role::Slot;
          continue;
        }
        m_candidates.resize(before);
        continue;
      }
      const int slot = slotOf(selector);
      if (slot >= 0) {
        // Declarations are read where needed, never held: a rule may have a million.
        const std::size_t before = m_candidates.size();
        bool others = false;
        css::walkDeclarations(
            m_text, rule.block,
            [&](const Declaration& d) {
              if (others) return;
              std::string property;
              bool gradient = false;
              auto setting = slotSetting(m_text, d, slot, property, &gradient);
              if (!setting || d.important) return;
              const std::string key = property == "scrollbar-base-color" ? "scrollbar-face-color" : property;
              addCandidate(r, &d, slot, std::to_string(slot) + key, d.whole.begin);
              m_candidates.back().gradient = gradient;
              m_candidates.back().noPicture = gradient && !css::asciiLower(d.value.of(m_text)).starts_with("url");
            },
            [&](Range) { others = true; });
        if (!others) {
          m_role[r] = Role::Slot;
          continue;
        }
        m_candidates.resize(before);
      }
      readClassRule(r, classes);
    }
  }

  void addCandidate(std::size_t r, const Declaration* d, int target, const std::string& key, std::size_t offset) {
    Candidate c{static_cast<std::uint32_t>(r), static_cast<std::uint32_t>(offset)};
    c.key = keyId(key);
    c.target = static_cast<std::int8_t>(target);
    if (d) {
      c.declared = true;
      c.begin = static_cast<std::uint32_t>(d->whole.begin);
      c.end = static_cast<std::uint32_t>(d->whole.end);
      c.property = keyId(css::asciiLower(d->name));
    }
    m_candidates.push_back(c);
  }

  // Keys and properties are few (the form's settings), however many candidates.
  std::uint16_t keyId(const std::string& key) {
    if (const auto it = m_keyIndex.find(key); it != m_keyIndex.end()) return it->second;
    if (m_keys.size() > 0xFFFF) throw std::length_error("too many keys");
    const auto id = static_cast<std::uint16_t>(m_keys.size());
    m_keyIndex.emplace(key, id);
    m_keys.push_back(key);
    return id;
  }

  const std::string& keyOf(const Candidate& c) const { return m_keys[c.key]; }
  Range cutOf(const Candidate& c) const { return {c.begin, c.end}; }

  // The declarations of the rule `r` the candidates say, by their place.
  std::map<std::size_t, Declaration> declarationsAt(std::size_t r, const std::set<std::size_t>& offsets) const {
    std::map<std::size_t, Declaration> found;
    css::walkDeclarations(
        m_text, m_sheet.rules[r].block,
        [&](const Declaration& d) {
          if (offsets.contains(d.whole.begin)) found.emplace(d.whole.begin, d);
        },
        [](Range) {});
    return found;
  }

  // A class rule: ".name", one class.
  void readClassRule(std::size_t r, int& classes) {
    const Rule& rule = m_sheet.rules[r];
    const auto tokens = tokensOf(m_text, rule.prelude, 2, true);
    if (!tokens || tokens->size() != 2 || (*tokens)[0].type != TokenType::Delim || (*tokens)[0].delim != '.' ||
        (*tokens)[1].type != TokenType::Ident)
      return;
    const std::string name = css::tokenValue(m_text, (*tokens)[1]);
    if (!storable(name)) return;
    // A second rule of a class the form holds stays text, after the generated one.
    if (m_classIndex.contains(name) || classes >= kUserClassCount) return;
    if (auto setting = classSetting(r, name)) {
      m_classIndex[name] = classes++;
      m_role[r] = Role::Class;
      m_classSettings.push_back(std::move(*setting));
      addCandidate(r, m_classDeclaration ? &*m_classDeclaration : nullptr, kClassTarget + m_classIndex[name],
                   "class " + name, rule.whole.begin);
    }
  }

  // The rule's effects as a class, or nothing. Sets m_classDeclaration to
  // the declaration the form takes (none for a whole modern rule).
  std::optional<Setting> classSetting(std::size_t r, const std::string& name) {
    const Rule& rule = m_sheet.rules[r];
    m_classDeclaration.reset();
    UserClass modern;
    if (readModernClassRule(rule.whole.of(m_text), name, m_source.decoded, modern)) {
      return [this, name, modern](StyleDocument& doc) {
        doc.classes[static_cast<std::size_t>(m_classIndex[name])] = modern;
      };
    }
    // Legacy filters, hand-written: the last "filter" declaration; "Width=100%"
    // (which CSS drops) or "width: 100%" makes it a text class.
    std::optional<Declaration> filter;
    bool text = rule.block.of(m_text).find("Width=100%") != std::string_view::npos;
    css::walkDeclarations(
        m_text, rule.block,
        [&](const Declaration& d) {
          const std::string property = css::asciiLower(d.name);
          if (property == "filter") filter = d;
          if (property == "width" && d.value.of(m_text) == "100%") text = true;
        },
        [](Range) {});
    if (!filter || filter->important) return std::nullopt;
    UserClass cls;
    cls.className = cls.checkCaption = name;
    cls.enabled = 1;
    cls.target = text ? Choice::First : Choice::Second;
    if (!readLegacyFilters(filter->value.of(m_text), cls) || !writable(cls)) return std::nullopt;
    m_classDeclaration = filter;
    return [this, name, cls](StyleDocument& doc) { doc.classes[static_cast<std::size_t>(m_classIndex[name])] = cls; };
  }

  // Whether the writers take every value of the class.
  static bool writable(const UserClass& cls) {
    StyleDocument doc;
    doc.classes[0] = cls;
    return !checkValues(doc, Output::ClassPreview, 0);
  }

  // "@supports" with ":root" in it and the "::-webkit-scrollbar" rules
  // after it, as the modern output writes them.
  bool readScrollbarGroup(std::size_t r) {
    std::size_t last = r;
    while (last + 1 < m_sheet.rules.size() && m_sheet.rules[last + 1].kind == Rule::Kind::Qualified &&
           m_sheet.rules[last + 1].prelude.of(m_text).starts_with("::-webkit-scrollbar"))
      ++last;
    if (last == r) return false;
    const Range whole{m_sheet.rules[r].whole.begin, m_sheet.rules[last].whole.end};
    StyleDocument doc;
    if (!readModernScrollbarRules(whole.of(m_text), doc)) return false;
    m_scrollbar = doc;
    for (std::size_t k = r; k <= last; ++k) m_role[k] = Role::Scrollbar;
    return true;
  }

  // Every declaration of the rules kept whole, with the ties of its rule,
  // into `kept`: the rules of grouping at-rules too, at any depth, in one
  // pass over their text.
  void keptOfRules(KeptIndex& kept) {
    const auto visit = [&](const Rule& rule) {
      m_reading = rule.whole.begin;
      if (!rule.hasBlock || rule.kind == Rule::Kind::At) return;
      const std::vector<Tie> ties = tiesOf(m_text, rule.prelude);
      const css::DeclarationList list = css::parseDeclarations(m_text, rule.block);
      for (const Declaration& d : list.declarations) kept.add(d.whole.begin, css::asciiLower(d.name), ties);
      // Nested rules and the like: anything may tie.
      for (const Range& other : list.others) kept.add(other.begin, "all", {Tie{0, 0, 0, "", true}});
    };
    const auto grouping = [&](const Rule& rule) {
      const std::string name = css::asciiLower(rule.atName(m_text));
      return name == "media" || name == "supports" || name == "layer" || name == "container" || name == "document" ||
             name == "scope" || name == "starting-style";
    };
    for (std::size_t r = 0; r < m_sheet.rules.size(); ++r) {
      const Rule& rule = m_sheet.rules[r];
      if (m_role[r] != Role::Kept) continue;
      if (rule.kind == Rule::Kind::At && rule.hasBlock && grouping(rule))
        css::walkRules(m_text, rule.block, grouping, visit);
      else
        visit(rule);
    }
  }

  // What a target's rule can tie with: a class (0,1,0) on any element, a
  // slot its element, and the three link states (0,1,1).
  Tie targetOf(int target) const {
    if (target >= kClassTarget) return Tie{0, 1, 0, "", false};  // a class, or :root
    const bool pseudo = target == kSlotVisited || target == kSlotHover || target == kSlotActive;
    const std::string element = target == kSlotBody ? "body" : target == kSlotP ? "p" : "a";
    return Tie{0, pseudo ? 1 : 0, 1, element, false};
  }

  // Which declarations the form takes: each one that no earlier text-kept
  // declaration could interfere with, the last of each setting winning.
  void decide() {
    if (!m_ruleKept) {
      std::set<std::string> asked;
      for (const Candidate& c : m_candidates)
        for (const std::string& p : propertiesOf(c)) asked.insert(p);
      std::vector<Tie> targets;
      for (int t = 0; t < kTagSlotCount; ++t) targets.push_back(targetOf(t));
      targets.push_back(targetOf(kClassTarget));
      m_ruleKept.emplace(asked, targets);
      keptOfRules(*m_ruleKept);
    }
    KeptIndex kept = *m_ruleKept;
    // Declarations of the form's rules that the form does not take are kept too.
    std::vector<std::uint32_t> taking;  // where the declarations stand
    taking.reserve(m_candidates.size());
    std::set<std::size_t> wholeRules;
    for (const Candidate& c : m_candidates) {
      if (c.forcedKept) continue;
      if (c.declared)
        taking.push_back(c.begin);
      else
        wholeRules.insert(c.rule);
    }
    std::sort(taking.begin(), taking.end());
    for (std::size_t r = 0; r < m_sheet.rules.size(); ++r) {
      if ((m_role[r] != Role::Slot && m_role[r] != Role::Class) || wholeRules.contains(r)) continue;
      m_reading = m_sheet.rules[r].whole.begin;
      const std::vector<Tie> ties = tiesOf(m_text, m_sheet.rules[r].prelude);
      css::walkDeclarations(
          m_text, m_sheet.rules[r].block,
          [&](const Declaration& d) {
            if (!std::binary_search(taking.begin(), taking.end(), d.whole.begin))
              kept.add(d.whole.begin, css::asciiLower(d.name), ties);
          },
          [](Range) {});
    }
    std::vector<Candidate*> latest(m_keys.size(), nullptr);
    for (Candidate& c : m_candidates) {
      m_reading = c.offset;
      c.taken = false;
      c.overridden = false;
      if (!c.forcedKept && kept.interferes(c.offset, propertiesOf(c), targetOf(c.target))) c.forcedKept = true;
      if (c.forcedKept) {
        if (c.declared) kept.add(c.offset, m_keys[c.property], tiesOf(m_text, m_sheet.rules[c.rule].prelude));
        continue;
      }
      c.taken = true;
      if (latest[c.key]) latest[c.key]->overridden = true;
      latest[c.key] = &c;
    }
    m_kept = std::move(kept);
  }

  // The properties the modern output writes for a candidate.
  std::vector<std::string> propertiesOf(const Candidate& c) const {
    if (c.target == kSchemeTarget) return {"color-scheme"};
    if (c.target >= kClassTarget) return {"opacity", "filter", "transform", "text-shadow", "display", "width"};
    const std::string& property = m_keys[c.property];
    if (property.starts_with("scrollbar-")) return {};
    return {property};
  }

  // The generated rules stand in a fixed order (A:VISITED, A:HOVER,
  // A:ACTIVE), and these three can tie on one link: where the sheet had a
  // setting of two of them the other way round, the later one is kept as
  // text, after the generated rules, so it still wins. A fixed background
  // is one setting for every slot: it is taken only when every image taken
  // has it. True when something changed.
  bool forceOrderConflicts() {
    static constexpr std::array<int, 3> kOrder = {kSlotVisited, kSlotHover, kSlotActive};
    bool changed = false;
    // The settings in force: one a key, however many declarations the sheet has.
    std::vector<Candidate*> live;
    for (Candidate& c : m_candidates)
      if (c.taken && !c.overridden && c.target < kClassTarget) live.push_back(&c);
    for (Candidate* lateSetting : live) {
      Candidate& late = *lateSetting;
      const auto lateRank = std::find(kOrder.begin(), kOrder.end(), late.target);
      if (lateRank == kOrder.end()) continue;
      for (const Candidate* earlySetting : live) {
        const Candidate& early = *earlySetting;
        if (early.offset >= late.offset) continue;
        const auto earlyRank = std::find(kOrder.begin(), kOrder.end(), early.target);
        if (earlyRank == kOrder.end() || earlyRank <= lateRank) continue;
        if (keyOf(early).substr(1) != keyOf(late).substr(1)) continue;
        late.forcedKept = true;
        changed = true;
      }
    }
    // The modern output writes a fixed background with a picture only.
    bool imageWithoutFixed = false;
    bool anyFixed = false;
    for (int slot = 0; slot < kTagSlotCount; ++slot) {
      const Candidate* image = liveOf(std::to_string(slot) + "background-image");
      const bool picture = image != nullptr && !image->noPicture;
      Candidate* fixed = liveOf(std::to_string(slot) + "background-attachment");
      if (fixed != nullptr && !picture) {
        fixed->forcedKept = true;
        changed = true;
        fixed = nullptr;
      }
      imageWithoutFixed = imageWithoutFixed || (picture && fixed == nullptr);
      anyFixed = anyFixed || fixed != nullptr;
    }
    if (anyFixed && imageWithoutFixed) {
      for (Candidate& c : m_candidates) {
        if (c.taken && keyOf(c).ends_with("background-attachment")) {
          c.forcedKept = true;
          changed = true;
        }
      }
    }
    // A gradient starts at the slot's background colour: taken only with a
    // background-color of that very colour.
    for (int slot = 0; slot < kTagSlotCount; ++slot) {
      Candidate* image = liveOf(std::to_string(slot) + "background-image");
      if (image == nullptr || !image->gradient) continue;
      const Candidate* colour = liveOf(std::to_string(slot) + "background-color");
      if (colour == nullptr || firstStopOf(*image) != colourOf(*colour)) {
        image->forcedKept = true;
        changed = true;
      }
    }
    return changed;
  }

  // The setting in force of `key`, or none.
  Candidate* liveOf(const std::string& key) {
    for (Candidate& c : m_candidates)
      if (c.taken && !c.overridden && keyOf(c) == key) return &c;
    return nullptr;
  }

  // The value tokens of a declared candidate, read again.
  std::vector<Token> valueOf(const Candidate& c) const {
    std::vector<Token> value;
    css::walkDeclarations(
        m_text, cutOf(c),
        [&](const Declaration& d) { value = tokensOf(m_text, d.value, kMostValueTokens).value_or(value); },
        [](Range) {});
    return value;
  }

  // "FFFFFF" of "background-color: #FFFFFF", and of the first colour of a gradient.
  std::optional<std::string> colourOf(const Candidate& c) const {
    const std::vector<Token> v = valueOf(c);
    return v.size() == 1 ? hexColour(m_text, v[0]) : std::nullopt;
  }
  std::optional<std::string> firstStopOf(const Candidate& c) const {
    const std::vector<Token> v = valueOf(c);
    for (std::size_t k = 0; k < v.size(); ++k)
      if (const auto read = gradientOf(m_text, v, k)) return read->first;
    return std::nullopt;
  }

  // The document and the kept text from the decisions.
  void build(Attempt& a) {
    StyleDocument& doc = a.doc;
    if (m_scrollbar) {
      doc.colours = m_scrollbar->colours;
      doc.scrollbarEnabled = m_scrollbar->scrollbarEnabled;
    }
    // The declarations the form takes, read again, one pass over each of their rules.
    std::map<std::size_t, std::set<std::size_t>> wanted;
    for (const Candidate& c : m_candidates)
      if (c.taken && !c.overridden && c.target < kClassTarget) wanted[c.rule].insert(c.begin);
    for (const auto& [r, offsets] : wanted) m_taken.merge(declarationsAt(r, offsets));
    // text-decoration before animation: both set blink, as separate properties.
    for (int round = 0; round < 2; ++round) {
      for (const Candidate& c : m_candidates) {
        if (!c.taken || c.overridden) continue;
        const bool animation = keyOf(c).ends_with("animation");
        if (animation != (round == 1)) continue;
        apply(c, doc);
        if (c.target < kClassTarget && !keyOf(c).substr(1).starts_with("scrollbar-"))
          doc.slots[static_cast<std::size_t>(c.target)].enabled = 1;
      }
    }
    bool blinks = false;
    for (const TagSlot& s : doc.slots) blinks = blinks || (s.enabled == 1 && s.blink == 1);

    // The comment with the SVG filters of the classes is written again from them.
    std::string filterComment = modernFilterComment(doc);
    if (filterComment.ends_with(kCrLf)) filterComment.resize(filterComment.size() - kCrLf.size());
    std::string kept;
    std::size_t at = 0;  // top-level comments between rules
    std::size_t nextComment = 0;
    const auto keepComments = [&](std::size_t until) {
      for (; nextComment < m_sheet.comments.size() && m_sheet.comments[nextComment].end <= until; ++nextComment) {
        const css::CommentRange& c = m_sheet.comments[nextComment];
        if (c.begin < at) continue;
        if (filterComment == m_text.substr(c.begin, c.end - c.begin)) {
          entry(a, c.begin, ImportEntry::Place::Form, m_text.substr(c.begin, c.end - c.begin));
          continue;
        }
        // Another marked comment: it is no filter of the form's, and kept
        // it would only be written escaped (kept_style.h).
        if (m_text.substr(c.begin, c.end - c.begin).find(kFilterBlockMarker) != std::string_view::npos) {
          entry(a, c.begin, ImportEntry::Place::Dropped, m_text.substr(c.begin, c.end - c.begin));
          continue;
        }
        kept.append(m_text.substr(c.begin, c.end - c.begin)).append(kCrLf);
        entry(a, c.begin, ImportEntry::Place::Kept, m_text.substr(c.begin, c.end - c.begin));
      }
    };
    for (std::size_t r = 0; r < m_sheet.rules.size(); ++r) {
      const Rule& rule = m_sheet.rules[r];
      m_reading = rule.whole.begin;
      keepComments(rule.whole.begin);
      at = rule.whole.end;
      const std::string_view whole = rule.whole.of(m_text);
      switch (m_role[r]) {
        case Role::Dropped:
          entry(a, rule.whole.begin, ImportEntry::Place::Dropped, whole);
          continue;
        case Role::Scrollbar:
          if (r == 0 || m_role[r - 1] != Role::Scrollbar) entry(a, rule.whole.begin, ImportEntry::Place::Form, whole);
          a.formEnd = rule.whole.end;
          continue;
        case Role::BlinkKeyframes:
          if (blinks) {
            entry(a, rule.whole.begin, ImportEntry::Place::Form, whole);
            a.formEnd = rule.whole.end;
            continue;
          }
          break;
        case Role::Slot:
        case Role::Class: {
          keepPart(a, r, kept);
          continue;
        }
        case Role::Kept:
          if (r == m_darkRule && readDarkBlock(r, doc)) {
            entry(a, rule.whole.begin, ImportEntry::Place::Form, whole);
            a.formEnd = rule.whole.end;
            continue;
          }
          break;
      }
      kept.append(whole).append(rule.closed ? "" : (rule.hasBlock ? "}" : ";")).append(kCrLf);
      entry(a, rule.whole.begin, ImportEntry::Place::Kept, whole);
    }
    keepComments(m_text.size());
    // Every byte as read, line ends included: a line end inside a value is part of it.
    doc.keptStyle = std::move(kept);
  }

  // A candidate's setting, made again as it was when collected.
  void apply(const Candidate& c, StyleDocument& doc) const {
    if (c.target == kSchemeTarget) {
      doc.dark.enabled = 1;
      return;
    }
    if (c.target >= kClassTarget) {
      m_classSettings[static_cast<std::size_t>(c.target - kClassTarget)](doc);
      return;
    }
    std::string property;
    if (auto setting = slotSetting(m_text, m_taken.at(c.begin), c.target, property)) (*setting)(doc);
  }

  // A rule of the form's: the declarations the form took are cut out; what
  // is left (other declarations, comments) is kept, unless only blanks remain.
  void keepPart(Attempt& a, std::size_t r, std::string& kept) {
    const Rule& rule = m_sheet.rules[r];
    std::vector<Range> cuts;
    const std::string selector(rule.prelude.of(m_text));
    const auto [first, last] = std::equal_range(m_candidates.begin(), m_candidates.end(), r, Order{});
    cuts.reserve(static_cast<std::size_t>(last - first));
    for (auto it = first; it != last; ++it) {
      const Candidate& c = *it;
      const Range cut = c.declared ? cutOf(c) : rule.block;
      if (c.taken) {
        cuts.push_back(cut);
        a.formEnd = std::max<std::size_t>(a.formEnd, rule.whole.end);
        entry(a, cut.begin, c.overridden ? ImportEntry::Place::Dropped : ImportEntry::Place::Form,
              selector + " { " + std::string(cut.of(m_text)) + " }");
      }
    }
    std::string block;
    std::size_t from = rule.block.begin;
    std::sort(cuts.begin(), cuts.end(), [](const Range& x, const Range& y) { return x.begin < y.begin; });
    for (const Range& cut : cuts) {
      std::size_t begin = cut.begin;
      std::size_t end = cut.end;
      while (begin > from && (m_text[begin - 1] == ' ' || m_text[begin - 1] == '\t')) --begin;
      std::size_t after = end;
      while (after < rule.block.end && (m_text[after] == ' ' || m_text[after] == '\t')) ++after;
      if (after < rule.block.end && m_text[after] == ';') end = after + 1;
      if (m_text.substr(end, 2) == kCrLf && (begin == 0 || m_text[begin - 1] == '\n')) end += 2;
      block.append(m_text.substr(from, begin - from));
      from = std::max(from, end);
    }
    block.append(m_text.substr(from, rule.block.end - from));
    // Nothing left but blanks, comments and the legacy "Width=100%" (which
    // CSS drops): the rule is the form's alone.
    bool declarationLeft = false;
    bool onlyWidth = true;
    css::walkDeclarations(
        block, {0, block.size()}, [&](const Declaration&) { declarationLeft = true; },
        [&](Range other) { onlyWidth = onlyWidth && css::asciiLower(other.of(block)) == "width=100%"; });
    if (!declarationLeft && onlyWidth) return;
    css::walkDeclarations(
        m_text, rule.block,
        [&](const Declaration& d) {
          // The cuts are in order: a search, not a walk, for each of a rule's many declarations.
          if (std::binary_search(cuts.begin(), cuts.end(), d.whole,
                                 [](const Range& x, const Range& y) { return x.begin < y.begin; }))
            return;
          entry(a, d.whole.begin, ImportEntry::Place::Kept, selector + " { " + std::string(d.whole.of(m_text)) + " }");
        },
        [](Range) {});
    kept.append(m_text.substr(rule.whole.begin, rule.block.begin - rule.whole.begin))
        .append(block)
        .append("}")
        .append(kCrLf);
  }

  // --- The dark variant's block ------------------------------------------------

  // The dark block the modern output writes for `doc`, from "@media" to
  // its last line end; empty when it writes none.
  static std::string darkBlockOf(const StyleDocument& doc) {
    static constexpr std::string_view kHead = "@media (prefers-color-scheme: dark) {\r\n";
    StyleDocument bare = doc;
    bare.keptStyle.clear();
    std::string t;
    if (appendModernStyleRules(bare, t)) return {};
    const std::size_t at = t.rfind(kHead);
    return at == std::string::npos ? std::string() : t.substr(at);
  }

  // The settings of the colours a slot's rule sets, (slot, property) to the
  // value's tokens as written without blanks: what two blocks must agree on.
  using ColourSettings = std::map<std::pair<int, std::string>, std::string>;

  // The declarations of slot rule `rule` (in `text`) into `settings`, each
  // a colour, a background colour or a gradient; false on any other.
  static bool colourSettingsOf(std::string_view text, const Rule& rule, int slot, ColourSettings& settings) {
    bool ok = true;
    css::walkDeclarations(
        text, rule.block,
        [&](const Declaration& d) {
          const std::string property = css::asciiLower(d.name);
          const auto v = tokensOf(text, d.value, kMostValueTokens);
          if (!v || d.important ||
              (property != "color" && property != "background-color" && property != "background-image")) {
            ok = false;
            return;
          }
          std::string value;
          for (const Token& t : *v) value += css::tokenText(text, t);
          settings[{slot, property}] = value;
        },
        [&](Range) { ok = false; });
    return ok;
  }

  // The dark colours of slot rule `rule` of the block into `dark`.
  bool readDarkSlotRule(const Rule& rule, int slot, StyleDocument& dark) const {
    bool ok = true;
    const auto i = static_cast<std::size_t>(slot);
    css::walkDeclarations(
        m_text, rule.block,
        [&](const Declaration& d) {
          std::string property;
          bool gradient = false;
          const auto setting = ok && !d.important ? slotSetting(m_text, d, slot, property, &gradient) : std::nullopt;
          StyleDocument read;
          if (setting) (*setting)(read);
          if (property == "color" || property == "background-color") {
            const auto index =
                static_cast<std::size_t>(property == "color" ? foreColourIndex(slot) : backColourIndex(slot));
            ok = setting.has_value();
            if (ok) dark.dark.colours[index] = read.colours[index];
          } else if (property == "background-image") {
            // The light picture over the dark colours of the light gradient.
            const Gradient& light = dark.gradients[i];
            ok = gradient && read.slots[i].imagePath == dark.slots[i].imagePath &&
                 read.gradients[i].kind == light.kind && read.gradients[i].angle == light.angle;
            if (ok) dark.gradients[i].darkColours = read.gradients[i].colours;
          } else {
            ok = false;
          }
        },
        [&](Range) { ok = false; });
    return ok;
  }

  // The dark colours of class rule `rule` of the block: the light rule the
  // modern output writes with the block's declarations in place of its own,
  // read as a class.
  bool readDarkClassRule(const Rule& rule, StyleDocument& dark) const {
    const auto tokens = tokensOf(m_text, rule.prelude, 2, true);
    if (!tokens || tokens->size() != 2 || (*tokens)[0].type != TokenType::Delim || (*tokens)[0].delim != '.' ||
        (*tokens)[1].type != TokenType::Ident)
      return false;
    const std::string name = css::tokenValue(m_text, (*tokens)[1]);
    const auto cls = std::find_if(dark.classes.begin(), dark.classes.end(),
                                  [&](const UserClass& c) { return c.enabled == 1 && c.className == name; });
    if (cls == dark.classes.end()) return false;
    const auto index = static_cast<std::size_t>(cls - dark.classes.begin());
    std::string light;
    if (appendModernClassRule(dark, static_cast<int>(index), light)) return false;
    std::map<std::string, std::string> values;
    bool ok = true;
    css::walkDeclarations(
        m_text, rule.block,
        [&](const Declaration& d) {
          ok = ok && !d.important && values.emplace(css::asciiLower(d.name), std::string(d.value.of(m_text))).second;
        },
        [&](Range) { ok = false; });
    if (!ok) return false;
    const std::string merged = withDeclarations(light, values);
    UserClass read;
    if (!values.empty() || !readModernClassRule(merged, name, m_source.decoded, read)) return false;
    ClassDarkColours& colours = dark.dark.classes[index];
    const auto take = [](CheckState on, const std::string& lightColour, const std::string& darkColour,
                         std::string& into) {
      if (on == 1 && darkColour != lightColour) into = darkColour;
    };
    take(cls->chromaOn, cls->chromaColor, read.chromaColor, colours.chromaColor);
    take(cls->glowOn, cls->glowColor, read.glowColor, colours.glowColor);
    take(cls->shadowOn, cls->shadowColor, read.shadowColor, colours.shadowColor);
    take(cls->specialOn, cls->specialColor1, read.specialColor1, colours.specialColor1);
    return true;
  }

  // `rule` as the modern output writes it ("sel {", "  name: value;"
  // lines, "}"), each declaration `values` names given that value and
  // taken out of `values`; without the last line end.
  static std::string withDeclarations(std::string_view rule, std::map<std::string, std::string>& values) {
    std::string out;
    for (std::size_t at = 0; at < rule.size();) {
      const std::size_t end = std::min(rule.find(kCrLf, at), rule.size());
      std::string_view line = rule.substr(at, end - at);
      const std::size_t colon = line.find(": ");
      std::string replaced;
      if (line.starts_with("  ") && line.ends_with(";") && colon != std::string_view::npos) {
        if (const auto it = values.find(std::string(line.substr(2, colon - 2))); it != values.end()) {
          replaced = "  " + it->first + ": " + it->second + ";";
          line = replaced;
          values.erase(it);
        }
      }
      if (!out.empty()) out.append(kCrLf);
      out.append(line);
      at = end + kCrLf.size();
    }
    return out;
  }

  // The dark scrollbar colours of the block's scrollbar rules (each line
  // after a rule's first indented two more blanks): the light rules with
  // the at-rule the block holds in place of its own, and each plain rule's
  // declarations in place of theirs, read as the scrollbar's rules.
  bool readDarkScrollbar(const std::vector<const Rule*>& rules, StyleDocument& dark) const {
    StyleDocument scrollbar;
    scrollbar.colours = dark.colours;
    scrollbar.scrollbarEnabled = dark.scrollbarEnabled;
    std::string lightText;
    if (appendModernStyleRules(scrollbar, lightText)) return false;
    // The light rules, each as its text without its last line end.
    std::vector<std::string> light;
    for (std::size_t at = 0; at < lightText.size();) {
      std::size_t end = lightText.find("\r\n}\r\n", at);
      if (end == std::string::npos) return false;
      light.push_back(lightText.substr(at, end + 3 - at));
      at = end + 5;
    }
    for (const Rule* rule : rules) {
      // The rule's text without the block's indentation.
      const std::string_view whole = rule->whole.of(m_text);
      std::string text;
      for (std::size_t at = 0; at < whole.size();) {
        const std::size_t end = std::min(whole.find(kCrLf, at), whole.size());
        std::string_view line = whole.substr(at, end - at);
        if (at > 0 && !line.starts_with("  ")) return false;
        text.append(at > 0 ? kCrLf : "").append(at > 0 ? line.substr(2) : line);
        at = end + kCrLf.size();
      }
      const std::string head = text.substr(0, text.find(" {\r\n") + 2);
      const auto same =
          std::find_if(light.begin(), light.end(), [&](const std::string& l) { return l.starts_with(head + "\r\n"); });
      if (same == light.end()) return false;
      if (rule->kind == Rule::Kind::At) {
        *same = text;
        continue;
      }
      std::map<std::string, std::string> values;
      bool ok = true;
      css::walkDeclarations(
          m_text, rule->block,
          [&](const Declaration& d) {
            ok = ok && !d.important && values.emplace(css::asciiLower(d.name), std::string(d.value.of(m_text))).second;
          },
          [&](Range) { ok = false; });
      *same = withDeclarations(*same, values);
      if (!ok || !values.empty()) return false;
    }
    std::string merged;
    for (const std::string& l : light) merged.append(merged.empty() ? "" : "\r\n").append(l);
    StyleDocument read;
    if (!readModernScrollbarRules(merged, read)) return false;
    for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k) {
      const auto i = static_cast<std::size_t>(k);
      if (read.colours[i] != dark.colours[i]) dark.dark.colours[i] = read.colours[i];
    }
    return true;
  }

  // The dark block `r` read into the dark colours of `doc`, which holds
  // the light ones: taken when it is the block the modern output writes for
  // them, byte for byte, or a block of the slots' colours alone that the
  // written one repeats to the same effect, in a sheet where no text kept
  // before it sets those colours (the kept text comes after the block).
  bool readDarkBlock(std::size_t r, StyleDocument& doc) {
    const Rule& block = m_sheet.rules[r];
    if (doc.dark.enabled != 1 || !block.closed) return false;
    // Its rules, read no further than one past the most it may hold.
    std::vector<Rule> inner;
    css::walkRules(
        m_text, block.block, [](const Rule&) { return false; },
        [&](const Rule& rule) {
          if (inner.size() <= kMostDarkRules) inner.push_back(rule);
        });
    if (inner.size() > kMostDarkRules) return false;
    StyleDocument dark = doc;
    ColourSettings settings;
    std::vector<const Rule*> scrollbar;
    bool slotsOnly = true;
    std::size_t order = 0;
    bool inOrder = true;
    static constexpr std::array<int, kTagSlotCount> kWritten = {kSlotBody,    kSlotP,     kSlotA,
                                                                kSlotVisited, kSlotHover, kSlotActive};
    for (const Rule& rule : inner) {
      if (!rule.hasBlock || !rule.closed) return false;
      const std::string_view selector = rule.prelude.of(m_text);
      const int slot = rule.kind == Rule::Kind::Qualified ? slotOf(selector) : -1;
      if (slot >= 0) {
        if (!readDarkSlotRule(rule, slot, dark) || !colourSettingsOf(m_text, rule, slot, settings)) return false;
        const auto at = static_cast<std::size_t>(std::find(kWritten.begin(), kWritten.end(), slot) - kWritten.begin());
        inOrder = inOrder && at >= order;
        order = at;
        continue;
      }
      slotsOnly = false;
      if (rule.kind == Rule::Kind::Qualified && selector.starts_with("::-webkit-scrollbar")) {
        scrollbar.push_back(&rule);
      } else if (rule.kind == Rule::Kind::At && css::asciiLower(rule.atName(m_text)) == "supports") {
        scrollbar.push_back(&rule);
      } else if (rule.kind != Rule::Kind::Qualified || !readDarkClassRule(rule, dark)) {
        return false;
      }
    }
    if (!scrollbar.empty() && !readDarkScrollbar(scrollbar, dark)) return false;
    for (const auto& [setting, value] : settings)
      if (m_kept && m_kept->interferes(block.whole.begin, {setting.second}, targetOf(setting.first))) return false;
    const std::string written = darkBlockOf(dark);
    if (written != std::string(block.whole.of(m_text)) + std::string(kCrLf) &&
        (!slotsOnly || !inOrder || !sameEffect(dark, settings)))
      return false;
    doc.dark = dark.dark;
    doc.gradients = dark.gradients;
    return true;
  }

  // Whether the block the modern output writes for `dark` sets what
  // `settings` sets, leaving out what repeats the light rules.
  static bool sameEffect(const StyleDocument& dark, ColourSettings settings) {
    StyleDocument bare = dark;
    bare.keptStyle.clear();
    std::string text;
    if (appendModernStyleRules(bare, text)) return false;
    const css::StyleSheet sheet = css::parseStyleSheet(text);
    ColourSettings light, written;
    for (const Rule& rule : sheet.rules) {
      if (const int slot = slotOf(rule.prelude.of(text)); slot >= 0 && rule.kind == Rule::Kind::Qualified) {
        ColourSettings all;
        colourSettingsOf(text, rule, slot, all);
        light.merge(all);
      } else if (rule.kind == Rule::Kind::At && isDarkQuery(text, rule.prelude)) {
        for (const Rule& inner : css::parseRules(text, rule.block))
          if (!colourSettingsOf(text, inner, slotOf(inner.prelude.of(text)), written)) return false;
      }
    }
    std::erase_if(settings, [&](const auto& s) {
      const auto it = light.find(s.first);
      return it != light.end() && it->second == s.second;
    });
    return settings == written;
  }

  void entry(Attempt& a, std::size_t offset, ImportEntry::Place place, std::string_view what) {
    a.entries.push({m_source.lineOf(offset), place, shortened(what)});
  }

  enum class Role : std::uint8_t { Kept, Dropped, Slot, Class, Scrollbar, BlinkKeyframes };

  const StyleSource& m_source;
  std::string_view m_text;
  const css::StyleSheet& m_sheet;
  std::vector<Role> m_role;
  // A deque: a million candidates grow without a copy of them all at twice the size.
  std::deque<Candidate> m_candidates;
  std::vector<std::string> m_keys;  // of the candidates
  std::map<std::string, std::uint16_t> m_keyIndex;
  std::vector<Setting> m_classSettings;        // of each class the form holds, in its order
  std::map<std::size_t, Declaration> m_taken;  // the slots' declarations the form takes, by place
  std::map<std::string, int> m_classIndex;
  std::optional<Declaration> m_classDeclaration;
  std::optional<StyleDocument> m_scrollbar;
  std::optional<KeptIndex> m_ruleKept;  // the declarations of the rules kept whole, read once
  std::optional<KeptIndex> m_kept;      // every declaration kept, as the last pass decided
  static constexpr std::size_t kNone = std::size_t(-1);
  std::size_t m_darkRule = kNone;  // the first "@media (prefers-color-scheme: dark)" rule
  std::size_t& m_reading;
};

}  // namespace

std::string ImportResult::report() const {
  std::string out;
  for (const ImportEntry& e : entries) {
    const char* place = e.place == ImportEntry::Place::Form   ? "フォームへ"
                        : e.place == ImportEntry::Place::Kept ? "そのほかのスタイルへ"
                                                              : "使わない";
    out += std::to_string(e.line) + " 行目: " + place + ": " + e.what + "\n";
  }
  if (const std::string note = omittedNote(); !note.empty()) out += note + "\n";
  return out;
}

std::size_t ImportResult::count(ImportEntry::Place place) const {
  return static_cast<std::size_t>(
             std::count_if(entries.begin(), entries.end(), [&](const ImportEntry& e) { return e.place == place; })) +
         omitted[static_cast<std::size_t>(place)];
}

std::string ImportResult::omittedNote() const {
  const std::size_t total = omitted[0] + omitted[1] + omitted[2];
  if (total == 0) return {};
  // Thousands parted by commas, as the report's readers count them.
  std::string digits = std::to_string(total);
  for (std::size_t k = digits.size(); k > 3; k -= 3) digits.insert(k - 3, ",");
  return "…ほか " + digits + " 件";
}

std::string ImportResult::describe(std::string_view file) const {
  if (refusedLine <= 0) return std::string(file) + ": " + refused;
  return std::string(file) + " の " + std::to_string(refusedLine) + " 行目: " + refused;
}

namespace {

ImportResult importReadSource(const StyleSource& source, const StyleDocument& base, std::size_t& reading) {
  ImportResult result;
  StyleDocument start;
  start.output = base.output;
  start.output.modern = 0;
  if (source.title) start.output.htmlTitle = *source.title;
  const css::StyleSheet sheet = css::parseStyleSheet(source.style);

  // This program's legacy output comes back as it was, choice and all.
  Attempt legacy = readLegacy(source, sheet, start, reading);
  if (legacy.taken > 0 || sheet.rules.empty()) {
    auto rest = textAfterGenerated(legacy.doc, source, false, legacy.formEnd);
    // A sheet that only looks like the legacy output may hold values no
    // settings file can; it is read as CSS instead.
    if (rest && unstorableValue(legacy.doc)) rest.reset();
    if (rest && !storableFields(legacy.doc)) rest.reset();
    // Nor values the writers refuse, which the legacy writers write as they are.
    if (rest && checkValues(legacy.doc, Output::StyleRules)) rest.reset();
    if (rest) {
      legacy.doc.keptStyle = *rest;
      if (writesBack(legacy.doc, source)) {
        if (!rest->empty())
          legacy.entries.push(
              {source.lineOf(source.style.size() - rest->size()), ImportEntry::Place::Kept, shortened(*rest)});
        result.document = std::move(legacy.doc);
        legacy.entries.trim();
        result.entries = std::move(legacy.entries.held);
        result.omitted = legacy.entries.omitted;
        result.legacy = true;
        return result;
      }
    }
  }

  start.output.modern = 1;
  Attempt modern = Importer(source, sheet, reading).run(start);
  // What follows the modern output's own rules is kept exactly as it stands.
  if (auto rest = textAfterGenerated(modern.doc, source, true, modern.formEnd)) {
    StyleDocument exact = modern.doc;
    exact.keptStyle = *rest;
    if (writesBack(exact, source)) modern.doc = std::move(exact);
  }
  if (modern.doc.keptStyle.size() > kMaxKeptStyleBytes) {
    result.refused = "取り込むと「そのほかのスタイル」が長くなりすぎます（" + std::to_string(kMaxKeptStyleBytes >> 20) +
                     " MiB まで）。";
    return result;
  }
  result.document = std::move(modern.doc);
  modern.entries.trim();
  result.entries = std::move(modern.entries.held);
  result.omitted = modern.entries.omitted;
  return result;
}

}  // namespace

namespace {

// The refusal for the exception being handled: a fault met on the way (or
// memory running out) refuses the file at `line`; the document the caller
// holds is left as it was.
ImportResult faultRefusal(int line) {
  ImportResult result;
  result.fault = true;
  result.refusedLine = line;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    result.refused = "メモリーが足りないため読めません。";
  } catch (...) {
    result.refused = "この規則を読めません（このプログラムの誤りです）。";
  }
  return result;
}

}  // namespace

ImportResult importStyle(const StyleSource& source, const StyleDocument& base) {
  if (!source.ok()) {
    ImportResult result;
    result.refused = source.refused;
    return result;
  }
  std::size_t reading = 0;  // where in the style text the import stands
  try {
    return importReadSource(source, base, reading);
  } catch (...) {
    return faultRefusal(source.lineOf(reading));
  }
}

ImportResult importStyle(std::string_view bytes, std::optional<bool> page, const StyleDocument& base) {
  StyleSource source;
  try {
    source = readStyleSource(bytes, page);
  } catch (...) {
    return faultRefusal(0);
  }
  return importStyle(source, base);
}

}  // namespace quillane
