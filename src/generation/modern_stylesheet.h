// The style sheet of the modern output ("今のブラウザ向けに書き出す"): the
// same settings as the legacy sheet, written as standard CSS that current
// browsers apply. A pure function of the document; the legacy writers in
// stylesheet_text.h are untouched by it.
//
// What changes from the legacy sheet (docs/modern-output.md has the table):
// - UTF-8: a .css file starts with @charset "UTF-8";
// - only what the user filled in: a declaration whose field is empty is left
//   out, and a rule left with nothing in it is left out;
// - a font name is a CSS string with a generic fallback;
// - blink is a small animation; "自動" leaves the cursor to the browser;
// - the scrollbar colours are ::-webkit-scrollbar rules, and scrollbar-color
//   on the root element for browsers without those;
// - the SVG filters of the classes follow the rules in a marked comment
//   (modern_filters.h), for the pages that link the sheet.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/style_document.h"
#include "generation/modern_values.h"
#include "generation/web_font_faces.h"

namespace quillane {

// The name of the blink animation the sheet defines when a slot blinks.
inline constexpr std::string_view kBlinkAnimation = "quillane-blink";

// The rules, in the legacy order (scrollbar, BODY, P, A, A:VISITED,
// A:HOVER, A:ACTIVE, the enabled classes) and then the blink animation if
// any slot blinks. This is the body of the .css file and the content of an
// embedded style element. For P with red text at 20 pixels and a font:
//   p {
//     color: #FF0000;
//     font-family: "源ノ角ゴシック", sans-serif;
//     font-size: 20px;
//   }
// On a refusal `t` holds the rules before the refused one.
// With web fonts, their @font-face rules come first (after the kept
// @import rules, which CSS wants before any other), and each face's family
// starts its slot's font stack:
//   font-family: "Noto Sans CJK JP", "源ノ角ゴシック", sans-serif;
std::optional<ModernRefusal> appendModernStyleRules(const StyleDocument& doc, std::string& t,
                                                    const WebFontFaces& fonts = {});

// The whole .css file: "@charset "UTF-8";", the rules, and the comment
// holding the block of SVG filters when a class uses one.
ModernText buildModernStyleSheet(const StyleDocument& doc, const WebFontFaces& fonts = {});

// That comment, ended by CR LF; empty when no class uses an SVG filter.
std::string modernFilterComment(const StyleDocument& doc);

// The font-family value of a font name: a generic family stays a keyword;
// a font of the table in font_stacks.h is followed by its stack; any other
// name is quoted and followed by the generic family its name suggests
// (serif for 明朝, Mincho, Serif, Times; monospace for Mono, Courier,
// Consolas; cursive for Comic; sans-serif otherwise).
//   "ＭＳ 明朝" -> "\"ＭＳ 明朝\", \"MS Mincho\", \"Hiragino Mincho ProN\", \"Noto Serif JP\",
//                 \"Noto Serif CJK JP\", serif"
//   "源ノ明朝" -> "\"源ノ明朝\", serif";  "Serif" -> "serif"
std::string fontFamilyValue(std::string_view name);

// The font-family value of a slot whose font is embedded as `family`: the
// family, then the stack of the slot's font name (fontFamilyValue), or the
// family's own generic family when the slot names no font or names that
// family; a stack that names the family too leaves it out there.
//   ("Noto Sans CJK JP", "ＭＳ Ｐゴシック") -> "\"Noto Sans CJK JP\", \"ＭＳ Ｐゴシック\", ..., \"Noto Sans JP\",
//   sans-serif"
//   ("Noto Serif CJK JP", "") -> "\"Noto Serif CJK JP\", serif"
std::string embeddedFontFamilyValue(std::string_view family, std::string_view name);

}  // namespace quillane
