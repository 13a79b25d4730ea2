#include "document/colour_text.h"

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

}  // namespace quillane
