#include "persistence/scheme_line.h"

#include <map>
#include <vector>

#include "document/message_text.h"
#include "persistence/kept_style_line.h"

namespace quillane {

namespace {

// One value of the line: text, a check, or a gradient's kind.
struct Entry {
  std::string key;
  std::string* text = nullptr;
  CheckState* check = nullptr;
  GradientKind* kind = nullptr;
  int* kilobytes = nullptr;  // the web fonts' limit: 1 to 100,000
};

constexpr std::array<std::string_view, 3> kKinds = {"none", "linear", "radial"};

std::vector<Entry> entriesOf(StyleDocument& doc) {
  std::vector<Entry> entries;
  entries.push_back({"dark", nullptr, &doc.dark.enabled});
  for (std::size_t i = 0; i < kColourBoxCount; ++i)
    entries.push_back({"dark." + std::to_string(i), &doc.dark.colours[i]});
  for (std::size_t c = 0; c < kUserClassCount; ++c) {
    ClassDarkColours& colours = doc.dark.classes[c];
    const std::string n = std::to_string(c);
    entries.push_back({"dark.chroma." + n, &colours.chromaColor});
    entries.push_back({"dark.glow." + n, &colours.glowColor});
    entries.push_back({"dark.shadow." + n, &colours.shadowColor});
    entries.push_back({"dark.special1." + n, &colours.specialColor1});
    entries.push_back({"dark.special2." + n, &colours.specialColor2});
  }
  for (std::size_t s = 0; s < kTagSlotCount; ++s) {
    Gradient& g = doc.gradients[s];
    const std::string key = "gradient." + std::to_string(s);
    entries.push_back({key, nullptr, nullptr, &g.kind});
    entries.push_back({key + ".angle", &g.angle});
    entries.push_back({key + ".colour2", &g.colours[0]});
    entries.push_back({key + ".colour3", &g.colours[1]});
    entries.push_back({key + ".dark2", &g.darkColours[0]});
    entries.push_back({key + ".dark3", &g.darkColours[1]});
  }
  for (std::size_t s = 0; s < kTagSlotCount; ++s) {
    EmbeddedFont& font = doc.fonts.slots[s];
    const std::string key = "font." + std::to_string(s);
    entries.push_back({key + ".file", &font.file});
    entries.push_back({key + ".face", &font.face});
    entries.push_back({key + ".family", &font.family});
  }
  entries.push_back({"font.sets", &doc.fonts.sets});
  entries.push_back({"font.limit", nullptr, nullptr, nullptr, &doc.fonts.limitKilobytes});
  return entries;
}

std::string valueOf(const Entry& e) {
  if (e.text) return *e.text;
  if (e.check) return std::to_string(*e.check);
  if (e.kilobytes) return std::to_string(*e.kilobytes);
  return std::string(kKinds[static_cast<std::size_t>(*e.kind)]);
}

// Sets an entry from its value; false when the value is not one it takes.
bool setEntry(const Entry& e, const std::string& value) {
  if (e.text) {
    *e.text = value;
    return true;
  }
  if (e.check) {
    if (value.size() != 1 || value[0] < '0' || value[0] > '2') return false;
    *e.check = value[0] - '0';
    return true;
  }
  if (e.kilobytes) {
    if (value.empty() || value.size() > 6 || value[0] == '0' ||
        value.find_first_not_of("0123456789") != std::string::npos || std::stoi(value) > 100000)
      return false;
    *e.kilobytes = std::stoi(value);
    return true;
  }
  for (std::size_t k = 0; k < kKinds.size(); ++k)
    if (value == kKinds[k]) {
      *e.kind = static_cast<GradientKind>(k);
      return true;
    }
  return false;
}

}  // namespace

std::string schemeLine(const StyleDocument& doc) {
  StyleDocument fresh;
  StyleDocument& readable = const_cast<StyleDocument&>(doc);  // entries are only read here
  const std::vector<Entry> entries = entriesOf(readable);
  const std::vector<Entry> defaults = entriesOf(fresh);
  std::string line;
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const std::string value = valueOf(entries[k]);
    if (value == valueOf(defaults[k])) continue;
    line.append(line.empty() ? kSchemeLinePrefix : " ").append(entries[k].key).append("=");
    line.append(escapedLineText(value, " ="));
  }
  return line;
}

std::optional<std::string> applySchemeLine(std::string_view line, StyleDocument& doc) {
  StyleDocument staged = doc;
  const StyleDocument fresh;
  staged.dark = fresh.dark;
  staged.gradients = fresh.gradients;
  staged.fonts = fresh.fonts;
  if (line.starts_with(kSchemeLinePrefix)) {
    line.remove_prefix(kSchemeLinePrefix.size());
    // The line holds at most a line's bytes, so the entries are few.
    std::map<std::string, std::string, std::less<>> values;
    while (!line.empty()) {
      const std::size_t end = std::min(line.find(' '), line.size());
      const std::string_view item = line.substr(0, end);
      line.remove_prefix(std::min(end + 1, line.size()));
      if (item.empty()) continue;
      const std::size_t equals = item.find('=');
      if (equals == std::string_view::npos) return "「" + shownText(item) + "」に = がありません";
      auto value = unescapedLineText(item.substr(equals + 1));
      if (!value) return "%XX の並びが UTF-8 になりません";
      values[std::string(item.substr(0, equals))] = std::move(*value);
    }
    for (const Entry& e : entriesOf(staged)) {
      const auto it = values.find(e.key);
      if (it != values.end() && !setEntry(e, it->second))
        return "「" + e.key + "」の値「" + shownText(it->second) + "」は使えません";
    }
  }
  doc.dark = std::move(staged.dark);
  doc.gradients = std::move(staged.gradients);
  doc.fonts = std::move(staged.fonts);
  return std::nullopt;
}

}  // namespace quillane
