#include "document/field_table.h"

#include <algorithm>
#include <array>

namespace quillane {

namespace {

using Doc = StyleDocument;
using Resolver = FieldRef (*)(Doc&, int);

struct Family {
  std::string_view name;
  int first;
  int last;
  Resolver resolve;
};

FieldRef text(std::string& s) { return FieldRef{FieldKind::Text, &s}; }
FieldRef check(int& v) { return FieldRef{FieldKind::Check, nullptr, &v}; }
FieldRef option(Choice& pair, Choice side) { return FieldRef{FieldKind::Option, nullptr, nullptr, &pair, side}; }

TagSlot& slot(Doc& d, int i) { return d.slots[static_cast<std::size_t>(i)]; }
UserClass& cls(Doc& d, int i) { return d.classes[static_cast<std::size_t>(i)]; }
Gradient& gradient(Doc& d, int i) { return d.gradients[static_cast<std::size_t>(i)]; }
ClassDarkColours& darkOf(Doc& d, int c) { return d.dark.classes[static_cast<std::size_t>(c)]; }

constexpr int kLastSlot = kTagSlotCount - 1;
constexpr int kLastClass = kUserClassCount - 1;

// clang-format off
const std::array kFamilies = {
  // Tag slots and page-wide settings
  Family{"Text3",   0, kColourBoxCount - 1, [](Doc& d, int i) { return text(d.colours[static_cast<std::size_t>(i)]); }},
  Family{"Check7",  0, kLastSlot, [](Doc& d, int i) { return check(slot(d, i).enabled); }},
  Family{"Text4",   0, kLastSlot, [](Doc& d, int i) { return text(slot(d, i).weight); }},
  Family{"Option4", 0, kLastSlot, [](Doc& d, int i) { return option(slot(d, i).useImage, Choice::First); }},
  Family{"Option3", 0, kLastSlot, [](Doc& d, int i) { return option(slot(d, i).useImage, Choice::Second); }},
  Family{"Text6",   0, kLastSlot, [](Doc& d, int i) { return text(slot(d, i).imagePath); }},
  Family{"Check1",  0, kLastSlot, [](Doc& d, int i) { return check(slot(d, i).italic); }},
  Family{"Check2",  0, kLastSlot, [](Doc& d, int i) { return check(slot(d, i).underline); }},
  Family{"Check3",  0, kLastSlot, [](Doc& d, int i) { return check(slot(d, i).overline); }},
  Family{"Check4",  0, kLastSlot, [](Doc& d, int i) { return check(slot(d, i).lineThrough); }},
  Family{"Check5",  0, kLastSlot, [](Doc& d, int i) { return check(slot(d, i).blink); }},
  Family{"Combo1",  0, kLastSlot, [](Doc& d, int i) { return text(slot(d, i).fontName); }},
  Family{"Text1",   0, kLastSlot, [](Doc& d, int i) { return text(slot(d, i).fontSize); }},
  Family{"Combo3",  0, kLastSlot, [](Doc& d, int i) { return text(slot(d, i).sizeUnit); }},
  Family{"Combo2",  0, kLastSlot, [](Doc& d, int i) { return text(slot(d, i).cursorLabel); }},
  Family{"Check6",  kFirstScrollbarColour, kLastScrollbarColour, [](Doc& d, int k) { return check(d.scrollbarCheck(k)); }},
  Family{"Check27", kNoIndex, kNoIndex, [](Doc& d, int) { return check(d.fixedBackground); }},
  // User classes
  Family{"Check12", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).enabled); }},
  Family{"SSTab4",  0, kLastClass, [](Doc& d, int c) { return FieldRef{FieldKind::ClassName, &cls(d, c).className}; }},
  Family{"Option9", 0, kLastClass, [](Doc& d, int c) { return option(cls(d, c).target, Choice::First); }},
  Family{"Option10",0, kLastClass, [](Doc& d, int c) { return option(cls(d, c).target, Choice::Second); }},
  Family{"Check13", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).alphaOn); }},
  Family{"Text2",   0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).opacity); }},
  Family{"Slider1", 0, kLastClass, [](Doc& d, int c) {
     return FieldRef{FieldKind::Slider, nullptr, &cls(d, c).opacitySlider, nullptr, Choice::Neither, &cls(d, c)}; }},
  Family{"Check14", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).chromaOn); }},
  Family{"Text13",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).chromaColor); }},
  Family{"Check15", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).blurOn); }},
  Family{"Text14",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).blurDirection); }},
  Family{"Text15",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).blurStrength); }},
  Family{"Check16", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).waveOn); }},
  Family{"Option12",0, kLastClass, [](Doc& d, int c) { return option(cls(d, c).waveOverlay, Choice::First); }},
  Family{"Option13",0, kLastClass, [](Doc& d, int c) { return option(cls(d, c).waveOverlay, Choice::Second); }},
  Family{"Text16",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).waveFreq); }},
  Family{"Text17",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).waveLight); }},
  Family{"Text18",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).wavePhase); }},
  Family{"Text19",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).waveStrength); }},
  Family{"Check17", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).flipOn); }},
  Family{"Check18", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).flipVertical); }},
  Family{"Check19", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).flipHorizontal); }},
  Family{"Check20", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).glowOn); }},
  Family{"Text20",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).glowStrength); }},
  Family{"Text21",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).glowColor); }},
  Family{"Check21", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).toneOn); }},
  Family{"Check22", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).invert); }},
  Family{"Check23", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).xray); }},
  Family{"Check24", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).gray); }},
  Family{"Check25", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).shadowOn); }},
  Family{"Text22",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).shadowDirection); }},
  Family{"Text23",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).shadowColor); }},
  Family{"Check26", 0, kLastClass, [](Doc& d, int c) { return check(cls(d, c).specialOn); }},
  Family{"Text24",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).specialColor2); }},
  Family{"Text25",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).specialColor1); }},
  Family{"Text26",  0, kLastClass, [](Doc& d, int c) { return text(cls(d, c).specialStrength); }},
  // Output options
  Family{"Option5", kNoIndex, kNoIndex, [](Doc& d, int) { return option(d.output.format, Choice::First); }},
  Family{"Option6", kNoIndex, kNoIndex, [](Doc& d, int) { return option(d.output.format, Choice::Second); }},
  Family{"Text7",   kNoIndex, kNoIndex, [](Doc& d, int) { return text(d.output.cssFolder); }},
  Family{"Text8",   kNoIndex, kNoIndex, [](Doc& d, int) { return text(d.output.cssFileName); }},
  Family{"Option7", kNoIndex, kNoIndex, [](Doc& d, int) { return option(d.output.makeLinkPage, Choice::First); }},
  Family{"Option8", kNoIndex, kNoIndex, [](Doc& d, int) { return option(d.output.makeLinkPage, Choice::Second); }},
  Family{"Text5",   kNoIndex, kNoIndex, [](Doc& d, int) { return text(d.output.linkPageFileName); }},
  Family{"Text12",  kNoIndex, kNoIndex, [](Doc& d, int) { return text(d.output.linkPageTitle); }},
  Family{"Check11", kNoIndex, kNoIndex, [](Doc& d, int) { return check(d.output.linkPageSample); }},
  Family{"Check10", kNoIndex, kNoIndex, [](Doc& d, int) { return check(d.output.linkPageBreaks); }},
  Family{"Text9",   kNoIndex, kNoIndex, [](Doc& d, int) { return text(d.output.htmlFolder); }},
  Family{"Text10",  kNoIndex, kNoIndex, [](Doc& d, int) { return text(d.output.htmlFileName); }},
  Family{"Text11",  kNoIndex, kNoIndex, [](Doc& d, int) { return text(d.output.htmlTitle); }},
  Family{"Check8",  kNoIndex, kNoIndex, [](Doc& d, int) { return check(d.output.htmlSample); }},
  Family{"Check9",  kNoIndex, kNoIndex, [](Doc& d, int) { return check(d.output.htmlBreaks); }},
  Family{"Check28", kNoIndex, kNoIndex, [](Doc& d, int) { return FieldRef{FieldKind::Switch, nullptr, &d.output.modern}; }},
  // The gradients of the slots' backgrounds; their first colour is Text3(back).
  Family{"ComboGradient", 0, kLastSlot, [](Doc& d, int i) {
     return FieldRef{.kind = FieldKind::Gradient, .gradient = &gradient(d, i).kind}; }},
  Family{"TextAngle",     0, kLastSlot, [](Doc& d, int i) { return text(gradient(d, i).angle); }},
  Family{"TextGradient2", 0, kLastSlot, [](Doc& d, int i) { return text(gradient(d, i).colours[0]); }},
  Family{"TextGradient3", 0, kLastSlot, [](Doc& d, int i) { return text(gradient(d, i).colours[1]); }},
  // The dark variant: its switch, then the dark counterpart of each colour,
  // named after the light box ("Text3Dark(18)" for Text3(18)).
  Family{"CheckDark",     kNoIndex, kNoIndex, [](Doc& d, int) { return check(d.dark.enabled); }},
  Family{"Text3Dark",     0, kColourBoxCount - 1, [](Doc& d, int i) { return text(d.dark.colours[static_cast<std::size_t>(i)]); }},
  Family{"TextGradient2Dark", 0, kLastSlot, [](Doc& d, int i) { return text(gradient(d, i).darkColours[0]); }},
  Family{"TextGradient3Dark", 0, kLastSlot, [](Doc& d, int i) { return text(gradient(d, i).darkColours[1]); }},
  Family{"Text13Dark",    0, kLastClass, [](Doc& d, int c) { return text(darkOf(d, c).chromaColor); }},
  Family{"Text21Dark",    0, kLastClass, [](Doc& d, int c) { return text(darkOf(d, c).glowColor); }},
  Family{"Text23Dark",    0, kLastClass, [](Doc& d, int c) { return text(darkOf(d, c).shadowColor); }},
  Family{"Text25Dark",    0, kLastClass, [](Doc& d, int c) { return text(darkOf(d, c).specialColor1); }},
  Family{"Text24Dark",    0, kLastClass, [](Doc& d, int c) { return text(darkOf(d, c).specialColor2); }},
};
// clang-format on

}  // namespace

std::string ControlId::toString() const {
  std::string s(family);
  if (index != kNoIndex) s.append("(").append(std::to_string(index)).append(")");
  return s;
}

void FieldRef::setOption(bool selected) const {
  if (selected)
    *pair = side;
  else if (*pair == side)
    *pair = Choice::Neither;
}

std::optional<FieldRef> fieldOf(StyleDocument& doc, ControlId id) {
  const auto* family =
      std::find_if(kFamilies.begin(), kFamilies.end(), [&](const Family& f) { return f.name == id.family; });
  if (family == kFamilies.end() || id.index < family->first || id.index > family->last) return std::nullopt;
  return family->resolve(doc, id.index);
}

const std::vector<FamilyRange>& allFamilies() {
  static const std::vector<FamilyRange> ranges = [] {
    std::vector<FamilyRange> r;
    for (const auto& f : kFamilies) r.push_back({f.name, f.first, f.last});
    return r;
  }();
  return ranges;
}

}  // namespace quillane
