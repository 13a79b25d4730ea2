// Text placed in HTML: element content and quoted attribute values.
#pragma once

#include <string>
#include <string_view>

namespace quillane {

// The text as HTML element or attribute text: "&" -> "&amp;", "<" -> "&lt;",
// ">" -> "&gt;", '"' -> "&quot;". Text without them keeps its bytes:
//   "a<b & \"c\"" -> "a&lt;b &amp; &quot;c&quot;"
std::string escapeHtmlText(std::string_view text);

// As escapeHtmlText, and "'" -> "&#39;" for a value that may stand between
// single quotes too.
std::string escapeHtmlAttribute(std::string_view text);

}  // namespace quillane
