// The rule of one user class in standard CSS, for the modern output.
//
// Each legacy filter becomes the closest equivalent that current Chromium
// and Firefox render (docs/modern-output.md has the whole table):
//   alpha           -> opacity: 0.5
//   chroma          -> an SVG filter that makes exactly that colour transparent
//   blur            -> an SVG motion blur along the direction (over the original for a text class)
//   wave            -> an SVG filter that shifts rows sideways by a smooth wave, with its shading
//   flips           -> transform: scale(-1, 1); a text class also gets display: inline-block; width: 100%
//   glow, shadow    -> text-shadow for a text class, filter: drop-shadow() otherwise;
//                      the direction (0 = up, clockwise) becomes x/y offsets
//   colour tone     -> invert(1), grayscale(1); x-ray is grayscale(1) invert(1)
//   special         -> an SVG filter: the glyphs hollow, with a colour-1 inner shadow along the direction
// SVG filters are <filter> elements in the page itself, gathered in one
// hidden <svg> (modernFilterBlock), and the rule refers to them by id,
//   filter: url(#quillane-chroma-1b2c3d4e);
// which every engine resolves, also from a linked style sheet (WebKit loads
// no filter from another document, data: URLs included). The filter
// functions keep the legacy order (chroma, blur, wave, glow, tone, shadow,
// special), as the legacy filters applied in that order.
#pragma once

#include <optional>
#include <string>

#include "document/style_document.h"
#include "generation/modern_values.h"

namespace quillane {

// Appends the rule of class i, e.g. for an image class with alpha at 50 and grey:
//   .efect0 {
//     opacity: 0.5;
//     filter: grayscale(1);
//   }
// A class with no effect on writes nothing. The numbers the legacy filters
// check are checked the same way, and so are the opacity, the special
// strength (its direction) and every colour; a class name that cannot be a
// class (empty, or holding a blank) is refused. On a refusal nothing is appended.
std::optional<ModernRefusal> appendModernClassRule(const StyleDocument& doc, int i, std::string& t);

// The rules of every enabled class, 0 to 5. On a refusal `t` holds the rules
// before the refused class.
std::optional<ModernRefusal> appendModernClassRules(const StyleDocument& doc, std::string& t);

// The value of "opacity" for the alpha filter's opacity number, 0 to 100
// (clamped):  50 -> "0.5";  9.5 -> "0.1";  150 -> "1"
std::string opacityValue(double percent);

// Where a shadow `length` pixels long falls when cast toward `degrees`
// (0 = up, 90 = right, clockwise), to two decimals:
//   90, 5 -> {5, 0};  135, 5 -> {3.54, 3.54};  0, 5 -> {0, -5}
struct Offset {
  double x = 0;
  double y = 0;
};
Offset offsetToward(double degrees, double length);

// One SVG filter: its <filter> element and the reference to it. The id is
// "quillane-", the effect and eight hexadecimal digits of a hash of the
// element, so equal filters share an id and no other id of a page (nor of
// another style sheet's filters) can be the same:
//   svgFilter("chroma", "<fe.../>") -> {"quillane-chroma-0a1b2c3d",
//     "<filter id='quillane-chroma-0a1b2c3d' color-interpolation-filters='sRGB'><fe.../></filter>"}
struct SvgFilter {
  std::string id;
  std::string element;
  std::string reference() const { return "url(#" + id + ")"; }
};
SvgFilter svgFilter(std::string_view effect, std::string_view filterBody, std::string_view regionAttributes = {});

// The hidden <svg> that holds the filters of every enabled class (or of
// class i alone), each once, as lines ending in CR LF:
//   <svg xmlns="http://www.w3.org/2000/svg" width="0" height="0" style="position: absolute" aria-hidden="true">
//   <filter id='quillane-chroma-0a1b2c3d' ...>...</filter>
//   </svg>
// Empty when no class uses an SVG filter, or a value is refused (the rules'
// writer reports that). A page carries it at the start of its body.
std::string modernFilterBlock(const StyleDocument& doc);
std::string modernClassFilterBlock(const StyleDocument& doc, int i);

// The first line of that block, without its line end.
inline constexpr std::string_view kFilterBlockStart =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"0\" height=\"0\" style=\"position: absolute\" "
    "aria-hidden=\"true\">";

// A style sheet carries the block of its filters in a comment that starts
// with this word, so that the link rewrite can give a page it links the
// filters the sheet needs, and a person editing a page by hand finds it:
//   /* quillane-svg-filters: <advice>
//   <svg ...>
//   ...
//   </svg>
//   */
inline constexpr std::string_view kFilterBlockMarker = "quillane-svg-filters";

// Where to put the block into a page edited by hand.
inline constexpr std::string_view kFilterBlockAdvice =
    "このスタイルシートの SVG フィルターを使うページには、<body> の直後に次の <svg> から </svg> "
    "までを貼りつけてください。";

}  // namespace quillane
