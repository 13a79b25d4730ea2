// Values that would leave their place in what is written.
//
// Settings and sample files are shared between users, and their text lands
// in style sheets and in pages that open in a browser. A value that would
// end its rule, declaration, string, url() or attribute early, or close the
// style block ("</style>"), would rewrite what follows it. Such a value is
// refused before anything is written, with a message that names the setting
// and the character, as a bad filter number is: every writer's command path
// asks checkValues() first. Ordinary values (Japanese names, spaces, quotes
// where CSS allows them) are written with their bytes exactly as before.
//
// Values that are text (page titles) are escaped where they are written
// rather than refused; see escapeHtmlText() in html_escape.h.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/field_table.h"
#include "document/style_document.h"

namespace quillane {

// What one writer puts on disk, which decides the values it writes.
enum class Output {
  StyleRules,    // the style sheet: the enabled tags, the ticked scrollbar colours, the enabled classes
  EmbeddedPage,  // the page with the rules in its style block; its title is escaped
  ClassPreview,  // one class's rule, whether enabled or not; title and class attribute are escaped
  LinkPage,      // the page that links the style sheet: Text8 in an href attribute
};

// Where a value stands, which decides the characters it may not hold.
enum class ValueKind {
  ClassName,      // a selector ".NAME {": ASCII letters, digits, "-", "_" and any non-ASCII character
  FontName,       // inside "...": no ; { } < > \ or line break, quotes in pairs
  CssValue,       // a declaration or filter value: no ; { } < > " ' \ or comment, brackets balanced
  UrlPath,        // inside url(...): as CssValue, but "\" may stand anywhere but last
  AttributeText,  // inside an attribute "...": no " < > or control character
};

// The first part of `value` that may not stand where `kind` puts it (one
// character, or "/*"), or nothing when the whole value may. Script for old
// Internet Explorer ("expression(", "javascript:", "vbscript:") may stand
// nowhere and is refused first.
//   FontName "Arial\"; } body {" -> "\""      CssValue "12px; color: red" -> ";"
std::optional<std::string> refusedPart(ValueKind kind, std::string_view value);

// A value refused before writing.
struct ValueError {
  ControlId control;
  std::string where;    // the setting in the words of the screen
  std::string refused;  // the character (or "/*") that may not stand there
  std::string text;     // the whole value

  // 「基本」タブの「段落（<P>～</P>）」の「フォント名」には「;」を使えません（今は「Arial; }」）。
  std::string describe() const;
};

// The first value that `output` would write and that would leave its place;
// `classIndex` is the class of a ClassPreview. Values are checked in the
// order they are written; only values that are written are checked.
std::optional<ValueError> checkValues(const StyleDocument& doc, Output output, int classIndex = 0);

}  // namespace quillane
