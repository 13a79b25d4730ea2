// Reading back what the modern output writes for a user class and for the
// scrollbar colours. Each reader works out the settings and writes them
// again: only a rule that comes out the same, byte for byte, is taken.
#pragma once

#include <string_view>

#include "document/style_document.h"

namespace quillane {

// The class rule `rule` (from "." to its "}"), named `name`, as the modern
// output writes it: its effects go into `cls`. The SVG filters it refers to
// by id are looked up in `filters` (the page, or the sheet with its marked
// comment).
bool readModernClassRule(std::string_view rule, const std::string& name, std::string_view filters, UserClass& cls);

// The rules of the scrollbar colours (the "@supports" rule holding ":root"
// and the "::-webkit-scrollbar" rules after it, from the first character to
// the last "}") as the modern output writes them:
// the colours and their ticks go into `doc`.
bool readModernScrollbarRules(std::string_view rules, StyleDocument& doc);

// The modern blink animation's @keyframes rule, as written.
bool isModernBlinkKeyframes(std::string_view rule);

}  // namespace quillane
