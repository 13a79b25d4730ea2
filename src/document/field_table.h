// From a control identity of the design to the document field it holds.
//
// Settings layouts, enable rules and tests address fields the way the design
// does: by control family and index, `Text3(18)` or `Check6(12)`. A control
// outside any family (`Check27`, `Text7`) has index kNoIndex.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/style_document.h"

namespace quillane {

inline constexpr int kNoIndex = -1;

struct ControlId {
  std::string_view family;
  int index = kNoIndex;

  // "Text3(18)", "Check27"
  std::string toString() const;
  friend bool operator==(const ControlId&, const ControlId&) = default;
};

// How a field's value is held, which is also how a settings file writes it.
enum class FieldKind {
  Text,       // a string, written unchanged
  Check,      // 0, 1 or 2
  Option,     // one button of a Choice pair: "True" when it is the selected one
  Slider,     // a slider position, 0..100
  ClassName,  // the caption of one page of the class tab strip
  Switch,     // a check box that is only ever off (0) or on (1), written "False"/"True"
  Gradient,   // the kind of a slot's gradient, picked from a list; no settings layout holds it
};

// A handle on one field of a document. Only the members of its kind are set.
struct FieldRef {
  FieldKind kind = FieldKind::Text;
  std::string* text = nullptr;       // Text, ClassName
  int* number = nullptr;             // Check, Slider, Switch
  Choice* pair = nullptr;            // Option
  Choice side = Choice::Neither;     // Option: which button of the pair this is
  UserClass* owner = nullptr;        // Slider: the class whose opacity text follows the slider
  GradientKind* gradient = nullptr;  // Gradient

  bool optionSelected() const { return *pair == side; }
  // An option button set true selects it (its partner drops); set false it
  // drops only if it was the selected one, which can leave neither.
  void setOption(bool selected) const;
};

// The field of `id`, or nothing when no control of that name and index
// holds a setting.
std::optional<FieldRef> fieldOf(StyleDocument& doc, ControlId id);

// Every family name and index range the table knows, for walking all fields.
struct FamilyRange {
  std::string_view family;
  int first;
  int last;
};
const std::vector<FamilyRange>& allFamilies();

}  // namespace quillane
