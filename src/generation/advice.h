// Advice while editing: what visitors of the pages will not see well, found
// in the document as the chosen output writes it.
//
// - Contrast: the text of each written tag slot against the background it
//   stands on, by the contrast ratio of WCAG 2.2, which asks for 4.5:1, or
//   3:1 for large text (24px, or 18.66px bold). A gradient background is
//   judged at each of its colours, the worst counting; with the dark variant
//   on, the colours visitors who prefer dark pages see are judged too.
// - Text smaller than 12 CSS pixels, which a phone shows too small to read
//   for many (the modern page is laid out at the phone's width).
// - Image paths that point into this computer (a drive letter, "/", "\",
//   "file:"), which no visitor's browser can reach.
// - Fonts that common systems do not have (font_stacks.h), fonts of none of
//   its rows (most likely only on this computer), and names that carry the
//   foundry this computer's font list adds ("C059 [urw]"), which no browser
//   matches. A generic family ("serif") is always there.
//
// Each item names its place the way the window shows it and says what to do.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/field_table.h"
#include "document/style_document.h"

namespace quillane {

// Red, green and blue, 0..255.
using Rgb = std::array<int, 3>;

// The relative luminance of WCAG 2.2, from 0 (black) to 1 (white).
double relativeLuminance(const Rgb& colour);

// (L1 + 0.05) / (L2 + 0.05) with L1 the lighter: from 1 to 21, in either order.
//   777777 on FFFFFF -> 4.478..;  767676 on FFFFFF -> 4.542..
double contrastRatio(const Rgb& a, const Rgb& b);

// A ratio as shown, to two decimals; one below `required` is never shown at
// or above it, so that what fails never reads as passing.
//   (4.478, 4.5) -> "4.48:1";  (4.4996, 4.5) -> "4.49:1";  (21, 4.5) -> "21.00:1"
std::string ratioText(double ratio, double required);

// A colour a slot shows and where it comes from.
struct ShownColour {
  Rgb rgb{};               // as seen, a see-through colour mixed with what lies under it
  int box = -1;            // the Text3 box that holds it; -1 for the browser's own colour
  std::string seeThrough;  // the colour as written when it is see-through, "#FF000080"; else empty
  int gradientStop = 0;    // 2 or 3 for the later colours of a gradient, held beside `box`; else 0

  friend bool operator==(const ShownColour&, const ShownColour&) = default;
};

struct SlotColours {
  ShownColour text;
  ShownColour background;
  // The later colours of the gradient the text stands on (the modern output
  // writes it over `background`, its first colour), mixed as `background`
  // is; empty for a plain background.
  std::vector<ShownColour> laterStops;

  friend bool operator==(const SlotColours&, const SlotColours&) = default;
};

// The colours the text of tag slot `slot` shows, taking only the boxes the
// chosen output writes in a form browsers read (the slot's, and those of the
// slots it inherits from, when ticked and holding a colour):
// - text: the slot's own; for the link states A's; then BODY's for P (a link
//   keeps the browser's link colours instead: 0000EE, visited 551A8B,
//   active FF0000); else black;
// - background: the slot's own; for the link states A's; for a link then
//   P's, since a link stands in a paragraph on every page the program
//   writes; then BODY's; else white. A see-through colour is mixed with what
//   lies under it: the background of the element with its paragraph's and
//   BODY's, BODY's with white, the text with the background.
//   P "FF000080" on white -> text FF7F7F;  legacy "red" -> black (it writes "#red")
// In the dark scheme (the modern output with the dark variant on) each
// colour is its dark counterpart, the light one where that is empty, and the
// browser's own colours are those it draws for `color-scheme: dark` (as
// Chromium does): text FFFFFF on 121212, links 9E9EFF, visited D0ADF0,
// active FF9E9E.
enum class Scheme : std::uint8_t { Light, Dark };
SlotColours shownColours(const StyleDocument& doc, int slot, Scheme scheme = Scheme::Light);

// Whether the output chosen writes the dark variant: the modern output with
// "ダークモード" ticked.
bool writesDarkScheme(const StyleDocument& doc);

// The ratio the text of `slot` needs: 3 when it is large (its size, or the
// size it inherits, is at least 24px, or 18.66px with a weight of 700 or
// more), else 4.5. A size in a relative unit (em, %) counts as not large. A
// link inherits from A, then from its paragraph (P), then from BODY.
double requiredContrast(const StyleDocument& doc, int slot);

// The size in CSS pixels of the text of `slot` on a phone 360 by 740
// pixels wide, through the slots it inherits from as requiredContrast
// walks them: an absolute unit converted (12pt -> 16px), a relative one
// taken of what it inherits (0.75em of BODY's 12px -> 9px; rem of the
// root's 16px; vw of 360px), 16px where nothing sets it. Nothing for a
// size or unit no browser reads.
std::optional<double> phonePixels(const StyleDocument& doc, int slot);

// Whether an image path points into this computer rather than beside the page:
//   "C:\My Documents\a.gif", "c:a.gif", "\\server\a.gif", "/home/me/a.gif",
//   "file:///a.gif", "~/a.gif" -> true;  "a.gif", "img/a.gif", "../a.gif",
//   "http://example.com/a.gif", "//example.com/a.gif" -> false
bool isLocalImagePath(std::string_view path);

enum class AdviceKind { Contrast, ImagePath, Font, FontSize };

struct Advice {
  AdviceKind kind = AdviceKind::Contrast;
  ControlId place;                // the box the advice is about: Text3(i), Text6(i), Combo1(i), Text1(i)
  std::vector<int> colourBoxes;   // the Text3 boxes concerned, for a contrast
  std::string text;               // one line, beginning with the place in the window's words
  Scheme scheme = Scheme::Light;  // of a contrast: the scheme whose colours fail
};

// Every item for the document, slot by slot in the order of the tag pages:
// contrast (then in the dark scheme, where its colours differ from the
// light ones), font, image path, font size. A slot whose colours are all
// those of another slot is left to that slot, as is a slot whose size is
// all inherited.
// Links are checked with A unticked too, when the paragraph or BODY gives
// them a background: they keep the browser's colours on it, and the item
// asks to tick A.
std::vector<Advice> documentAdvice(const StyleDocument& doc);

}  // namespace quillane
