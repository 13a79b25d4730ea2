// Colour text (six hexadecimal digits, red first) to and from the BGR
// colour values of swatches and the colour dialog (blue in the high byte).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

using BgrColour = std::uint32_t;

// A colour in CSS's hexadecimal notation: 3, 4, 6 or 8 digits, an optional
// "#" and blanks around it. Red, green, blue and alpha, 0..255 each.
//   "00F" -> {0, 0, 255, 255};  " #FF000080 " -> {255, 0, 0, 128}
// Nothing for any other text: "12", "red" (a keyword), "#12345", "F 0".
std::optional<std::array<int, 4>> cssHexColour(std::string_view text);

// A CSS colour keyword, in any case, as red, green, blue and alpha; only
// "transparent" has alpha 0.
//   "Red" -> {255, 0, 0, 255};  "lightGoldenrodYellow" -> {250, 250, 210, 255}
// Nothing for other text: " red", "redd", "currentColor".
std::optional<std::array<int, 4>> cssColourKeyword(std::string_view name);

// The swatch colour of a colour box's text, which is also where the colour
// dialog opens: every colour the modern output accepts (a CSS hexadecimal
// colour or a keyword, blanks and ideographic spaces around it) as a browser
// reads it, its alpha left out; else, as the earlier versions read every
// text, its characters 5-6, 3-4 and 1-2 read as one hexadecimal number, so
// the pairs become blue, green and red; missing characters count as nothing
// ("12" is red 0x12, "" is black). Nothing when the text is not
// hexadecimal: the swatch keeps its colour.
//   "FF8000" -> 0x0080FF (orange);  "00F" -> 0xFF0000 (blue);  "Gold" -> 0x00D7FF
std::optional<BgrColour> swatchColourOf(std::string_view text);

// The text a picked colour is written as: upper-case, padded to six digits,
// red first.  0x0000FF (red) -> "FF0000";  0 -> "000000"
std::string colourTextOf(BgrColour colour);

// A colour in words and hexadecimal, as a screen reader says a swatch: its
// hue (or grey), "暗い" or "明るい" by its lightness, then "#RRGGBB".
//   0x0000FF -> "赤 #FF0000";  0x800000 -> "暗い青 #000080";  0x808080 -> "灰色 #808080"
std::string colourWords(BgrColour colour);

// Red, green and blue bytes of a BGR value.
inline int redOf(BgrColour c) { return static_cast<int>(c & 0xFF); }
inline int greenOf(BgrColour c) { return static_cast<int>((c >> 8) & 0xFF); }
inline int blueOf(BgrColour c) { return static_cast<int>((c >> 16) & 0xFF); }

}  // namespace quillane
