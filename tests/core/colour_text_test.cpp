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
