// The texts the writers put on disk, as pure functions of the document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/style_document.h"
#include "generation/filter_emitters.h"

namespace quillane {

// Generated text, or the filter value that stopped it.
struct BuiltText {
  std::string text;
  std::optional<NumberFieldError> error;
  bool ok() const { return !error; }
};

// The style rules in their fixed order: BODY with the scrollbar colours,
// then P, A, A:VISITED, A:HOVER, A:ACTIVE, then the enabled user classes.
// This is the whole .css file, and the content of an embedded style block.
std::optional<NumberFieldError> appendStyleRules(const StyleDocument& doc, std::string& t);
BuiltText buildStyleSheet(const StyleDocument& doc);

// The small page that links `styleSheet` (a bare file name). Its title is
// always empty; the sample paragraph and the line breaks follow Check11 and
// Check10.
std::string buildLinkPage(const StyleDocument& doc, std::string_view styleSheet);

// The page with the whole style embedded; the title is Text11 (escaped as
// HTML text), the sample content follows Check8 and Check9. The values are
// written as they are: check them first (checkValues).
BuiltText buildEmbeddedPage(const StyleDocument& doc);

}  // namespace quillane
