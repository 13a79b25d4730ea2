#include "document/colour_text.h"

#include <algorithm>
#include <utility>

namespace quillane {

namespace {

std::string_view pairAt(std::string_view text, std::size_t start) {
  return start < text.size() ? text.substr(start, 2) : std::string_view{};
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::optional<std::array<int, 4>> cssHexColour(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  if (text.starts_with('#')) text.remove_prefix(1);
  const std::size_t size = text.size();
  if (size != 3 && size != 4 && size != 6 && size != 8) return std::nullopt;
  for (char c : text)
    if (hexDigit(c) < 0) return std::nullopt;
  // "F" in the short forms stands for "FF".
  const bool shortForm = size <= 4;
  std::array<int, 4> rgba{0, 0, 0, 255};
  for (std::size_t k = 0; k < (size == 3 || size == 6 ? 3u : 4u); ++k)
    rgba[k] = shortForm ? hexDigit(text[k]) * 17 : hexDigit(text[2 * k]) * 16 + hexDigit(text[2 * k + 1]);
  return rgba;
}

std::optional<BgrColour> swatchColourOf(std::string_view text) {
  if (const auto rgba = cssHexColour(text))
    return static_cast<BgrColour>((*rgba)[0] | ((*rgba)[1] << 8) | ((*rgba)[2] << 16));
  std::string digits;
  digits.append(pairAt(text, 4)).append(pairAt(text, 2)).append(pairAt(text, 0));
  BgrColour value = 0;
  for (char c : digits) {
    const int d = hexDigit(c);
    if (d < 0) return std::nullopt;
    value = (value << 4) | static_cast<BgrColour>(d);
  }
  return value & 0xFFFFFF;
}

std::string colourTextOf(BgrColour colour) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int byte : {redOf(colour), greenOf(colour), blueOf(colour)}) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return text;
}

std::string colourWords(BgrColour colour) {
  const int r = redOf(colour), g = greenOf(colour), b = blueOf(colour);
  const int high = std::max({r, g, b});
  const int low = std::min({r, g, b});
  const int lightness = (high + low) / 2;  // 0..255
  std::string words;
  if (high - low < 24) {
    // Greys by lightness: below 26 black, below 90 dark grey...
    static constexpr std::pair<int, std::string_view> kGreys[] = {
        {26, "黒"}, {90, "暗い灰色"}, {166, "灰色"}, {230, "明るい灰色"}, {256, "白"}};
    words =
        std::find_if(std::begin(kGreys), std::end(kGreys), [&](const auto& g) { return lightness < g.first; })->second;
  } else {
    // The hue in degrees, then the name of the band it falls in.
    const double c = high - low;
    double hue = high == r ? 60.0 * (g - b) / c : high == g ? 60.0 * (b - r) / c + 120 : 60.0 * (r - g) / c + 240;
    if (hue < 0) hue += 360;
    static constexpr std::pair<int, std::string_view> kHues[] = {
        {15, "赤"},  {45, "だいだい色"}, {70, "黄色"}, {100, "黄緑"}, {160, "緑"}, {200, "青緑"},
        {255, "青"}, {285, "青紫"},      {320, "紫"},  {345, "赤紫"}, {361, "赤"}};
    const auto* band = std::find_if(std::begin(kHues), std::end(kHues), [&](const auto& h) { return hue < h.first; });
    words = std::string(lightness < 77 ? "暗い" : lightness > 178 ? "明るい" : "") + std::string(band->second);
  }
  return words + " #" + colourTextOf(colour);
}

}  // namespace quillane
