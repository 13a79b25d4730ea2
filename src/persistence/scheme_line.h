// The dark variant ("ダークモード"), the gradients and the web fonts on one line of a
// settings file: the line after the kept style text (line 325 of a settings
// file, 327 of a sample), which every earlier version ignores.
//
// The line is "scheme:" and entries "key=value" apart by one space, only
// those whose value differs from a new document's, in a fixed order;
// values are escaped as the kept style line escapes them, with " " and "="
// as %20 and %3D too:
//   "scheme:dark=1 dark.18=EEEEEE dark.19=121212 gradient.5=linear gradient.5.angle=90 gradient.5.colour2=DDDDDD"
// Keys:
//   dark                   the switch (a check: 0, 1, 2)
//   dark.I                 dark colour of Text3(I), I 0..19
//   dark.chroma.C, dark.glow.C, dark.shadow.C, dark.special1.C, dark.special2.C
//                          dark colours of user class C, 0..5
//   gradient.S             none, linear or radial, for tag slot S, 0..5
//   gradient.S.angle       degrees as typed (a new document holds 180)
//   gradient.S.colour2, gradient.S.colour3, gradient.S.dark2, gradient.S.dark3
//   font.S.file            the font file tag slot S embeds (a path as chosen)
//   font.S.face            the face's full name in a collection
//   font.S.family          the family the style sheet names it by
//   font.sets              the named character sets kept, "ascii,kana" for a new document
//   font.limit             the largest web font in kilobytes, 1 to 100000 (1000)
// A key the reader does not know is skipped, so later versions may add
// keys; a key missing takes the value of a new document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/style_document.h"

namespace quillane {

inline constexpr std::string_view kSchemeLinePrefix = "scheme:";

// The line (without its line end); empty when every value is a new
// document's, and then the file has no such line.
std::string schemeLine(const StyleDocument& doc);

// Sets the dark variant, the gradients and the web fonts of `doc` from a line: all of
// them, those the line does not name to a new document's values. A line
// that does not start with "scheme:" sets nothing and is no error. Returns
// what is wrong (an escape that does not make UTF-8, a value out of its
// range), and then `doc` is left as it was.
std::optional<std::string> applySchemeLine(std::string_view line, StyleDocument& doc);

}  // namespace quillane
