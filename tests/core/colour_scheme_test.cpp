// The colours of the dark variant: OKLab and OKLCH against published values
// worked out apart from the code, and derived dark colours that keep their
// hue and pass the contrast their light pair needed.
#include "generation/colour_scheme.h"

#include <gtest/gtest.h>

#include <cmath>

#include "generation/modern_values.h"

namespace quillane {
namespace {

Rgb rgb(unsigned value) {
  return {static_cast<int>(value >> 16), static_cast<int>((value >> 8) & 0xFF), static_cast<int>(value & 0xFF)};
}

double hueDistance(double a, double b) {
  const double d = std::fabs(a - b);
  return std::min(d, 360 - d);
}

TEST(OkLab, PublishedValuesAndTheWayBack) {
  // L, a, b and the hue of OKLCH, to the digits published for these colours;
  // grey from the cube root of its linear value alone (a and b vanish).
  struct Row {
    unsigned colour;
    double L, a, b, hue;
  } rows[] = {
      {0xFF0000, 0.62796, 0.22486, 0.12585, 29.23},
      {0x00FF00, 0.86644, -0.23389, 0.17950, 142.50},
      {0x0000FF, 0.45201, -0.03246, -0.31153, 264.05},
      {0xFFFFFF, 1.0, 0, 0, -1},
      {0x808080, 0.59987, 0, 0, -1},  // cbrt(0.21586)
  };
  for (const Row& r : rows) {
    const OkLab lab = okLabOf(rgb(r.colour));
    EXPECT_NEAR(lab.L, r.L, 5e-5) << std::hex << r.colour;
    EXPECT_NEAR(lab.a, r.a, 5e-5) << std::hex << r.colour;
    EXPECT_NEAR(lab.b, r.b, 5e-5) << std::hex << r.colour;
    if (r.hue >= 0) {
      EXPECT_NEAR(okLchOf(rgb(r.colour)).h, r.hue, 0.01) << std::hex << r.colour;
    }
  }
  for (unsigned colour : {0x000000u, 0xFFFFFFu, 0xFF0000u, 0x0B1330u, 0x7F7477u, 0xFC6500u, 0x00FFFFu, 0x010203u}) {
    EXPECT_EQ(rgbOf(okLabOf(rgb(colour))), rgb(colour)) << std::hex << colour;
    EXPECT_EQ(gamutMapped(okLchOf(rgb(colour))), rgb(colour)) << std::hex << colour;
  }
  // Out of the gamut only by chroma: a red too saturated keeps hue and lightness.
  OkLch tooRed = okLchOf(rgb(0xFF0000));
  tooRed.C *= 2;
  EXPECT_FALSE(inGamut(okLabOf(tooRed)));
  const OkLch mapped = okLchOf(gamutMapped(tooRed));
  EXPECT_NEAR(mapped.L, tooRed.L, 0.005);
  EXPECT_NEAR(mapped.h, tooRed.h, 1.0);
}

TEST(DarkColour, LightnessTurnsAroundAndTextPassesItsRatio) {
  // Alone: 808080 has L 0.59987, so 0.40013, whose linear value 0.40013^3
  // = 0.064062 is sRGB 0.28073, 71.6 of 255.
  EXPECT_EQ(deriveDarkColour(rgb(0xFFFFFF)), rgb(0x000000));
  EXPECT_EQ(deriveDarkColour(rgb(0x000000)), rgb(0xFFFFFF));
  EXPECT_EQ(deriveDarkColour(rgb(0x808080)), rgb(0x484848));
  EXPECT_EQ(deriveDarkText(rgb(0x000000), {rgb(0x000000)}, 4.5), rgb(0xFFFFFF));
  // A grey stays grey, at the darkest that passes on black: 116 gives
  // luminance 0.17465 (4.49:1), 117 gives 0.17790 (4.56:1).
  EXPECT_EQ(deriveDarkText(rgb(0x767676), {rgb(0x000000)}, 4.5), rgb(0x757575));

  // Pairs as light pages hold them: each derived text passes on the derived
  // background, and keeps its hue where it has a colour to keep.
  struct Row {
    unsigned text, background;
    double required;
  } rows[] = {
      {0x333333, 0xFFFFFF, 4.5}, {0x0000EE, 0xFFFFFF, 4.5}, {0x551A8B, 0xFFFFFF, 4.5}, {0xFF0000, 0xFFFFFF, 3.0},
      {0xCC0000, 0xFFFFCC, 4.5}, {0x006600, 0xEEFFEE, 4.5}, {0x767676, 0xFFFFFF, 4.5}, {0xFFFFFF, 0x003366, 4.5},
      {0xFFCC00, 0x333333, 4.5}, {0x808080, 0x808080, 4.5}, {0x0B1330, 0x7F7477, 3.0}, {0xFC6500, 0xFFF0E0, 4.5},
      {0x777777, 0x222222, 4.5},  // a dark page turns light, and its text is darkened further
  };
  for (const Row& r : rows) {
    const Rgb background = deriveDarkColour(rgb(r.background));
    const Rgb text = deriveDarkText(rgb(r.text), {background}, r.required);
    EXPECT_GE(contrastRatio(text, background), r.required) << std::hex << r.text << " on " << r.background;
    const OkLch light = okLchOf(rgb(r.text));
    const OkLch derived = okLchOf(text);
    if (light.C > 0.04 && derived.C > 0.04) {
      EXPECT_LT(hueDistance(light.h, derived.h), 3.0) << std::hex << r.text << " on " << r.background;
    }
  }
  // On a gradient the worst stop counts.
  const Rgb onStops = deriveDarkText(rgb(0x444444), {rgb(0x000000), rgb(0x404040)}, 4.5);
  EXPECT_GE(contrastRatio(onStops, rgb(0x404040)), 4.5);
}

TEST(DarkColour, AutomaticVariantFillsWhatTheLightSideFilled) {
  StyleDocument doc;
  for (int slot : {kSlotBody, kSlotP, kSlotA}) doc.slots[static_cast<std::size_t>(slot)].enabled = 1;
  doc.colours[18] = "333333";   // BODY text
  doc.colours[19] = "FFFFF0";   // BODY background
  doc.colours[0] = "777777";    // P text, on BODY's background
  doc.colours[1] = "0000EE";    // A text
  doc.colours[2] = "0000EE80";  // A:VISITED text, see-through, its slot unticked
  doc.colours[12] = "BFBFBF";   // a scrollbar colour
  doc.classes[2].glowColor = "FFFFFF";
  doc.gradients[kSlotBody] = {GradientKind::Linear, "90", {"FFEEDD", ""}, {}};
  ASSERT_TRUE(deriveDarkVariant(doc));

  EXPECT_EQ(doc.dark.colours[5], "");  // P's background was empty
  EXPECT_EQ(doc.dark.colours[2].substr(6), "80");
  EXPECT_EQ(doc.dark.classes[2].glowColor, "000000");
  EXPECT_EQ(doc.dark.classes[2].shadowColor, "FFFFFF");  // the default 000000 turned around
  EXPECT_EQ(doc.gradients[kSlotBody].darkColours[1], "");
  // Laid over the light colours, the dark ones pass where the light text needed.
  StyleDocument darkDoc = doc;
  for (std::size_t k = 0; k < kColourBoxCount; ++k)
    if (!doc.dark.colours[k].empty()) darkDoc.colours[k] = doc.dark.colours[k];
  const Rgb stop = rgbOf(std::string_view(doc.gradients[kSlotBody].darkColours[0]));
  for (int slot : {kSlotBody, kSlotP, kSlotA}) {
    const SlotColours shown = shownColours(darkDoc, slot);
    EXPECT_GE(contrastRatio(shown.text.rgb, shown.background.rgb), 4.5) << slot;
    EXPECT_GE(contrastRatio(shown.text.rgb, stop), 4.5) << slot;
  }
  // A text on no background of its own stands on the browser's dark page
  // (121212), where black would let 0000FF turn to 2C68FF, 4.04:1 on it.
  StyleDocument plain;
  plain.output.modern = plain.dark.enabled = plain.slots[kSlotP].enabled = 1;
  plain.colours[0] = "0000FF";
  deriveDarkVariant(plain);
  EXPECT_GE(contrastRatio(rgbOf(std::string_view(plain.dark.colours[0])), {0x12, 0x12, 0x12}), 4.5);
  EXPECT_TRUE(documentAdvice(plain).empty());
}

TEST(DarkColour, AutomaticVariantLeavesAPageThatIsDarkAlready) {
  // Grey 767676 reads better with black text; 757575 with white.
  for (const auto& [body, derives] : {std::pair{"", true}, {"767676", true}, {"757575", false}, {"102030", false}}) {
    StyleDocument doc;
    doc.slots[kSlotBody].enabled = 1;
    doc.colours[18] = "EEEEEE";
    doc.colours[19] = body;
    const StyleDocument before = doc;
    EXPECT_EQ(deriveDarkVariant(doc), derives) << body;
    EXPECT_EQ(doc == before, !derives) << body;
  }
}

}  // namespace
}  // namespace quillane
