// Reading back what the modern output writes for a user class and for the
// scrollbar colours. Each reader works out the settings and writes them
// again: only a rule that comes out the same, byte for byte, is taken.
#pragma once

#include <string_view>

#include "document/style_document.h"

namespace quillane {

// The class rule `rule` (from "." to its "}"), named `name`, as the modern
// output writes it: its effects go into `cls`.
bool readModernClassRule(std::string_view rule, const std::string& name, UserClass& cls);

// The rules of the scrollbar colours (":root" and the "::-webkit-scrollbar"
// rules, from the first to the last "}") as the modern output writes them:
// the colours and their ticks go into `doc`.
bool readModernScrollbarRules(std::string_view rules, StyleDocument& doc);

// The modern blink animation's @keyframes rule, as written.
bool isModernBlinkKeyframes(std::string_view rule);

}  // namespace quillane
