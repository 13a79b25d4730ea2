#include "generation/declaration_emitters.h"

#include <array>
#include <string_view>
#include <utility>

namespace quillane {

namespace {

using Mapping = std::pair<std::string_view, std::string_view>;

constexpr std::array<Mapping, 5> kUnitSuffixes = {{
    {"ピクセル", "px;"},
    {"ポイント", "pt;"},
    {"インチ", "in;"},
    {"ミリメートル", "mm;"},
    {"センチメートル", "cm;"},
}};

// The gap in the last four labels is U+3000; the dash is ASCII.
constexpr std::array<Mapping, 12> kCursorKeywords = {{
    {"自動", " auto;"},
    {"通常", " default;"},
    {"リンク", " pointer;"},
    {"十字", " crosshair;"},
    {"砂時計", " wait;"},
    {"移動", " move;"},
    {"文字入力", " text;"},
    {"ヘルプ", " help;"},
    {"サイズ変更　上-下", " n-resize;"},
    {"サイズ変更　左-右", " w-resize;"},
    {"サイズ変更　左上-右下", " nw-resize;"},
    {"サイズ変更　左下-右上", " sw-resize;"},
}};

template <std::size_t N>
const std::string_view* lookup(const std::array<Mapping, N>& table, std::string_view label) {
  for (const auto& [key, value] : table)
    if (key == label) return &value;
  return nullptr;
}

template <std::size_t N>
std::vector<std::string> labelsOf(const std::array<Mapping, N>& table) {
  std::vector<std::string> labels;
  for (const auto& entry : table) labels.emplace_back(entry.first);
  return labels;
}

const TagSlot& slot(const StyleDocument& doc, int i) { return doc.slots[static_cast<std::size_t>(i)]; }
const std::string& colour(const StyleDocument& doc, int i) { return doc.colours[static_cast<std::size_t>(i)]; }

void line(std::string& t, std::string_view head, std::string_view value, std::string_view tail) {
  t.append(head).append(value).append(tail).append(kCrLf);
}

}  // namespace

void Color(const StyleDocument& doc, int i, std::string& t) { line(t, "  color : #", colour(doc, i), ";"); }

void BackGroundColor(const StyleDocument& doc, int i, std::string& t) {
  line(t, "  background-color: #", colour(doc, i), ";");
}

void FontWeight(const StyleDocument& doc, int i, std::string& t) {
  line(t, "  font-weight : ", slot(doc, i).weight, ";");
}

void BackGroundImage(const StyleDocument& doc, int i, std::string& t) {
  line(t, "  background-image : url(", slot(doc, i).imagePath, ");");
  if (doc.fixedBackground == 1) line(t, "background-attachment: fixed;", "", "");
}

void TextDecoration(const StyleDocument& doc, int i, std::string& t) {
  const TagSlot& s = slot(doc, i);
  t += "  text-decoration :";
  if (s.underline == 1) t += " underline";
  if (s.overline == 1) t += " overline";
  if (s.lineThrough == 1) t += " line-through";
  if (s.blink == 1) t += " blink";
  t.append(";").append(kCrLf);
}

void FontFamily(const StyleDocument& doc, int i, std::string& t) {
  line(t, "  font-family : \"", slot(doc, i).fontName, "\";");
}

void FontStyle(std::string& t) { line(t, "  font-style : italic;", "", ""); }

// A unit text outside the list is written as typed, so a user who types
// "em" into the editable list gets "12em;".
void FontSizes(const StyleDocument& doc, int i, std::string& t) {
  const TagSlot& s = slot(doc, i);
  t.append("  font-size : ").append(s.fontSize);
  if (const auto* suffix = lookup(kUnitSuffixes, s.sizeUnit))
    t.append(*suffix);
  else
    t.append(s.sizeUnit).append(";");
  t.append(kCrLf);
}

// A cursor text outside the list is written as typed: "  cursor :  grab;".
void Cursor(const StyleDocument& doc, int i, std::string& t) {
  const TagSlot& s = slot(doc, i);
  t.append("  cursor : ");
  if (const auto* keyword = lookup(kCursorKeywords, s.cursorLabel))
    t.append(*keyword);
  else
    t.append(" ").append(s.cursorLabel).append(";");
  t.append(kCrLf);
}

void Scrollbar(const StyleDocument& doc, std::string& t) {
  static constexpr std::array<std::pair<int, std::string_view>, kScrollbarColourCount> kOrder = {{
      {11, " scrollbar-arrow-color:#"},
      {13, " scrollbar-base-color: #"},
      {12, " scrollbar-face-color: #"},
      {14, " scrollbar-highlight-color: #"},
      {16, " scrollbar-shadow-color: #"},
      {17, " scrollbar-track-color: #"},
      {15, " scrollbar-darkshadow-color: #"},
  }};
  for (const auto& [k, property] : kOrder)
    if (doc.scrollbarCheck(k) == 1) t.append(property).append(colour(doc, k)).append(";");
}

const std::vector<std::string>& sizeUnitLabels() {
  // The list shows them smallest unit family first, unlike the lookup order.
  static const std::vector<std::string> labels = {"ミリメートル", "センチメートル", "インチ", "ポイント", "ピクセル"};
  return labels;
}

const std::vector<std::string>& cursorLabels() {
  static const std::vector<std::string> labels = labelsOf(kCursorKeywords);
  return labels;
}

}  // namespace quillane
