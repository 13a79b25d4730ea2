// The style text the form has no field for ("そのほかのスタイル"): rules,
// at-rules and declarations brought in by an import, kept as written and
// written after the generated rules in every output.
#pragma once

#include <cstddef>
#include <string>

#include "document/style_document.h"

namespace quillane {

// Where the kept text's leading @import, @namespace and @layer statements
// (with the blanks and comments among them) end: these must come before
// any other rule to count, so the writers put them first.
//   "@import url(a.css);\r\np { margin: 0 }" -> 21
std::size_t keptStyleHeadLength(const std::string& kept);

// Appends the leading statements of the kept text (keptStyleHeadLength),
// before the generated rules; nothing when there are none.
void appendKeptStyleHead(const StyleDocument& doc, std::string& t);

// Appends the rest of the kept text, after the generated rules, ended by
// CR LF when it does not end in a line break; nothing when there is none,
// so a document without kept text writes what it always wrote. "</style"
// (any case) is written "<\/style", which CSS reads alike, so the text
// cannot end a page's style element, and the filters' marker word
// (modern_filters.h) is written with its "-" escaped: "quillane\-svg-filters".
void appendKeptStyle(const StyleDocument& doc, std::string& t);

}  // namespace quillane
