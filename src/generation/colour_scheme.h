// Colours for the dark variant: the perceptual space OKLab (and its polar
// form OKLCH) of Björn Ottosson, and the derivation of dark colours from
// light ones that keeps each colour's hue and turns its lightness around.
//
// A derived text colour is then moved in lightness, hue kept, until it
// reaches against its dark background the contrast ratio its light pair
// needed (advice.h's contrastRatio, WCAG 2.2). Colours leave the sRGB gamut
// only by chroma: where a lightness cannot hold the chroma, the chroma
// shrinks and the hue stays.
#pragma once

#include <vector>

#include "document/style_document.h"
#include "generation/advice.h"

namespace quillane {

struct OkLab {
  double L = 0;  // 0 (black) .. 1 (white)
  double a = 0;  // green (-) .. red (+)
  double b = 0;  // blue (-) .. yellow (+)
};

struct OkLch {
  double L = 0;
  double C = 0;  // chroma, 0 for a grey
  double h = 0;  // hue in degrees, 0 <= h < 360
};

// An sRGB colour in OKLab:  FF0000 -> L 0.62796, a 0.22486, b 0.12585
OkLab okLabOf(const Rgb& colour);
// The same in OKLCH; a grey (three equal channels) has chroma 0 and hue 0.
OkLch okLchOf(const Rgb& colour);
OkLab okLabOf(const OkLch& lch);

// The nearest sRGB colour (each channel rounded) of an OKLab colour, and
// whether it lies in the gamut at all (each linear channel within 0..1,
// allowing for rounding).
Rgb rgbOf(const OkLab& lab);
bool inGamut(const OkLab& lab);

// The colour of lightness L and hue h with the greatest chroma, at most C,
// that sRGB can show.
Rgb gamutMapped(const OkLch& lch);

// The dark counterpart of a colour that stands alone (a background, a
// scrollbar part, a shadow): hue and chroma kept where the gamut allows,
// lightness L turned to 1 - L.  FFFFFF -> 000000, 000000 -> FFFFFF
Rgb deriveDarkColour(const Rgb& light);

// The dark counterpart of a text colour: deriveDarkColour, then, when that
// falls short of `required` against any of `darkBackgrounds` (a plain
// background, or every stop of a gradient, the worst counting), the
// nearest lightness toward the end that reads better on them, found by
// binary search on L. Every background reaches 4.5:1 with black or with
// white, so one background always gets a text that passes; several stops
// far apart may not, and then the text of the best worst case is given.
Rgb deriveDarkText(const Rgb& lightText, const std::vector<Rgb>& darkBackgrounds, double required);

// "自動で作る": fills the dark variant's colours of the document from the
// light ones that are filled in and that the modern output can read. Each
// background (and gradient stop, and every colour without a text on it)
// gets deriveDarkColour; each tag slot's text gets deriveDarkText against
// the dark backgrounds it stands on (those shownColours finds in the dark
// scheme, the browser's own dark page where none is set, every colour of a
// gradient), with the ratio requiredContrast asks.
// Colours the light side leaves empty stay empty. Colours are written as
// six upper-case digits, as the form holds them. A page whose background
// (BODY's as shown, white when empty) is dark already, reading better with
// white text than with black, is left as it is: false, and nothing changed.
bool deriveDarkVariant(StyleDocument& doc);

// The document as a visitor who prefers dark pages sees it: every colour
// filled in on both sides (each colour box, the classes' colours, the
// gradients' later stops) replaced by its dark counterpart, all else as it
// is. Generating it gives the same rules with the dark colours, for the
// modern output's dark block.
StyleDocument withDarkColours(const StyleDocument& doc);

}  // namespace quillane
