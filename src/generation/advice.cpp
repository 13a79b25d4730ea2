#include "generation/advice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "document/colour_text.h"
#include "document/control_captions.h"
#include "generation/font_stacks.h"
#include "generation/modern_stylesheet.h"
#include "generation/modern_values.h"
#include "generation/output_choice.h"

namespace quillane {

namespace {

constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};
constexpr double kNormalText = 4.5;
constexpr double kLargeText = 3.0;
constexpr double kDefaultSizePx = 16;

bool isLink(int slot) { return slot >= kSlotA && slot <= kSlotHover; }

const TagSlot& slotOf(const StyleDocument& doc, int slot) { return doc.slots[static_cast<std::size_t>(slot)]; }

// The slots whose rules reach the text of `slot`, nearest first: a link
// state's element is a link too, a link stands in a paragraph (as on every
// page the program writes), and BODY is the ancestor of all.
std::vector<int> inheritedFrom(const StyleDocument& doc, int slot) {
  std::vector<int> chain = {slot};
  if (slot > kSlotA && slot <= kSlotHover) chain.push_back(kSlotA);
  if (isLink(slot)) chain.push_back(kSlotP);
  if (slot != kSlotBody) chain.push_back(kSlotBody);
  std::erase_if(chain, [&](int s) { return slotOf(doc, s).enabled != 1; });
  return chain;
}

// A colour as written: red, green, blue and alpha, 0..255 each.
using Rgba = std::array<int, 4>;

// The colour of box `box` as the chosen output writes it and browsers read
// it. The legacy output writes the text as typed after "#", so only bare
// hexadecimal digits make a colour there ("FF0000", "f808"; blanks after
// them end the value as CSS reads it, blanks before them or a "#" of its own
// break it, and "red" becomes "#red", which no browser reads). The modern
// output writes every form it accepts: hexadecimal with or without "#" and
// blanks around it, and the colour keywords.
std::optional<Rgba> writtenColour(const StyleDocument& doc, int box) {
  std::string_view text = doc.colours[static_cast<std::size_t>(box)];
  if (writesModern(doc)) {
    const auto value = cssColour(text);
    if (!value) return std::nullopt;
    return cssHexColour(*value);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty() || text.front() == ' ' || text.front() == '\t' || text.front() == '#') return std::nullopt;
  return cssHexColour(text);
}

// `top` drawn over the opaque `under`, as browsers mix a see-through colour.
Rgb over(const Rgba& top, const Rgb& under) {
  Rgb mixed{};
  for (std::size_t k = 0; k < 3; ++k) mixed[k] = (top[k] * top[3] + under[k] * (255 - top[3]) + 127) / 255;
  return mixed;
}

// The browser's colour of a link left uncoloured, as Chromium and Firefox draw it.
Rgb linkColour(int slot) {
  if (slot == kSlotVisited) return {0x55, 0x1A, 0x8B};
  if (slot == kSlotActive) return {0xFF, 0x00, 0x00};
  return {0x00, 0x00, 0xEE};
}

int slotOfBox(int box) {
  if (box == foreColourIndex(kSlotBody) || box == backColourIndex(kSlotBody)) return kSlotBody;
  return box % 5;
}

std::string hexOf(const Rgb& rgb) {
  return "#" + colourTextOf(static_cast<BgrColour>(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16)));
}

// "#777777", "#777777（「ページ本体」から）", "#FFFFFF（指定なし）"
std::string describe(const ShownColour& colour, int slot, int ownBox, bool text) {
  std::string words = hexOf(colour.rgb);
  if (!colour.seeThrough.empty()) words += "（半透明の " + colour.seeThrough + "）";
  if (colour.box == ownBox) return words;
  if (colour.box >= 0)
    return words + "（「" + std::string(kSlotTabCaptions[static_cast<std::size_t>(slotOfBox(colour.box))]) + "」から）";
  return words + (text && isLink(slot) ? "（ブラウザーが決めるリンクの色）" : "（指定なし）");
}

// The size in pixels of a font size as written, or nothing for a relative
// or unreadable one.
std::optional<double> pixelsOf(const TagSlot& s) {
  const auto size = parseNumber(s.fontSize);
  if (!size || *size < 0) return std::nullopt;
  static constexpr std::array<std::pair<std::string_view, double>, 10> kPixelsPer = {{
      {"ピクセル", 1},
      {"ポイント", 96.0 / 72},
      {"インチ", 96},
      {"ミリメートル", 96 / 25.4},
      {"センチメートル", 96 / 2.54},
      {"px", 1},
      {"pt", 96.0 / 72},
      {"in", 96},
      {"mm", 96 / 25.4},
      {"cm", 96 / 2.54},
  }};
  const std::string_view unit = trimmedBlanks(s.sizeUnit);
  for (const auto& [name, pixels] : kPixelsPer)
    if (name == unit) return *size * pixels;
  return std::nullopt;
}

bool isBold(std::string_view weight) {
  std::string keyword(trimmedBlanks(weight));
  for (char& c : keyword)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (keyword == "bold" || keyword == "bolder") return true;
  const auto number = parseNumber(keyword);
  return number && *number >= 700;
}

// Whether text reads better darker than lighter on `background`.
bool darkerReads(const Rgb& background) {
  return contrastRatio(kBlack, background) >= contrastRatio(kWhite, background);
}

// The nearest colour along the line from `text` to black (or white, for a
// dark background) that reaches `required` on `background`: one of the two
// ends always reaches 4.5, since max(ratio to black, ratio to white) >= √21.
Rgb suggestedText(const Rgb& text, const Rgb& background, double required) {
  const bool darker = darkerReads(background);
  Rgb candidate = text;
  for (int step = 1; step <= 255; ++step) {
    for (std::size_t k = 0; k < 3; ++k)
      candidate[k] = darker ? text[k] * (255 - step) / 255 : text[k] + ((255 - text[k]) * step + 254) / 255;
    if (contrastRatio(candidate, background) >= required) break;
  }
  return candidate;
}

std::string ratioLimit(double required) { return required == kLargeText ? "大きな文字の基準 3:1" : "基準の 4.5:1"; }

struct Checked {
  int slot;
  SlotColours colours;
  double required;
  bool owns;            // the slot holds one of the two colours itself
  bool written = true;  // ticked; else A unticked, its links in the browser's colours
};

std::string contrastText(const StyleDocument& doc, const Checked& c, double ratio) {
  const int fore = foreColourIndex(c.slot);
  const int back = backColourIndex(c.slot);
  const Rgb& background = c.colours.background.rgb;
  const Rgb better = suggestedText(c.colours.text.rgb, background, c.required);
  const bool darker = darkerReads(background);
  std::string text =
      screenWords({"Text3", fore}, doc) + ": 文字 " + describe(c.colours.text, c.slot, fore, true) + " と背景 " +
      describe(c.colours.background, c.slot, back, false) + " のコントラスト比は " + ratioText(ratio, c.required) +
      " で、" + ratioLimit(c.required) + " に足りず、読みにくい人がいます。" +
      (c.written ? "" : "「" + std::string(captionRowOf({"Check7", c.slot})->caption[c.slot]) + "」をチェックして、") +
      "「フォントカラー」を " + hexOf(better) + "（" + ratioText(contrastRatio(better, background), c.required) +
      "）のように" + (darker ? "暗く" : "明るく");
  // The background is named only when white (or black) behind this very
  // text would reach the ratio: no background is lighter than white.
  if (contrastRatio(c.colours.text.rgb, darker ? kWhite : kBlack) >= c.required)
    text += "するか、「バックの色」をもっと" + std::string(darker ? "明るく" : "暗く");
  return text + "してください。";
}

void adviseContrast(const StyleDocument& doc, const std::vector<Checked>& checked, const Checked& c,
                    std::vector<Advice>& out) {
  // Colours that are all another slot's are that slot's to fix.
  if (!c.owns)
    for (const Checked& other : checked)
      if (other.slot != c.slot && (other.owns || other.slot < c.slot) && other.colours == c.colours &&
          other.required >= c.required)
        return;
  const double ratio = contrastRatio(c.colours.text.rgb, c.colours.background.rgb);
  if (ratio >= c.required) return;
  Advice advice{
      AdviceKind::Contrast, {"Text3", foreColourIndex(c.slot)}, {foreColourIndex(c.slot)}, contrastText(doc, c, ratio)};
  for (int box : {c.colours.text.box, c.colours.background.box})
    if (box >= 0 && std::find(advice.colourBoxes.begin(), advice.colourBoxes.end(), box) == advice.colourBoxes.end())
      advice.colourBoxes.push_back(box);
  out.push_back(std::move(advice));
}

// "C:\My Documents\a.gif" -> "a.gif"
std::string_view fileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\:");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void adviseImage(const StyleDocument& doc, int slot, std::vector<Advice>& out) {
  const TagSlot& s = slotOf(doc, slot);
  const std::string_view path = trimmedBlanks(s.imagePath);
  if (s.useImage != Choice::First || !isLocalImagePath(path)) return;
  const std::string_view name = fileNameOf(path);
  std::string text =
      screenWords({"Text6", slot}, doc) + ": 「" + std::string(path) +
      "」はこのコンピューターの中の場所なので、ページを見る人には画像が表示されません。画像をページと同じ"
      "フォルダーに置いて";
  text += name.empty() ? "、ページからの場所で書いてください。"
                       : "「" + std::string(name) + "」のようにページからの場所で書いてください。";
  out.push_back({AdviceKind::ImagePath, {"Text6", slot}, {}, std::move(text)});
}

void adviseFont(const StyleDocument& doc, int slot, std::vector<Advice>& out) {
  const std::string_view name = trimmedBlanks(slotOf(doc, slot).fontName);
  if (name.empty() || isGenericFamily(name)) return;
  // Every visitor gets the embedded font; the name is only its fallback.
  if (writesModern(doc) && doc.fonts.slots[static_cast<std::size_t>(slot)].chosen()) return;
  const FontStack* stack = fontStackOf(name);
  const std::string_view family = browserFamilyName(name);
  std::string text = screenWords({"Combo1", slot}, doc) + ": 「" + std::string(name) + "」";
  // What the modern output writes instead, as what it does or as the reason to choose it.
  const auto modernWrites = [&](std::string_view how) {
    if (writesModern(doc))
      text += "今のブラウザ向けの出力は、" + std::string(how) + "次の指定で書き出します: ";
    else
      text += screenWords({"Check28", kNoIndex}, doc) + "をチェックすると、" + std::string(how) +
              "次の指定で書き出します: ";
    text += fontFamilyValue(name);
  };
  if (family != name) {
    text +=
        "の「" + std::string(name.substr(family.size() + 1)) +
        "」はこのコンピューターがフォントの作り手を見分ける印で、フォントの名前ではないため、どのブラウザーもこのフォ"
        "ントを見つけられません。「" +
        std::string(family) + "」と書いてください。";
  } else if (stack != nullptr && !stack->missingOn.empty()) {
    text +=
        "は " + std::string(stack->missingOn) + " にないフォントで、そこではブラウザーが選ぶフォントで表示されます。";
    modernWrites("近いフォントを順に並べた");
  } else if (stack == nullptr && !isStackFace(name)) {
    text +=
        "はどのコンピューターにもあるフォントではなく、ページを見る人のコンピューターにはおそらくありません。そこではブ"
        "ラウザーが選ぶフォントで表示されます。";
    modernWrites("フォントの種類を添えた");
  } else {
    return;
  }
  out.push_back({AdviceKind::Font, {"Combo1", slot}, {}, std::move(text)});
}

}  // namespace

double relativeLuminance(const Rgb& colour) {
  const auto linear = [](int byte) {
    const double c = byte / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(colour[0]) + 0.7152 * linear(colour[1]) + 0.0722 * linear(colour[2]);
}

double contrastRatio(const Rgb& a, const Rgb& b) {
  const double la = relativeLuminance(a);
  const double lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::string ratioText(double ratio, double required) {
  double shown = std::round(ratio * 100) / 100;
  if (ratio < required && shown >= required) shown = std::floor(required * 100 - 1) / 100;
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f:1", shown);
  return buffer;
}

SlotColours shownColours(const StyleDocument& doc, int slot) {
  const std::vector<int> chain = inheritedFrom(doc, slot);
  // The first colour written among the chain's slots that `allowed` takes, with its box.
  const auto first = [&](auto boxOf, auto allowed) -> std::optional<std::pair<Rgba, int>> {
    for (int s : chain)
      if (allowed(s))
        if (const auto rgba = writtenColour(doc, boxOf(s))) return std::pair{*rgba, boxOf(s)};
    return std::nullopt;
  };
  // A see-through colour shows what lies under it mixed in.
  const auto layOver = [](ShownColour& shown, const std::pair<Rgba, int>& layer) {
    const auto& [rgba, box] = layer;
    shown.rgb = over(rgba, shown.rgb);
    shown.box = box;
    shown.seeThrough.clear();
    if (rgba[3] != 255) {
      char written[16];
      std::snprintf(written, sizeof written, "#%02X%02X%02X%02X", rgba[0], rgba[1], rgba[2], rgba[3]);
      shown.seeThrough = written;
    }
  };
  const bool own = slot == kSlotBody;  // BODY's colours are its own, not what lies under it
  SlotColours colours{{isLink(slot) ? linkColour(slot) : kBlack, -1, {}}, {kWhite, -1, {}}};
  // The page's background, under a link its paragraph's, then the element's
  // own (or its link's).
  const auto background = [&](auto allowed) {
    if (const auto layer = first(backColourIndex, allowed)) layOver(colours.background, *layer);
  };
  background([&](int s) { return s == kSlotBody && !own; });
  background([&](int s) { return s == kSlotP && isLink(slot); });
  background([&](int s) { return isLink(slot) ? isLink(s) : s == slot; });
  // A link takes the browser's link colour before the text colour of its
  // paragraph or BODY.
  if (const auto text = first(foreColourIndex, [&](int s) { return isLink(s) || !isLink(slot); })) {
    ShownColour under = colours.background;
    layOver(under, *text);
    colours.text = under;
  }
  return colours;
}

double requiredContrast(const StyleDocument& doc, int slot) {
  std::optional<double> pixels;
  bool bold = false, weightFound = false;
  for (int s : inheritedFrom(doc, slot)) {
    const TagSlot& t = slotOf(doc, s);
    if (!pixels && !trimmedBlanks(t.fontSize).empty()) pixels = pixelsOf(t).value_or(0);
    if (!weightFound && !trimmedBlanks(t.weight).empty()) weightFound = true, bold = isBold(t.weight);
  }
  const double size = pixels.value_or(kDefaultSizePx);
  // 18pt, and 14pt in bold.
  return size >= 24 || (bold && size >= 18.66) ? kLargeText : kNormalText;
}

bool isLocalImagePath(std::string_view path) {
  path = trimmedBlanks(path);
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  std::string scheme(path.substr(0, 5));
  for (char& c : scheme)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (path.size() >= 2 && letter(path[0]) && path[1] == ':') return true;
  if (path.starts_with("\\") || path.starts_with("~/") || scheme == "file:") return true;
  return path.starts_with("/") && !path.starts_with("//");
}

std::vector<Advice> documentAdvice(const StyleDocument& doc) {
  std::vector<Checked> checked;
  for (int slot = 0; slot < kTagSlotCount; ++slot) {
    const SlotColours colours = shownColours(doc, slot);
    const bool written = slotOf(doc, slot).enabled == 1;
    // Links left unticked keep the browser's colours, on whatever
    // background the page's paragraph or BODY is given.
    if (!written && (slot != kSlotA || colours.background.box < 0)) continue;
    const bool owns = colours.text.box == foreColourIndex(slot) || colours.background.box == backColourIndex(slot);
    checked.push_back({slot, colours, requiredContrast(doc, slot), owns, written});
  }
  std::vector<Advice> advice;
  for (const Checked& c : checked) {
    adviseContrast(doc, checked, c, advice);
    if (!c.written) continue;
    adviseFont(doc, c.slot, advice);
    adviseImage(doc, c.slot, advice);
  }
  return advice;
}

}  // namespace quillane
