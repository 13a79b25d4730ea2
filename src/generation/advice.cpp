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
// Text smaller than this many CSS pixels is too small on a phone.
constexpr double kSmallestPhonePx = 12;

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

// The colour text the output writes for a colour whose light text is
// `light` and dark counterpart `dark`: in the dark scheme the dark one,
// unless either is empty (an empty dark colour keeps the light one).
const std::string& schemeText(const std::string& light, const std::string& dark, Scheme scheme) {
  if (scheme == Scheme::Dark && !trimmedBlanks(light).empty() && !trimmedBlanks(dark).empty()) return dark;
  return light;
}

// Colour text as the chosen output writes it and browsers read it. The
// legacy output writes the text as typed after "#", so only bare
// hexadecimal digits make a colour there ("FF0000", "f808"; blanks after
// them end the value as CSS reads it, blanks before them or a "#" of its own
// break it, and "red" becomes "#red", which no browser reads). The modern
// output writes every form it accepts: hexadecimal with or without "#" and
// blanks around it, and the colour keywords.
std::optional<Rgba> writtenColour(const StyleDocument& doc, std::string_view text) {
  if (writesModern(doc)) {
    const auto value = cssColour(text);
    if (!value) return std::nullopt;
    return cssHexColour(*value);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty() || text.front() == ' ' || text.front() == '\t' || text.front() == '#') return std::nullopt;
  return cssHexColour(text);
}

// The colour of box `box` in `scheme`.
std::optional<Rgba> writtenColour(const StyleDocument& doc, int box, Scheme scheme) {
  const auto k = static_cast<std::size_t>(box);
  return writtenColour(doc, schemeText(doc.colours[k], doc.dark.colours[k], scheme));
}

// `top` drawn over the opaque `under`, as browsers mix a see-through colour.
Rgb over(const Rgba& top, const Rgb& under) {
  Rgb mixed{};
  for (std::size_t k = 0; k < 3; ++k) mixed[k] = (top[k] * top[3] + under[k] * (255 - top[3]) + 127) / 255;
  return mixed;
}

// The browser's colour of a link left uncoloured, as Chromium and Firefox
// draw it, and as Chromium draws it in the dark scheme.
Rgb linkColour(int slot, Scheme scheme) {
  if (scheme == Scheme::Dark) {
    if (slot == kSlotVisited) return {0xD0, 0xAD, 0xF0};
    if (slot == kSlotActive) return {0xFF, 0x9E, 0x9E};
    return {0x9E, 0x9E, 0xFF};
  }
  if (slot == kSlotVisited) return {0x55, 0x1A, 0x8B};
  if (slot == kSlotActive) return {0xFF, 0x00, 0x00};
  return {0x00, 0x00, 0xEE};
}

// The page's own background in the dark scheme, as Chromium draws it.
constexpr Rgb kDarkCanvas = {0x12, 0x12, 0x12};

int slotOfBox(int box) {
  if (box == foreColourIndex(kSlotBody) || box == backColourIndex(kSlotBody)) return kSlotBody;
  return box % 5;
}

std::string hexOf(const Rgb& rgb) {
  return "#" + colourTextOf(static_cast<BgrColour>(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16)));
}

// Whether the dark colour of `colour` is left empty, so that the dark
// scheme shows the light one.
bool darkLeftEmpty(const StyleDocument& doc, const ShownColour& colour) {
  if (colour.box < 0) return false;
  const auto k = static_cast<std::size_t>(colour.box);
  if (colour.gradientStop == 0) return trimmedBlanks(doc.dark.colours[k]).empty();
  const Gradient& g = doc.gradients[static_cast<std::size_t>(slotOfBox(colour.box))];
  return trimmedBlanks(g.darkColours[static_cast<std::size_t>(colour.gradientStop - 2)]).empty();
}

// "#777777", "#777777（「ページ本体」から）", "#FFFFFF（指定なし）",
// "#DDDDDD（「ページ本体」のグラデーションの色2）"
std::string describe(const StyleDocument& doc, const ShownColour& colour, int slot, int ownBox, bool text,
                     Scheme scheme) {
  std::string words = hexOf(colour.rgb);
  if (!colour.seeThrough.empty()) words += "（半透明の " + colour.seeThrough + "）";
  std::string from;
  if (colour.box >= 0 && colour.box != ownBox)
    from = "「" + std::string(kSlotTabCaptions[static_cast<std::size_t>(slotOfBox(colour.box))]) + "」";
  if (colour.gradientStop > 0)
    from += (from.empty() ? "" : "の") + std::string("グラデーションの色") + std::to_string(colour.gradientStop);
  else if (!from.empty())
    from += "から";
  if (scheme == Scheme::Dark && darkLeftEmpty(doc, colour))
    from += (from.empty() ? "" : "、") + std::string("ダークモードの色が空なので明るいときの色");
  if (colour.box < 0) from = text && isLink(slot) ? "ブラウザーが決めるリンクの色" : "指定なし";
  return from.empty() ? words : words + "（" + from + "）";
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

// The background and the later colours of its gradient.
std::vector<ShownColour> backgroundsOf(const SlotColours& colours) {
  std::vector<ShownColour> all = {colours.background};
  all.insert(all.end(), colours.laterStops.begin(), colours.laterStops.end());
  return all;
}

// The ratio of `text` on the background that reads worst, and its index.
std::pair<double, std::size_t> worstOf(const Rgb& text, const std::vector<ShownColour>& backgrounds) {
  std::pair<double, std::size_t> worst = {22, 0};
  for (std::size_t k = 0; k < backgrounds.size(); ++k)
    if (const double ratio = contrastRatio(text, backgrounds[k].rgb); ratio < worst.first) worst = {ratio, k};
  return worst;
}

// The nearest colour along the line from `text` to black (or white, when
// the worst background is dark) that reaches `required` on every
// background. On one background one of the two ends always reaches 4.5,
// since max(ratio to black, ratio to white) >= √21; for the colours of a
// gradient far apart even the end may fall short, and then it is given.
Rgb suggestedText(const Rgb& text, const std::vector<ShownColour>& backgrounds, const Rgb& worst, double required) {
  const bool darker = darkerReads(worst);
  Rgb candidate = text;
  for (int step = 1; step <= 255; ++step) {
    for (std::size_t k = 0; k < 3; ++k)
      candidate[k] = darker ? text[k] * (255 - step) / 255 : text[k] + ((255 - text[k]) * step + 254) / 255;
    if (worstOf(candidate, backgrounds).first >= required) break;
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
  Scheme scheme = Scheme::Light;
};

std::string contrastText(const StyleDocument& doc, const Checked& c, double ratio, const ShownColour& background) {
  const int fore = foreColourIndex(c.slot);
  const int back = backColourIndex(c.slot);
  const std::vector<ShownColour> backgrounds = backgroundsOf(c.colours);
  const Rgb better = suggestedText(c.colours.text.rgb, backgrounds, background.rgb, c.required);
  const bool darker = darkerReads(background.rgb);
  const bool dark = c.scheme == Scheme::Dark;
  const std::string field = dark ? "ダークモードの「" : "「";
  const auto fieldOf = [](const ShownColour& colour) {
    return colour.gradientStop > 0 ? "グラデーションの色" + std::to_string(colour.gradientStop)
                                   : std::string("バックの色");
  };
  std::string text = screenWords({"Text3", fore}, doc) + ": " + (dark ? "ダークモードでは、" : "") + "文字 " +
                     describe(doc, c.colours.text, c.slot, fore, true, c.scheme) + " と背景 " +
                     describe(doc, background, c.slot, back, false, c.scheme) + " のコントラスト比は " +
                     ratioText(ratio, c.required) + " で、" + ratioLimit(c.required) +
                     " に足りず、読みにくい人がいます。";
  const double reached = worstOf(better, backgrounds).first;
  if (reached < c.required) {
    // A gradient from light to dark: no text reads on both ends. Its
    // colours come nearer to the one this text reads best on.
    std::size_t best = 0;
    for (std::size_t k = 1; k < backgrounds.size(); ++k)
      if (contrastRatio(c.colours.text.rgb, backgrounds[k].rgb) >
          contrastRatio(c.colours.text.rgb, backgrounds[best].rgb))
        best = k;
    return text + "グラデーションの色の明るさが離れすぎていて、どの文字の色でも足りません。" + field +
           fieldOf(background) + "」を「" + fieldOf(backgrounds[best]) + "」に近づけてください。";
  }
  if (!c.written) text += "「" + std::string(captionRowOf({"Check7", c.slot})->caption[c.slot]) + "」をチェックして、";
  text += field + "フォントカラー」を " + hexOf(better) + "（" + ratioText(reached, c.required) + "）のように" +
          (darker ? "暗く" : "明るく");
  // The background is named only when white (or black) behind this very
  // text would reach the ratio: no background is lighter than white.
  if (contrastRatio(c.colours.text.rgb, darker ? kWhite : kBlack) >= c.required)
    text += "するか、" + field + fieldOf(background) + "」をもっと" + std::string(darker ? "明るく" : "暗く");
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
  const std::vector<ShownColour> backgrounds = backgroundsOf(c.colours);
  const auto [ratio, worst] = worstOf(c.colours.text.rgb, backgrounds);
  if (ratio >= c.required) return;
  Advice advice{AdviceKind::Contrast,
                {"Text3", foreColourIndex(c.slot)},
                {foreColourIndex(c.slot)},
                contrastText(doc, c, ratio, backgrounds[worst]),
                c.scheme};
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

// "10.67": a size shown to two decimals, never rounded up to a size that passes.
std::string pixelsText(double pixels) { return cssNumber(std::floor(pixels * 100) / 100); }

void adviseSize(const StyleDocument& doc, int slot, std::vector<Advice>& out) {
  const TagSlot& s = slotOf(doc, slot);
  // A size all inherited is the slot's that sets it.
  if (trimmedBlanks(s.fontSize).empty()) return;
  const auto pixels = phonePixels(doc, slot);
  if (!pixels || *pixels >= kSmallestPhonePx) return;
  // The smallest size in the slot's own unit that reaches 12px, to two decimals.
  const double number = *parseNumber(s.fontSize);
  const double perUnit = number > 0 ? *pixels / number : 0;
  std::string least;
  if (perUnit > 0) {
    double enough = std::ceil(kSmallestPhonePx / perUnit * 100) / 100;
    while (enough * perUnit < kSmallestPhonePx) enough += 0.01;
    least = cssNumber(enough);
  }
  const std::string unit(trimmedBlanks(s.sizeUnit));
  const bool word = !unit.empty() && static_cast<unsigned char>(unit[0]) >= 0x80;  // ポイント, not pt
  const std::string typed = std::string(trimmedBlanks(s.fontSize)) + (word ? " " : "") + unit;
  std::string text = screenWords({"Text1", slot}, doc) + ": 「" + typed + "」は " + pixelsText(*pixels) +
                     "px で、スマートフォンでは 12px より小さく、読みにくい人がいます。" +
                     (perUnit > 0 ? "「フォントサイズ」を " + least + (word ? " " : "") + unit + (word ? "" : " ") +
                                        "以上にしてください。"
                                  : "12px 以上にしてください。");
  out.push_back({AdviceKind::FontSize, {"Text1", slot}, {}, std::move(text)});
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

bool writesDarkScheme(const StyleDocument& doc) { return writesModern(doc) && doc.dark.enabled == 1; }

SlotColours shownColours(const StyleDocument& doc, int slot, Scheme scheme) {
  if (!writesDarkScheme(doc)) scheme = Scheme::Light;
  const std::vector<int> chain = inheritedFrom(doc, slot);
  // The first colour written among the chain's slots that `allowed` takes, with its box.
  const auto first = [&](auto boxOf, auto allowed) -> std::optional<std::pair<Rgba, int>> {
    for (int s : chain)
      if (allowed(s))
        if (const auto rgba = writtenColour(doc, boxOf(s), scheme)) return std::pair{*rgba, boxOf(s)};
    return std::nullopt;
  };
  // A see-through colour shows what lies under it mixed in.
  const auto layOver = [](ShownColour& shown, const Rgba& rgba, int box) {
    shown.rgb = over(rgba, shown.rgb);
    shown.box = box;
    shown.gradientStop = 0;
    shown.seeThrough.clear();
    if (rgba[3] != 255) {
      char written[16];
      std::snprintf(written, sizeof written, "#%02X%02X%02X%02X", rgba[0], rgba[1], rgba[2], rgba[3]);
      shown.seeThrough = written;
    }
  };
  const bool own = slot == kSlotBody;  // BODY's colours are its own, not what lies under it
  const bool dark = scheme == Scheme::Dark;
  SlotColours colours{{isLink(slot) ? linkColour(slot, scheme)
                       : dark       ? kWhite
                                    : kBlack,
                       -1,
                       {}},
                      {dark ? kDarkCanvas : kWhite, -1, {}},
                      {}};
  // The page's background, under a link its paragraph's, then the element's
  // own (or its link's). A layer covers the gradient under it, or shows it
  // through; a layer with a gradient of its own (written by the modern
  // output only) brings its later colours, laid over what lay under it.
  const auto background = [&](auto allowed) {
    const auto layer = first(backColourIndex, allowed);
    if (!layer) return;
    const auto& [rgba, box] = *layer;
    const ShownColour under = colours.background;
    for (ShownColour& stop : colours.laterStops) layOver(stop, rgba, box);
    if (rgba[3] == 255) colours.laterStops.clear();
    layOver(colours.background, rgba, box);
    const Gradient& g = doc.gradients[static_cast<std::size_t>(slotOfBox(box))];
    if (!writesModern(doc) || g.kind == GradientKind::None || trimmedBlanks(g.colours[0]).empty()) return;
    colours.laterStops.clear();
    for (std::size_t k = 0; k < g.colours.size(); ++k) {
      const auto stop = writtenColour(doc, schemeText(g.colours[k], g.darkColours[k], scheme));
      if (!stop) continue;
      ShownColour shown = under;
      layOver(shown, *stop, box);
      shown.gradientStop = static_cast<int>(k) + 2;
      colours.laterStops.push_back(shown);
    }
  };
  background([&](int s) { return s == kSlotBody && !own; });
  background([&](int s) { return s == kSlotP && isLink(slot); });
  background([&](int s) { return isLink(slot) ? isLink(s) : s == slot; });
  // A link takes the browser's link colour before the text colour of its
  // paragraph or BODY.
  if (const auto text = first(foreColourIndex, [&](int s) { return isLink(s) || !isLink(slot); })) {
    ShownColour under = colours.background;
    layOver(under, text->first, text->second);
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

std::optional<double> phonePixels(const StyleDocument& doc, int slot) {
  // Pixels per unit, the relative units as a factor of the inherited size
  // (negative), in the phone's 360 by 740 viewport.
  static constexpr std::array<std::pair<std::string_view, double>, 21> kUnits = {{
      {"ピクセル", 1},
      {"ポイント", 96.0 / 72},
      {"インチ", 96},
      {"ミリメートル", 96 / 25.4},
      {"センチメートル", 96 / 2.54},
      {"px", 1},
      {"pt", 96.0 / 72},
      {"pc", 16},
      {"in", 96},
      {"mm", 96 / 25.4},
      {"cm", 96 / 2.54},
      {"q", 96 / 101.6},
      {"rem", kDefaultSizePx},
      {"vw", 3.6},
      {"vh", 7.4},
      {"vmin", 3.6},
      {"vmax", 7.4},
      {"em", -1},
      {"%", -0.01},
      {"ex", -0.5},
      {"ch", -0.5},
  }};
  const std::vector<int> chain = inheritedFrom(doc, slot);
  // From the outermost slot in: each size set replaces or scales what it inherits.
  double size = kDefaultSizePx;
  for (auto s = chain.rbegin(); s != chain.rend(); ++s) {
    const TagSlot& t = slotOf(doc, *s);
    if (trimmedBlanks(t.fontSize).empty()) continue;
    const auto number = parseNumber(t.fontSize);
    std::string unit(trimmedBlanks(t.sizeUnit));
    for (char& c : unit)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    const auto row = std::find_if(kUnits.begin(), kUnits.end(), [&](const auto& r) { return r.first == unit; });
    if (!number || *number < 0 || row == kUnits.end()) return std::nullopt;
    size = row->second < 0 ? *number * -row->second * size : *number * row->second;
  }
  return size;
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
  std::array<std::vector<Checked>, 2> checked;  // by scheme
  for (const Scheme scheme : {Scheme::Light, Scheme::Dark}) {
    if (scheme == Scheme::Dark && !writesDarkScheme(doc)) break;
    for (int slot = 0; slot < kTagSlotCount; ++slot) {
      const SlotColours colours = shownColours(doc, slot, scheme);
      const bool written = slotOf(doc, slot).enabled == 1;
      // Links left unticked keep the browser's colours, on whatever
      // background the page's paragraph or BODY is given.
      if (!written && (slot != kSlotA || colours.background.box < 0)) continue;
      const bool owns = colours.text.box == foreColourIndex(slot) || colours.background.box == backColourIndex(slot);
      checked[static_cast<std::size_t>(scheme)].push_back(
          {slot, colours, requiredContrast(doc, slot), owns, written, scheme});
    }
  }
  std::vector<Advice> advice;
  for (const Checked& c : checked[0]) {
    adviseContrast(doc, checked[0], c, advice);
    // The dark scheme where its colours differ: the same ones were judged above.
    for (const Checked& d : checked[1])
      if (d.slot == c.slot && d.colours != c.colours) adviseContrast(doc, checked[1], d, advice);
    if (!c.written) continue;
    adviseFont(doc, c.slot, advice);
    adviseImage(doc, c.slot, advice);
    adviseSize(doc, c.slot, advice);
  }
  return advice;
}

}  // namespace quillane
