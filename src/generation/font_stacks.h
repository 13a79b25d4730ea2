// The font stacks of the modern output: for each font the samples use or a
// page made on Japanese Windows commonly names, the faces that other
// systems have in its place.
//
// A font name the user gives is written first; then, for a font of this
// table, its names on Windows, the faces of macOS and iOS, those of Android
// and Linux, and the generic family. A name the table does not hold gets
// only its generic family (modern_stylesheet.h).
//   ＭＳ Ｐゴシック -> "ＭＳ Ｐゴシック", "MS PGothic", "Hiragino Kaku Gothic ProN",
//                     "Hiragino Sans", "Noto Sans JP", "Noto Sans CJK JP", sans-serif
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillane {

struct FontStack {
  std::string_view name;                // as Japanese Windows lists it: "ＭＳ Ｐゴシック"
  std::string_view latinName;           // its English name, "MS PGothic"; the same as `name` for a Latin face
  std::vector<std::string_view> faces;  // the faces of other systems, macOS and iOS first
  std::string_view generic;             // "sans-serif", "serif", "cursive"
  std::string_view missingOn;  // the common systems without the face, "Mac、iPhone、Android"; empty: all have it
};

// Every row, Japanese faces first.
const std::vector<FontStack>& fontStacks();

// The row of a font name, found by its Japanese or English name whatever the
// case, the width of its letters and the blanks around it ("ms pゴシック",
// "ＭＳ　Ｐゴシック" and "MS PGothic" all find ＭＳ Ｐゴシック); nothing for any
// other name.
const FontStack* fontStackOf(std::string_view name);

// Whether a name is one of the faces of the table (a row's name, English
// name or one of its faces), compared as fontStackOf compares:
//   "Noto Sans JP", "liberation sans", "ＭＳ 明朝" -> true;  "C059" -> false
bool isStackFace(std::string_view name);

// Whether a name is a generic family of CSS, in any case:
//   "serif", "Sans-Serif", "system-ui" -> true;  "Arial" -> false
bool isGenericFamily(std::string_view name);

// A family name as browsers match it, from a name as the toolkit lists the
// installed families: where two foundries make a family of the same name,
// the list tells them apart by the foundry in brackets, which is no part of
// the family's name.
//   "C059 [urw]" -> "C059";  "D050000L [URW ]" -> "D050000L";  "Noto Sans" -> "Noto Sans"
std::string_view browserFamilyName(std::string_view listed);

// The names a font list offers: each as browsers match it, each once, in
// the order first met.
//   {"C059 [urw]", "C059 [UKWN]", "DejaVu Sans"} -> {"C059", "DejaVu Sans"}
std::vector<std::string> browserFamilyNames(const std::vector<std::string>& listed);

}  // namespace quillane
