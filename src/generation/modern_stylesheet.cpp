#include "generation/modern_stylesheet.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "generation/colour_scheme.h"
#include "generation/declaration_emitters.h"
#include "generation/engine_support.h"
#include "generation/font_stacks.h"
#include "generation/kept_style.h"
#include "generation/modern_filters.h"

namespace quillane {

namespace {

using Mapping = std::pair<std::string_view, std::string_view>;

constexpr std::array<Mapping, 5> kUnits = {{
    {"ピクセル", "px"},
    {"ポイント", "pt"},
    {"インチ", "in"},
    {"ミリメートル", "mm"},
    {"センチメートル", "cm"},
}};

// "自動" is left out: the browser's own choice is what it means.
constexpr std::array<Mapping, 12> kCursors = {{
    {"自動", ""},
    {"通常", "default"},
    {"リンク", "pointer"},
    {"十字", "crosshair"},
    {"砂時計", "wait"},
    {"移動", "move"},
    {"文字入力", "text"},
    {"ヘルプ", "help"},
    {"サイズ変更　上-下", "n-resize"},
    {"サイズ変更　左-右", "w-resize"},
    {"サイズ変更　左上-右下", "nw-resize"},
    {"サイズ変更　左下-右上", "sw-resize"},
}};

// The captions of the tag slots, as the "変更する所" check boxes show them.
constexpr std::array<std::string_view, kTagSlotCount> kSlotCaptions = {
    "段落", "リンク", "表示したリンク", "選択されたリンク", "マウスが上にあるリンク", "ページ本体"};

template <std::size_t N>
const std::string_view* lookup(const std::array<Mapping, N>& table, std::string_view label) {
  for (const auto& [key, value] : table)
    if (key == label) return &value;
  return nullptr;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool allOf(std::string_view s, bool (*accept)(char)) { return !s.empty() && std::all_of(s.begin(), s.end(), accept); }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

void declare(std::string& t, std::string_view property, std::string_view value) {
  t.append("  ").append(property).append(": ").append(value).append(";").append(kCrLf);
}

void rule(std::string& t, std::string_view selector, const std::string& declarations) {
  if (declarations.empty()) return;
  t.append(selector).append(" {").append(kCrLf).append(declarations).append("}").append(kCrLf);
}

// The declarations of one tag slot, or the first value that does not fit.
class SlotWriter {
 public:
  SlotWriter(const StyleDocument& doc, int slot, const WebFontFace* webFont)
      : m_doc(doc), m_slot(slot), m_s(doc.slots[static_cast<std::size_t>(slot)]), m_webFont(webFont) {}

  std::optional<ModernRefusal> write(std::string& t) {
    colour("color", "フォントカラー", foreColourIndex(m_slot), t);
    colour("background-color", "バックの色", backColourIndex(m_slot), t);
    m_gradient = gradient();
    if (m_gradient && !usesImage()) declare(t, "background-image", *m_gradient);
    weight(t);
    backgroundImage(t);
    decoration(t);
    if (const std::string_view font = trimmedBlanks(m_s.fontName); m_webFont != nullptr)
      declare(t, "font-family", embeddedFontFamilyValue(m_webFont->family, font));
    else if (!font.empty())
      declare(t, "font-family", fontFamilyValue(font));
    if (m_s.italic == 1) declare(t, "font-style", "italic");
    fontSize(t);
    cursor(t);
    return m_refusal;
  }

 private:
  void refuse(std::string_view field, std::string_view text, std::string_view expected) {
    if (!m_refusal)
      m_refusal = ModernRefusal{"「" + std::string(kSlotCaptions[static_cast<std::size_t>(m_slot)]) + "」",
                                std::string(field), std::string(text), std::string(expected)};
  }

  void colour(std::string_view property, std::string_view field, int index, std::string& t) {
    const std::string& text = m_doc.colours[static_cast<std::size_t>(index)];
    if (trimmedBlanks(text).empty()) return;
    if (const auto value = cssColour(text))
      declare(t, property, *value);
    else
      refuse(field, text, kExpectColour);
  }

  // 100..900 as the caption asks, any weight CSS takes, or its keywords.
  void weight(std::string& t) {
    const std::string_view text = trimmedBlanks(m_s.weight);
    if (text.empty()) return;
    const std::string keyword = lowered(text);
    const bool number = allOf(text, isDigit) && text.size() <= 4 && std::stoi(std::string(text)) >= 1 &&
                        std::stoi(std::string(text)) <= 1000;
    if (number)
      declare(t, "font-weight", text);
    else if (keyword == "normal" || keyword == "bold" || keyword == "bolder" || keyword == "lighter")
      declare(t, "font-weight", keyword);
    else
      refuse("文字の太さ", m_s.weight, "100～900 の数値");
  }

  // The gradient over the plain background colour, its first stop, when
  // both that colour and the second stop are filled in:
  //   linear-gradient(90deg, #FFFFFF, #000000);  radial-gradient(#FFFFFF, #808080, #000000)
  // An empty angle is left to the browser (from top to bottom).
  std::optional<std::string> gradient() {
    const Gradient& g = m_doc.gradients[static_cast<std::size_t>(m_slot)];
    const auto first = cssColour(m_doc.colours[static_cast<std::size_t>(backColourIndex(m_slot))]);
    if (g.kind == GradientKind::None || !first || trimmedBlanks(g.colours[0]).empty()) return std::nullopt;
    std::string value = g.kind == GradientKind::Linear ? "linear-gradient(" : "radial-gradient(";
    if (g.kind == GradientKind::Linear && !trimmedBlanks(g.angle).empty()) {
      const auto angle = parseNumber(g.angle);
      if (!angle) return refuse("グラデーションの角度", g.angle, kExpectNumber), std::nullopt;
      value += cssNumber(*angle) + "deg, ";
    }
    value += *first;
    static constexpr std::array<std::string_view, 2> kFields = {"グラデーションの色2", "グラデーションの色3"};
    for (std::size_t k = 0; k < g.colours.size(); ++k) {
      if (trimmedBlanks(g.colours[k]).empty()) continue;
      const auto stop = cssColour(g.colours[k]);
      if (!stop) return refuse(kFields[k], g.colours[k], kExpectColour), std::nullopt;
      value += ", " + *stop;
    }
    return value + ")";
  }

  bool usesImage() const { return m_s.useImage == Choice::First && !trimmedBlanks(m_s.imagePath).empty(); }

  // The picture lies over the gradient, as it lay over the plain colour.
  void backgroundImage(std::string& t) {
    if (!usesImage()) return;
    const std::string_view path = trimmedBlanks(m_s.imagePath);
    declare(t, "background-image", cssImageUrl(path) + (m_gradient ? ", " + *m_gradient : std::string()));
    if (m_doc.fixedBackground == 1) declare(t, "background-attachment", "fixed");
  }

  void decoration(std::string& t) {
    std::string lines;
    if (m_s.underline == 1) lines += " underline";
    if (m_s.overline == 1) lines += " overline";
    if (m_s.lineThrough == 1) lines += " line-through";
    if (!lines.empty()) declare(t, "text-decoration", std::string_view(lines).substr(1));
    if (m_s.blink == 1) declare(t, "animation", std::string(kBlinkAnimation) + " 1s step-end infinite");
  }

  void fontSize(std::string& t) {
    if (trimmedBlanks(m_s.fontSize).empty()) return;
    const auto size = parseNumber(m_s.fontSize);
    if (!size || *size < 0) return refuse("フォントサイズ", m_s.fontSize, "0 以上の数値");
    std::string unit;
    if (const auto* suffix = lookup(kUnits, m_s.sizeUnit))
      unit = *suffix;
    else if (const std::string_view typed = trimmedBlanks(m_s.sizeUnit);
             allOf(typed, [](char c) { return isLetter(c) || c == '%'; }))
      unit = typed;
    else
      return refuse("フォントサイズの単位", m_s.sizeUnit, "単位（ピクセル、em など）");
    declare(t, "font-size", cssNumber(*size) + unit);
  }

  void cursor(std::string& t) {
    if (const auto* keyword = lookup(kCursors, m_s.cursorLabel)) {
      if (!keyword->empty()) declare(t, "cursor", *keyword);
      return;
    }
    const std::string_view typed = trimmedBlanks(m_s.cursorLabel);
    if (typed.empty()) return;
    if (allOf(typed, [](char c) { return isLetter(c) || isDigit(c) || c == '-'; }))
      declare(t, "cursor", typed);
    else
      refuse("マウスポインターの形", m_s.cursorLabel, "カーソルの名前（英字）");
  }

  const StyleDocument& m_doc;
  int m_slot;
  const TagSlot& m_s;
  const WebFontFace* m_webFont;
  std::optional<std::string> m_gradient;
  std::optional<ModernRefusal> m_refusal;
};

// --- Scrollbar ---------------------------------------------------------------

// The editor's scrollbar picture draws an unticked row in these colours, so
// a styled bar uses them for the parts the user left alone.
constexpr std::array<std::string_view, kScrollbarColourCount> kScrollbarPictureColours = {
    "#000000", "#BFBFBF", "#CFCFCF", "#FFFFFF", "#000000", "#808080", "#EFEFEF"};

// Halfway to white, as a track left unset follows the face colour:
//   "#FF0000" -> "#FF7F7F"
std::string lighter(std::string_view colour) {
  const auto rgb = rgbOf(colour.substr(1));
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", (rgb[0] + 255) / 2, (rgb[1] + 255) / 2, (rgb[2] + 255) / 2);
  return buffer;
}

std::string arrowImage(std::string_view points, std::string_view colour) {
  const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><polygon points='" +
                          std::string(points) + "' fill='" + std::string(colour) + "'/></svg>";
  return "url(\"data:image/svg+xml," + percentEncoded(svg) + "\")";
}

std::optional<ModernRefusal> appendScrollbarRules(const StyleDocument& doc, std::string& t) {
  // The ticked rows that hold a colour; the others keep the picture's.
  std::array<std::string, kScrollbarColourCount> colour;
  bool any = false;
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k) {
    const auto row = static_cast<std::size_t>(k - kFirstScrollbarColour);
    const std::string& text = doc.colours[static_cast<std::size_t>(k)];
    colour[row] = kScrollbarPictureColours[row];
    if (doc.scrollbarCheck(k) != 1 || trimmedBlanks(text).empty()) continue;
    const auto value = cssColour(text);
    if (!value)
      return ModernRefusal{"スクロールバー", std::string(kScrollbarColourNames[row]), text, std::string(kExpectColour)};
    colour[row] = *value;
    any = true;
  }
  if (!any) return std::nullopt;
  const auto rowColour = [&](int k) { return colour[static_cast<std::size_t>(k - kFirstScrollbarColour)]; };
  const bool faceSet = doc.scrollbarCheck(12) == 1 && !trimmedBlanks(doc.colours[12]).empty();
  const bool trackSet = doc.scrollbarCheck(17) == 1 && !trimmedBlanks(doc.colours[17]).empty();
  const std::string face = rowColour(12);
  const std::string track = trackSet ? rowColour(17) : faceSet ? lighter(face) : rowColour(17);

  // Chromium draws none of the ::-webkit-scrollbar rules on an element
  // with scrollbar-color, so only a browser without them gets it; Firefox,
  // which draws just these two colours, reports the thumb's selector as
  // unsupported (it claims ::-webkit-scrollbar itself).
  t.append("@supports not selector(::-webkit-scrollbar-thumb) {").append(kCrLf);
  t.append("  :root {").append(kCrLf);
  t.append("    scrollbar-color: ").append(face).append(" ").append(track).append(";").append(kCrLf);
  t.append("  }").append(kCrLf).append("}").append(kCrLf);

  std::string d;

  d.clear();
  declare(d, "width", "16px");
  declare(d, "height", "16px");
  declare(d, "background-color", track);
  rule(t, "::-webkit-scrollbar", d);

  d.clear();
  declare(d, "background-color", face);
  declare(d, "border", "1px solid");
  declare(d, "border-color", rowColour(13) + " " + rowColour(15) + " " + rowColour(15) + " " + rowColour(13));
  declare(d, "box-shadow", "inset 1px 1px " + rowColour(14) + ", inset -1px -1px " + rowColour(16));
  rule(t, std::string("::-webkit-scrollbar-thumb,") + kCrLf + "::-webkit-scrollbar-button", d);

  d.clear();
  declare(d, "display", "block");
  declare(d, "width", "16px");
  declare(d, "height", "16px");
  declare(d, "background-repeat", "no-repeat");
  declare(d, "background-position", "center");
  rule(t, "::-webkit-scrollbar-button:single-button", d);

  static constexpr std::array<Mapping, 4> kArrows = {{
      {"::-webkit-scrollbar-button:vertical:decrement", "4,1 7,6 1,6"},
      {"::-webkit-scrollbar-button:vertical:increment", "1,2 7,2 4,7"},
      {"::-webkit-scrollbar-button:horizontal:decrement", "6,1 6,7 1,4"},
      {"::-webkit-scrollbar-button:horizontal:increment", "2,1 2,7 7,4"},
  }};
  for (const auto& [selector, points] : kArrows) {
    d.clear();
    declare(d, "background-image", arrowImage(points, rowColour(11)));
    rule(t, selector, d);
  }
  return std::nullopt;
}

}  // namespace

std::string fontFamilyValue(std::string_view name) {
  const std::string key = lowered(name);
  if (isGenericFamily(key)) return key;
  if (const FontStack* stack = fontStackOf(name)) {
    // Each face once, the user's spelling first.
    std::vector<std::string> written;
    std::string value;
    const auto add = [&](std::string_view face) {
      if (std::find(written.begin(), written.end(), lowered(face)) != written.end()) return;
      written.push_back(lowered(face));
      value.append(value.empty() ? "" : ", ").append(cssString(face));
    };
    add(name);
    add(stack->name);
    add(stack->latinName);
    for (std::string_view face : stack->faces) add(face);
    return value + ", " + std::string(stack->generic);
  }
  const auto has = [&](std::string_view part) { return key.find(part) != std::string::npos; };
  const char* generic = "sans-serif";
  if (has("comic"))
    generic = "cursive";
  else if (has("mono") || has("courier") || has("consol"))
    generic = "monospace";
  else if (has("明朝") || has("mincho") || has("times") || (has("serif") && !has("sans")))
    generic = "serif";
  return cssString(name) + ", " + generic;
}

std::string embeddedFontFamilyValue(std::string_view family, std::string_view name) {
  if (name.empty() || lowered(name) == lowered(family)) return fontFamilyValue(family);
  // The family once: a stack that names it too (an installed Noto Sans CJK
  // JP after メイリオ) would only repeat what the web font already gives.
  std::string stack = fontFamilyValue(name);
  const std::string again = ", " + cssString(family);
  if (const std::size_t at = stack.find(again + ","); at != std::string::npos) stack.erase(at, again.size());
  return cssString(family) + ", " + stack;
}

namespace {

// The scrollbar, tag slot and class rules, the part of the sheet the dark
// variant repeats with its colours. `blinks` tells whether a slot blinks.
std::optional<ModernRefusal> appendGeneratedRules(const StyleDocument& doc, const WebFontFaces& fonts, std::string& t,
                                                  bool& blinks) {
  if (auto refusal = appendScrollbarRules(doc, t)) return refusal;

  // BODY first, then A:HOVER before A:ACTIVE, as the legacy sheet orders them.
  static constexpr std::array<std::pair<int, std::string_view>, kTagSlotCount> kOrder = {{
      {kSlotBody, "body"},
      {kSlotP, "p"},
      {kSlotA, "a"},
      {kSlotVisited, "a:visited"},
      {kSlotHover, "a:hover"},
      {kSlotActive, "a:active"},
  }};
  for (const auto& [slot, selector] : kOrder) {
    const TagSlot& s = doc.slots[static_cast<std::size_t>(slot)];
    if (s.enabled != 1) continue;
    std::string declarations;
    if (auto refusal = SlotWriter(doc, slot, webFontOfSlot(fonts, slot)).write(declarations)) return refusal;
    rule(t, selector, declarations);
    blinks = blinks || s.blink == 1;
  }
  return appendModernClassRules(doc, t);
}

// The top-level rules of generated text, each as its lines: a rule ends at
// the first line that is "}" alone, which closes an at-rule's inner rules too.
std::vector<std::vector<std::string_view>> rulesOf(std::string_view text) {
  const std::string_view lineEnd = kCrLf;
  std::vector<std::vector<std::string_view>> rules(1);
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(lineEnd, start), text.size());
    const std::string_view line = text.substr(start, end - start);
    rules.back().push_back(line);
    if (line == "}") rules.emplace_back();
    start = end + lineEnd.size();
  }
  if (rules.back().empty()) rules.pop_back();
  return rules;
}

// What the dark rule changes of its light twin: a plain rule keeps its
// selector and only the declarations that differ; an at-rule is taken
// whole. Each line indented for the media block.
void appendChanged(const std::vector<std::string_view>& light, const std::vector<std::string_view>& dark,
                   std::string& t) {
  const bool plain = light.size() == dark.size() && !dark.front().starts_with("@");
  bool inDeclarations = false;
  for (std::size_t k = 0; k < dark.size(); ++k) {
    const bool declaration = inDeclarations && k + 1 < dark.size();
    if (!plain || !declaration || dark[k] != light[k]) t.append("  ").append(dark[k]).append(kCrLf);
    inDeclarations = inDeclarations || dark[k].ends_with(" {");
  }
}

// "ダークモード": the generated rules again with the dark colours, inside
// @media (prefers-color-scheme: dark), keeping of each rule only what the
// colours change. `light` is the text appendGeneratedRules gave for the
// document itself. Nothing when the dark colours change nothing.
std::optional<ModernRefusal> appendDarkRules(const StyleDocument& doc, const WebFontFaces& fonts,
                                             std::string_view light, std::string& t) {
  std::string darkText;
  bool blinks = false;
  if (auto refusal = appendGeneratedRules(withDarkColours(doc), fonts, darkText, blinks)) {
    refusal->place = "ダークモードの" + refusal->place;
    return refusal;
  }
  const auto lightRules = rulesOf(light);
  const auto darkRules = rulesOf(darkText);
  std::string changed;
  for (std::size_t k = 0; k < darkRules.size(); ++k) {
    if (k < lightRules.size() && lightRules[k] == darkRules[k]) continue;
    appendChanged(k < lightRules.size() ? lightRules[k] : std::vector<std::string_view>{}, darkRules[k], changed);
  }
  if (changed.empty()) return std::nullopt;
  t.append("@media (prefers-color-scheme: dark) {").append(kCrLf).append(changed).append("}").append(kCrLf);
  return std::nullopt;
}

}  // namespace

std::optional<ModernRefusal> appendModernStyleRules(const StyleDocument& doc, std::string& t,
                                                    const WebFontFaces& fonts) {
  appendKeptStyleHead(doc, t, KeptTextFor::Utf8);
  t.append(fontFaceRules(fonts));
  const bool dark = doc.dark.enabled == 1;
  // Form controls and scroll bars follow the visitor's scheme too.
  if (dark) rule(t, ":root", std::string("  color-scheme: light dark;") + kCrLf);
  const std::size_t generated = t.size();
  bool blinks = false;
  if (auto refusal = appendGeneratedRules(doc, fonts, t, blinks)) return refusal;
  const std::string light = t.substr(generated);

  if (blinks) {
    t.append("@keyframes ").append(kBlinkAnimation).append(" {").append(kCrLf);
    t.append("  50% {").append(kCrLf).append("    opacity: 0;").append(kCrLf).append("  }").append(kCrLf);
    t.append("}").append(kCrLf);
  }
  if (dark) {
    if (auto refusal = appendDarkRules(doc, fonts, light, t)) return refusal;
  }
  appendKeptStyle(doc, t, KeptTextFor::Utf8);
  return std::nullopt;
}

ModernText buildModernStyleSheet(const StyleDocument& doc, const WebFontFaces& fonts) {
  ModernText built;
  built.text.append("@charset \"UTF-8\";").append(kCrLf);
  built.refusal = appendModernStyleRules(doc, built.text, fonts);
  if (built.refusal) return built;
  built.text.append(modernFilterComment(doc));
  return built;
}

std::string modernFilterComment(const StyleDocument& doc) {
  const std::string block = modernFilterBlock(doc);
  if (block.empty()) return {};
  std::string t;
  t.append("/* ").append(kFilterBlockMarker).append(": ").append(kFilterBlockAdvice).append(kCrLf);
  t.append(block).append("*/").append(kCrLf);
  return t;
}

}  // namespace quillane
