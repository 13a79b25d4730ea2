#include "generation/colour_scheme.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "generation/modern_values.h"

namespace quillane {

namespace {

double linearOf(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double gammaOf(double linear) {
  return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

// Linear sRGB of an OKLab colour, by the inverse matrices of Ottosson.
std::array<double, 3> linearRgbOf(const OkLab& lab) {
  const double l = std::pow(lab.L + 0.3963377774 * lab.a + 0.2158037573 * lab.b, 3);
  const double m = std::pow(lab.L - 0.1055613458 * lab.a - 0.0638541728 * lab.b, 3);
  const double s = std::pow(lab.L - 0.0894841775 * lab.a - 1.2914855480 * lab.b, 3);
  return {4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
          -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
          -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

// Half a step of the 8-bit channel at its darkest, in linear light: a
// channel this far outside 0..1 still rounds to 0 or 255.
constexpr double kGamutSlack = 0.5 / 255 / 12.92;

double worstContrast(const Rgb& text, const std::vector<Rgb>& backgrounds) {
  double worst = 21;
  for (const Rgb& background : backgrounds) worst = std::min(worst, contrastRatio(text, background));
  return worst;
}

Rgb withLightness(OkLch lch, double lightness) {
  lch.L = lightness;
  return gamutMapped(lch);
}

}  // namespace

OkLab okLabOf(const Rgb& colour) {
  const double r = linearOf(colour[0]);
  const double g = linearOf(colour[1]);
  const double b = linearOf(colour[2]);
  const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
  const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
  const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
  return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
          1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
          0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

OkLch okLchOf(const Rgb& colour) {
  const OkLab lab = okLabOf(colour);
  // A grey has no hue; the matrices' last digits would give it a trace of one.
  if (colour[0] == colour[1] && colour[1] == colour[2]) return {lab.L, 0, 0};
  double h = std::atan2(lab.b, lab.a) * 180 / std::numbers::pi;
  if (h < 0) h += 360;
  return {lab.L, std::hypot(lab.a, lab.b), h};
}

OkLab okLabOf(const OkLch& lch) {
  const double radians = lch.h * std::numbers::pi / 180;
  return {lch.L, lch.C * std::cos(radians), lch.C * std::sin(radians)};
}

Rgb rgbOf(const OkLab& lab) {
  auto linear = linearRgbOf(lab);
  // A colour without chroma is a grey: one channel value for all three.
  if (lab.a == 0 && lab.b == 0) linear.fill(std::pow(lab.L, 3));
  Rgb rgb{};
  for (std::size_t k = 0; k < 3; ++k)
    rgb[k] = static_cast<int>(std::lround(std::clamp(gammaOf(std::clamp(linear[k], 0.0, 1.0)), 0.0, 1.0) * 255));
  return rgb;
}

bool inGamut(const OkLab& lab) {
  const auto linear = linearRgbOf(lab);
  return std::all_of(linear.begin(), linear.end(), [](double c) { return c >= -kGamutSlack && c <= 1 + kGamutSlack; });
}

Rgb gamutMapped(const OkLch& lch) {
  OkLch mapped = lch;
  mapped.L = std::clamp(lch.L, 0.0, 1.0);
  if (!inGamut(okLabOf(mapped))) {
    double low = 0;
    double high = lch.C;
    for (int step = 0; step < 30; ++step) {
      mapped.C = (low + high) / 2;
      (inGamut(okLabOf(mapped)) ? low : high) = mapped.C;
    }
    mapped.C = low;
  }
  return rgbOf(okLabOf(mapped));
}

Rgb deriveDarkColour(const Rgb& light) {
  OkLch lch = okLchOf(light);
  lch.L = 1 - lch.L;
  return gamutMapped(lch);
}

Rgb deriveDarkText(const Rgb& lightText, const std::vector<Rgb>& darkBackgrounds, double required) {
  const Rgb first = deriveDarkColour(lightText);
  if (darkBackgrounds.empty() || worstContrast(first, darkBackgrounds) >= required) return first;
  OkLch lch = okLchOf(lightText);
  lch.L = 1 - lch.L;
  // Toward white or toward black, whichever end reads better on the worst stop.
  const double end =
      worstContrast({255, 255, 255}, darkBackgrounds) >= worstContrast({0, 0, 0}, darkBackgrounds) ? 1 : 0;
  if (worstContrast(withLightness(lch, end), darkBackgrounds) < required) return withLightness(lch, end);
  // The lightness nearest the derived one that passes: `far` always passes.
  double near = lch.L;
  double far = end;
  for (int step = 0; step < 40; ++step) {
    const double middle = (near + far) / 2;
    (worstContrast(withLightness(lch, middle), darkBackgrounds) >= required ? far : near) = middle;
  }
  return withLightness(lch, far);
}

namespace {

std::string hexOf(const Rgb& rgb, std::string_view alpha) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", rgb[0], rgb[1], rgb[2]);
  return buffer + std::string(alpha);
}

// The alpha digits of colour text that cssColour accepts, as two digits;
// empty for an opaque colour:  "FF000080" -> "80", "f008" -> "88", "FF0000" -> ""
std::string alphaOf(std::string_view text) {
  const auto css = cssColour(text);
  if (!css) return {};
  if (css->size() == 9) return css->substr(7);
  if (css->size() == 5) return std::string(2, (*css)[4]);
  return {};
}

bool filled(const std::string& text) { return cssColour(text).has_value(); }

}  // namespace

StyleDocument withDarkColours(const StyleDocument& doc) {
  StyleDocument dark = doc;
  const auto take = [](std::string& light, const std::string& counterpart) {
    if (!trimmedBlanks(light).empty() && !trimmedBlanks(counterpart).empty()) light = counterpart;
  };
  for (std::size_t k = 0; k < kColourBoxCount; ++k) take(dark.colours[k], doc.dark.colours[k]);
  for (std::size_t c = 0; c < kUserClassCount; ++c) {
    UserClass& cls = dark.classes[c];
    const ClassDarkColours& colours = doc.dark.classes[c];
    take(cls.chromaColor, colours.chromaColor);
    take(cls.glowColor, colours.glowColor);
    take(cls.shadowColor, colours.shadowColor);
    take(cls.specialColor1, colours.specialColor1);
    take(cls.specialColor2, colours.specialColor2);
  }
  for (Gradient& gradient : dark.gradients)
    for (std::size_t k = 0; k < gradient.colours.size(); ++k) take(gradient.colours[k], gradient.darkColours[k]);
  return dark;
}

bool deriveDarkVariant(StyleDocument& doc) {
  // A page that is dark already suits a dark room; turning it around would
  // give the visitors who asked for dark pages a light one.
  const Rgb page = shownColours(doc, kSlotBody).background.rgb;
  if (contrastRatio(page, Rgb{255, 255, 255}) > contrastRatio(page, Rgb{0, 0, 0})) return false;
  DarkVariant& dark = doc.dark;
  const auto derived = [](const std::string& light) {
    return filled(light) ? hexOf(deriveDarkColour(rgbOf(light)), alphaOf(light)) : std::string();
  };
  // Every box first as a colour alone; the texts of the slots follow.
  for (std::size_t k = 0; k < kColourBoxCount; ++k) dark.colours[k] = derived(doc.colours[k]);
  for (Gradient& gradient : doc.gradients)
    for (std::size_t k = 0; k < gradient.colours.size(); ++k) gradient.darkColours[k] = derived(gradient.colours[k]);
  for (std::size_t c = 0; c < kUserClassCount; ++c) {
    const UserClass& light = doc.classes[c];
    ClassDarkColours& colours = dark.classes[c];
    colours.chromaColor = derived(light.chromaColor);
    colours.glowColor = derived(light.glowColor);
    colours.shadowColor = derived(light.shadowColor);
    colours.specialColor1 = derived(light.specialColor1);
    colours.specialColor2 = derived(light.specialColor2);
  }
  // The backgrounds as a visitor who prefers dark pages sees them: the dark
  // colours just made, and the browser's own dark page where none is set.
  std::string kept = std::move(doc.keptStyle);  // not copied: it may be megabytes
  StyleDocument seen = doc;
  doc.keptStyle = std::move(kept);
  seen.output.modern = seen.dark.enabled = 1;
  for (int slot = 0; slot < kTagSlotCount; ++slot) {
    const auto fore = static_cast<std::size_t>(foreColourIndex(slot));
    if (!filled(doc.colours[fore])) continue;
    const SlotColours shown = shownColours(seen, slot, Scheme::Dark);
    std::vector<Rgb> backgrounds = {shown.background.rgb};
    for (const ShownColour& stop : shown.laterStops) backgrounds.push_back(stop.rgb);
    const Rgb text = deriveDarkText(rgbOf(doc.colours[fore]), backgrounds, requiredContrast(doc, slot));
    dark.colours[fore] = hexOf(text, alphaOf(doc.colours[fore]));
  }
  return true;
}

}  // namespace quillane
