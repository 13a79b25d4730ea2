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

}  // namespace

std::optional<BgrColour> swatchColourOf(std::string_view text) {
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
