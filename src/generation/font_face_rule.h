// The @font-face rule of an embedded font and the name of its file.
#pragma once

#include <string>
#include <string_view>

namespace quillane {

// The file of an embedded font, relative to the style sheet: an ASCII slug of
// the family (lower-case letters and digits, other runs as one "-", at most
// 40 characters, "font" when nothing is left) and eight hexadecimal digits of
// a hash of the font's bytes, so that a changed font gets a new name.
//   ("Noto Sans CJK JP", bytes) -> "fonts/noto-sans-cjk-jp-1b2c3d4e.woff2"
std::string fontFileName(std::string_view family, std::string_view woff2);

// The rule, its lines ended by CR LF as the style sheets' are:
//   @font-face {
//     font-family: "Noto Sans CJK JP";
//     src: url("fonts/noto-sans-cjk-jp-1b2c3d4e.woff2") format("woff2");
//     font-display: swap;
//     unicode-range: U+20-7E, U+3041-3096;
//   }
// The family and the file are CSS strings (cssString in modern_values.h), so
// that no family name can end the string, the rule or a page's <style>
// element.
std::string fontFaceRule(std::string_view family, std::string_view fileName, std::string_view unicodeRange);

}  // namespace quillane
