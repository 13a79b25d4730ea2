#include "importing/legacy_rules.h"

#include <array>
#include <cctype>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "generation/declaration_emitters.h"
#include "generation/filter_emitters.h"

namespace quillane {

namespace {

// Matches `line` against literal pieces with one value between each two:
//   match("  Glow(Color=F00, Strength= 5)", {"  Glow(Color=", ", Strength=", ")"}) -> {"F00", " 5"}
// Each inner literal is found at its first place after the value before it.
std::optional<std::vector<std::string>> match(std::string_view line, std::initializer_list<std::string_view> pieces) {
  const std::vector<std::string_view> literal(pieces);
  if (!line.starts_with(literal.front()) || !line.ends_with(literal.back())) return std::nullopt;
  if (line.size() < literal.front().size() + literal.back().size()) return std::nullopt;
  std::vector<std::string> values;
  std::size_t at = literal.front().size();
  const std::size_t end = line.size() - literal.back().size();
  for (std::size_t k = 1; k + 1 < literal.size(); ++k) {
    const std::size_t found = line.find(literal[k], at);
    if (found == std::string_view::npos || found > end) return std::nullopt;
    values.emplace_back(line.substr(at, found - at));
    at = found + literal[k].size();
  }
  if (at > end) return std::nullopt;
  values.emplace_back(line.substr(at, end - at));
  return values;
}

std::vector<std::string_view> splitCrLf(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(at));
      return lines;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
}

// What the emitters write for each list label, asked of the emitters
// themselves so the two cannot drift apart: the font-size suffix of each
// unit label, the cursor text of each cursor label, the property text of
// each scrollbar row.
struct EmittedTexts {
  std::vector<std::pair<std::string, std::string>> unitSuffixes;  // "px;" -> "ピクセル"
  std::vector<std::pair<std::string, std::string>> cursorTexts;   // " auto;" -> "自動"
  std::vector<std::pair<std::string, int>> scrollbarProperties;   // " scrollbar-arrow-color:#" -> 11
};

const EmittedTexts& emittedTexts() {
  static const EmittedTexts texts = [] {
    EmittedTexts t;
    StyleDocument doc;
    for (const std::string& label : sizeUnitLabels()) {
      doc.slots[0].sizeUnit = label;
      std::string line;
      FontSizes(doc, 0, line);
      t.unitSuffixes.emplace_back(line.substr(std::string("  font-size : ").size(), line.size() - 16), label);
    }
    for (const std::string& label : cursorLabels()) {
      doc.slots[0].cursorLabel = label;
      std::string line;
      Cursor(doc, 0, line);
      t.cursorTexts.emplace_back(line.substr(std::string("  cursor : ").size(), line.size() - 13), label);
    }
    for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k) {
      StyleDocument one;
      one.scrollbarEnabled.fill(0);
      one.scrollbarCheck(k) = 1;
      one.colours[static_cast<std::size_t>(k)].clear();
      std::string line;
      Scrollbar(one, line);
      t.scrollbarProperties.emplace_back(line.substr(0, line.size() - 1), k);
    }
    return t;
  }();
  return texts;
}

bool readScrollbarLine(std::string_view line, StyleDocument& doc) {
  while (!line.empty()) {
    bool found = false;
    for (const auto& [property, k] : emittedTexts().scrollbarProperties) {
      if (!line.starts_with(property)) continue;
      const std::size_t semicolon = line.find(';', property.size());
      if (semicolon == std::string_view::npos) return false;
      doc.scrollbarCheck(k) = 1;
      doc.colours[static_cast<std::size_t>(k)] = line.substr(property.size(), semicolon - property.size());
      line.remove_prefix(semicolon + 1);
      found = true;
      break;
    }
    if (!found) return false;
  }
  return true;
}

bool readSlotLine(std::string_view line, int slot, StyleDocument& doc) {
  TagSlot& s = doc.slots[static_cast<std::size_t>(slot)];
  const auto colour = [&](int index) -> std::string& { return doc.colours[static_cast<std::size_t>(index)]; };
  if (auto v = match(line, {"  color : #", ";"})) {
    colour(foreColourIndex(slot)) = (*v)[0];
  } else if (auto v = match(line, {"  background-color: #", ";"})) {
    colour(backColourIndex(slot)) = (*v)[0];
  } else if (auto v = match(line, {"  font-weight : ", ";"})) {
    s.weight = (*v)[0];
  } else if (auto v = match(line, {"  background-image : url(", ");"})) {
    s.useImage = Choice::First;
    s.imagePath = (*v)[0];
  } else if (line == "background-attachment: fixed;") {
    doc.fixedBackground = 1;
  } else if (auto v = match(line, {"  text-decoration :", ";"})) {
    std::string_view words = (*v)[0];
    for (auto [word, flag] : {std::pair<std::string_view, CheckState*>{" underline", &s.underline},
                              {" overline", &s.overline},
                              {" line-through", &s.lineThrough},
                              {" blink", &s.blink}}) {
      if (words.starts_with(word)) {
        *flag = 1;
        words.remove_prefix(word.size());
      }
    }
    if (!words.empty()) return false;
  } else if (auto v = match(line, {"  font-family : \"", "\";"})) {
    s.fontName = (*v)[0];
  } else if (line == "  font-style : italic;") {
    s.italic = 1;
  } else if (auto v = match(line, {"  font-size : ", ""})) {
    const std::string& text = (*v)[0];
    for (const auto& [suffix, label] : emittedTexts().unitSuffixes) {
      if (text.ends_with(suffix)) {
        s.fontSize = text.substr(0, text.size() - suffix.size());
        s.sizeUnit = label;
        return true;
      }
    }
    // A unit outside the list is written as typed after the size.
    if (!text.ends_with(";")) return false;
    std::size_t split = 0;
    while (split + 1 < text.size() && (std::isdigit(static_cast<unsigned char>(text[split])) != 0 ||
                                       text[split] == '.' || text[split] == '-' || text[split] == ' '))
      ++split;
    s.fontSize = text.substr(0, split);
    s.sizeUnit = text.substr(split, text.size() - split - 1);
  } else if (auto v = match(line, {"  cursor : ", ""})) {
    const std::string& text = (*v)[0];
    for (const auto& [written, label] : emittedTexts().cursorTexts) {
      if (text == written) {
        s.cursorLabel = label;
        return true;
      }
    }
    if (!text.starts_with(" ") || !text.ends_with(";") || text.size() < 2) return false;
    s.cursorLabel = text.substr(1, text.size() - 2);
  } else {
    return false;
  }
  return true;
}

// A filter number as written (" 10", "-5") back as the text of its field.
std::string numberText(std::string_view written) {
  if (written.starts_with(" ")) written.remove_prefix(1);
  return std::string(written);
}

void setOpacity(UserClass& c, const std::string& text) {
  int position = -1;
  if (!text.empty() && text.size() <= 3 && text.find_first_not_of("0123456789") == std::string::npos)
    position = std::stoi(text);
  if (position >= 0 && position <= 100) c.moveOpacitySlider(position);
  c.opacity = text;
}

bool readFilterLine(std::string_view line, UserClass& c) {
  if (auto v = match(line, {"  Chroma(Color=#", ")"})) {
    c.chromaOn = 1;
    c.chromaColor = (*v)[0];
  } else if (auto v = match(line, {"  Alpha(opacity=", ")"})) {
    c.alphaOn = 1;
    setOpacity(c, (*v)[0]);
  } else if (auto v = match(line, {"  Blur(Add = ", ", Direction = ", ", Strength = ", ")"})) {
    c.blurOn = 1;
    c.blurDirection = numberText((*v)[1]);
    c.blurStrength = numberText((*v)[2]);
  } else if (auto v = match(line, {"  Wave(Add=", ", Freq = ", ", LightStrength=", ", Phase=", ", Strength=", ")"})) {
    c.waveOn = 1;
    c.waveOverlay = (*v)[0] == "1" ? Choice::First : Choice::Second;
    c.waveFreq = numberText((*v)[1]);
    c.waveLight = numberText((*v)[2]);
    c.wavePhase = numberText((*v)[3]);
    c.waveStrength = numberText((*v)[4]);
  } else if (line == "  FlipV" || line == "  FlipH") {
    c.flipOn = 1;
    (line == "  FlipV" ? c.flipVertical : c.flipHorizontal) = 1;
  } else if (auto v = match(line, {"  Glow(Color=", ", Strength=", ")"})) {
    c.glowOn = 1;
    c.glowColor = (*v)[0];
    c.glowStrength = numberText((*v)[1]);
  } else if (line == "  Invert" || line == "  Xray" || line == "  Gray") {
    c.toneOn = 1;
    (line == "  Invert" ? c.invert : line == "  Xray" ? c.xray : c.gray) = 1;
  } else if (auto v = match(line, {"  Mask(color=", ") Shadow(Color=", ", Direction=", ") Chroma(color=", ")"})) {
    if ((*v)[0] != (*v)[3]) return false;
    c.specialOn = 1;
    c.specialColor2 = (*v)[0];
    c.specialColor1 = (*v)[1];
    c.specialStrength = (*v)[2];
  } else if (auto v = match(line, {"  Shadow(Color=", ", Direction=", ")"})) {
    c.shadowOn = 1;
    c.shadowColor = (*v)[0];
    c.shadowDirection = numberText((*v)[1]);
  } else {
    return false;
  }
  return true;
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())) != 0) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())) != 0) s.remove_suffix(1);
  return s;
}

// One hand-written filter: its name (lowered, without the progid prefix)
// and its "key=value" arguments (keys lowered, values trimmed).
struct FilterCall {
  std::string name;
  std::vector<std::pair<std::string, std::string>> arguments;
  const std::string* argument(std::string_view key) const {
    for (const auto& [k, v] : arguments)
      if (k == key) return &v;
    return nullptr;
  }
};

std::optional<std::vector<FilterCall>> splitFilters(std::string_view list) {
  std::vector<FilterCall> calls;
  for (;;) {
    list = trimmed(list);
    if (list.empty()) return calls;
    std::size_t k = 0;
    while (k < list.size() && (std::isalnum(static_cast<unsigned char>(list[k])) != 0 || list[k] == '.' ||
                               list[k] == ':' || list[k] == '_'))
      ++k;
    if (k == 0) return std::nullopt;
    FilterCall call;
    call.name = lowered(list.substr(0, k));
    if (const std::size_t dot = call.name.rfind('.'); call.name.starts_with("progid:") && dot != std::string::npos)
      call.name = call.name.substr(dot + 1);
    list.remove_prefix(k);
    std::string_view rest = trimmed(list);
    if (rest.starts_with("(")) {
      const std::size_t close = rest.find(')');
      if (close == std::string_view::npos) return std::nullopt;
      std::string_view inside = rest.substr(1, close - 1);
      while (!trimmed(inside).empty()) {
        const std::size_t comma = std::min(inside.find(','), inside.size());
        const std::string_view argument = inside.substr(0, comma);
        const std::size_t equals = argument.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        call.arguments.emplace_back(lowered(trimmed(argument.substr(0, equals))),
                                    std::string(trimmed(argument.substr(equals + 1))));
        inside.remove_prefix(std::min(comma + 1, inside.size()));
      }
      list = rest.substr(close + 1);
    }
    calls.push_back(std::move(call));
  }
}

std::string bareColour(std::string_view text) {
  text = trimmed(text);
  if (text.starts_with("#")) text.remove_prefix(1);
  return std::string(text);
}

bool isNumber(const std::string* text) { return text != nullptr && formatFilterNumber(*text).has_value(); }

}  // namespace

int legacySlotOf(std::string_view selector) {
  static constexpr std::array<std::pair<std::string_view, int>, kTagSlotCount> kSelectors = {{
      {"BODY", kSlotBody},
      {"P", kSlotP},
      {"A", kSlotA},
      {"A:VISITED", kSlotVisited},
      {"A:HOVER", kSlotHover},
      {"A:ACTIVE", kSlotActive},
  }};
  for (const auto& [text, slot] : kSelectors)
    if (selector == text) return slot;
  return -1;
}

bool readLegacySlotBlock(std::string_view block, int slot, StyleDocument& doc) {
  const std::vector<std::string_view> lines = splitCrLf(block);
  if (lines.size() < 2 || !lines.front().empty()) return false;
  std::size_t last = lines.size() - 1;
  if (!lines[last].empty()) {
    if (slot != kSlotBody || !readScrollbarLine(lines[last], doc)) return false;
  }
  for (std::size_t k = 1; k < last; ++k)
    if (!readSlotLine(lines[k], slot, doc)) return false;
  if (last > 1) doc.slots[static_cast<std::size_t>(slot)].enabled = 1;
  return true;
}

bool readLegacyClassBlock(std::string_view block, UserClass& cls) {
  const std::vector<std::string_view> lines = splitCrLf(block);
  std::size_t k = 1;
  if (lines.size() < 3 || !lines.front().empty() || !lines.back().empty()) return false;
  cls.target = Choice::Second;
  if (lines[k] == "  Width=100%;") {
    cls.target = Choice::First;
    ++k;
  }
  if (lines[k++] != "  Filter:") return false;
  for (; k + 1 < lines.size(); ++k)
    if (!readFilterLine(lines[k], cls)) return false;
  return k + 1 == lines.size();
}

bool readLegacyFilters(std::string_view list, UserClass& c) {
  const auto calls = splitFilters(list);
  if (!calls || calls->empty()) return false;
  for (std::size_t k = 0; k < calls->size(); ++k) {
    const FilterCall& f = (*calls)[k];
    if (f.name == "mask" && k + 2 < calls->size() && (*calls)[k + 1].name == "shadow" &&
        (*calls)[k + 2].name == "chroma") {
      const std::string* colour2 = f.argument("color");
      const std::string* colour1 = (*calls)[k + 1].argument("color");
      const std::string* strength = (*calls)[k + 1].argument("direction");
      if (!colour2 || !colour1 || !isNumber(strength)) return false;
      c.specialOn = 1;
      c.specialColor2 = bareColour(*colour2);
      c.specialColor1 = bareColour(*colour1);
      c.specialStrength = *strength;
      k += 2;
    } else if (f.name == "chroma" && f.argument("color")) {
      c.chromaOn = 1;
      c.chromaColor = bareColour(*f.argument("color"));
    } else if (f.name == "alpha" && isNumber(f.argument("opacity"))) {
      c.alphaOn = 1;
      setOpacity(c, *f.argument("opacity"));
    } else if (f.name == "blur") {
      const std::string* direction = f.argument("direction");
      const std::string* strength = f.argument("strength");
      c.blurOn = 1;
      c.blurDirection = isNumber(direction) ? *direction : "270";  // the filter's own defaults
      c.blurStrength = isNumber(strength) ? *strength : "5";
    } else if (f.name == "wave") {
      const auto value = [&](std::string_view key, std::string_view fallback) {
        const std::string* v = f.argument(key);
        return isNumber(v) ? *v : std::string(fallback);
      };
      c.waveOn = 1;
      const std::string* add = f.argument("add");
      c.waveOverlay = add && (*add == "1" || lowered(*add) == "true") ? Choice::First : Choice::Second;
      c.waveFreq = value("freq", "3");
      c.waveLight = value("lightstrength", "100");
      c.wavePhase = value("phase", "0");
      c.waveStrength = value("strength", "1");
    } else if (f.name == "flipv" || f.name == "fliph") {
      c.flipOn = 1;
      (f.name == "flipv" ? c.flipVertical : c.flipHorizontal) = 1;
    } else if (f.name == "glow") {
      const std::string* strength = f.argument("strength");
      c.glowOn = 1;
      if (const std::string* colour = f.argument("color")) c.glowColor = bareColour(*colour);
      c.glowStrength = isNumber(strength) ? *strength : "5";
    } else if (f.name == "invert" || f.name == "xray" || f.name == "gray") {
      c.toneOn = 1;
      (f.name == "invert" ? c.invert : f.name == "xray" ? c.xray : c.gray) = 1;
    } else if (f.name == "shadow") {
      const std::string* direction = f.argument("direction");
      c.shadowOn = 1;
      if (const std::string* colour = f.argument("color")) c.shadowColor = bareColour(*colour);
      c.shadowDirection = isNumber(direction) ? *direction : "225";
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace quillane
