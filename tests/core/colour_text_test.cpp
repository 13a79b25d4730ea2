// Colour text and swatch colours.
#include "document/colour_text.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

TEST(ColourText, PickedColoursAreWrittenRedFirstAndPadded) {
  EXPECT_EQ(colourTextOf(0x0000FF), "FF0000");
  EXPECT_EQ(colourTextOf(0xFF0000), "0000FF");
  EXPECT_EQ(colourTextOf(0), "000000");
  EXPECT_EQ(colourTextOf(0x0080FF), "FF8000");
}

// Bands worked out by hand from the hue (red 0, yellow 60, green 120...) and
// the lightness, the mean of the highest and lowest byte.
TEST(ColourText, WordsNameHueLightnessAndHex) {
  const std::pair<BgrColour, const char*> cases[] = {
      {0x0000FF, "赤 #FF0000"},       {0x800000, "暗い青 #000080"},   {0x0080FF, "だいだい色 #FF8000"},
      {0xFFCC99, "明るい青 #99CCFF"}, {0x00FF00, "緑 #00FF00"},       {0x00FFFF, "黄色 #FFFF00"},
      {0x800080, "暗い紫 #800080"},   {0x000000, "黒 #000000"},       {0x808080, "灰色 #808080"},
      {0xF0F0F0, "白 #F0F0F0"},       {0x505A50, "暗い灰色 #505A50"}, {0x8000FF, "赤紫 #FF0080"},
  };
  for (const auto& [colour, words] : cases) EXPECT_EQ(colourWords(colour), words) << colourTextOf(colour);
}

TEST(ColourText, SwatchReadsThePairsBackwards) {
  EXPECT_EQ(swatchColourOf("FF8000"), 0x0080FFu);  // orange
  EXPECT_EQ(swatchColourOf("12"), 0x12u);          // red byte only
  EXPECT_EQ(swatchColourOf("12345"), 0x53412u);
  EXPECT_EQ(swatchColourOf(""), 0u);
  EXPECT_EQ(swatchColourOf("000080"), 0x800000u);  // navy: blue high
  EXPECT_EQ(swatchColourOf("abcdef"), 0xEFCDABu);
  // The CSS forms, as a browser reads them: short forms double each digit.
  EXPECT_EQ(swatchColourOf("00F"), 0xFF0000u);
  EXPECT_EQ(swatchColourOf("f80"), 0x0088FFu);
  EXPECT_EQ(swatchColourOf(" #1234 "), 0x332211u);    // #RGBA, the alpha left out
  EXPECT_EQ(swatchColourOf("#FF800080"), 0x0080FFu);  // #RRGGBBAA
  // The keywords, and the blanks the modern output takes away.
  EXPECT_EQ(swatchColourOf("red"), 0x0000FFu);
  EXPECT_EQ(swatchColourOf(" Gold\t"), 0x00D7FFu);
  EXPECT_EQ(swatchColourOf("\u3000#FFFF00\u3000"), 0x00FFFFu);
  EXPECT_EQ(swatchColourOf("transparent"), 0u);
  for (const char* text : {"G00000", "12 456", "#FF00F", "ＦＦ", "#", "redd", "re d", "currentColor"})
    EXPECT_EQ(swatchColourOf(text), std::nullopt) << text;
}

TEST(ColourText, PickThenTypeRoundTrips) {
  for (BgrColour c : {0x000000u, 0x123456u, 0xFFFFFFu, 0x00FF00u}) EXPECT_EQ(swatchColourOf(colourTextOf(c)), c);
}

}  // namespace
}  // namespace quillane
