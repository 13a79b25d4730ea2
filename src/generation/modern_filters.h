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
// SVG filters travel inside the rule as data: URLs,
//   filter: url("data:image/svg+xml,%3Csvg ...%3E#chroma");
// and the filter functions keep the legacy order (chroma, blur, wave, glow,
// tone, shadow, special), as the legacy filters applied in that order.
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

// Where a shadow `length` pixels long falls when cast toward `degrees`
// (0 = up, 90 = right, clockwise), to two decimals:
//   90, 5 -> {5, 0};  135, 5 -> {3.54, 3.54};  0, 5 -> {0, -5}
struct Offset {
  double x = 0;
  double y = 0;
};
Offset offsetToward(double degrees, double length);

// An SVG filter document as the address of a filter: url("data:image/svg+xml,...#id").
std::string svgFilterReference(std::string_view id, std::string_view filterBody,
                               std::string_view regionAttributes = {});

}  // namespace quillane
