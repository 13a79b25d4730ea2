// The style text the form has no field for ("そのほかのスタイル"): rules,
// at-rules and declarations brought in by an import, kept as written and
// written after the generated rules in every output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/style_document.h"

namespace quillane {

// Where the kept text's leading @import, @namespace and @layer statements
// (with the blanks and comments among them) end: these must come before
// any other rule to count, so the writers put them first.
//   "@import url(a.css);\r\np { margin: 0 }" -> 21
std::size_t keptStyleHeadLength(const std::string& kept);

// The encoding of the output the kept text goes into.
enum class KeptTextFor : std::uint8_t { Utf8, Cp932 };

// Appends the leading statements of the kept text (keptStyleHeadLength),
// before the generated rules; nothing when there are none.
void appendKeptStyleHead(const StyleDocument& doc, std::string& t, KeptTextFor output);

// Appends the rest of the kept text, after the generated rules, ended by
// CR LF when it does not end in a line break; nothing when there is none,
// so a document without kept text writes what it always wrote. "</style"
// (any case) is written "<\/style", which CSS reads alike, so the text
// cannot end a page's style element, and the filters' marker word
// (modern_filters.h) is written with its "-" escaped: "quillane\-svg-filters".
//
// CP932 has no "¥" (U+00A5) nor "‾" (U+203E): it would write them as the
// bytes of "\" and "~", and "a¥" in a string would escape its closing
// quote. For CP932 they are written as CSS escapes, which strings, names,
// url() and numbers' units read as the character itself (and comments
// leave unread): "\a5" and "\203e", followed by a blank where the next
// character would otherwise continue the escape (a hex digit, a blank, a
// line end or the end of the text). A backslash that escaped the
// character is the escape's own:
//   "\"a¥\"" -> "\"a\a5\""     "‾1" -> "\203e 1"     "\¥" -> "\a5 "
void appendKeptStyle(const StyleDocument& doc, std::string& t, KeptTextFor output);

}  // namespace quillane
