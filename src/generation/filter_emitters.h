// The rule of one user class: an optional width line and a "Filter:"
// property listing legacy visual filters, one per line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/field_table.h"
#include "document/style_document.h"

namespace quillane {

// A filter value that must be a number but is not.
struct NumberFieldError {
  int classIndex = 0;
  std::string className;
  ControlId control;  // the box, Text14(c)
  std::string where;  // the box in the words of the screen
  std::string text;   // what the field holds

  // 「エフェクト」タブのクラス「efect0」の「ぶれる」の「角度」には数値を入れてください（今は「abc」）。
  std::string describe() const;
};

// Number text as the filters write it: a space before a number that is zero
// or positive, a minus before a negative one, no leading zeros.
//   "10" -> " 10", "007" -> " 7", "-5" -> "-5", " 3 " -> " 3", "1.50" -> " 1.5"
// Nothing when the text is empty or not a decimal number.
std::optional<std::string> formatFilterNumber(std::string_view text);

// Appends the whole rule of class i. On a bad number field nothing is
// appended and the error is returned.
std::optional<NumberFieldError> Filter(const StyleDocument& doc, int i, std::string& t);

// Appends the rules of every enabled class, 0 to 5. On an error `t` holds
// the rules before the failing class.
std::optional<NumberFieldError> appendClassRules(const StyleDocument& doc, std::string& t);

}  // namespace quillane
