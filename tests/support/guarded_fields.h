// Every value the check before writing guards, with what makes a writer
// write it: the value checks' tests put a breaking value into each one in
// turn and expect every writer that writes it to refuse, naming that field.
#pragma once

#include <vector>

#include "document/field_table.h"
#include "document/style_document.h"

namespace quillane::testing {

struct GuardedField {
  ControlId control;
  enum Scope { Style, Class, LinkPage } scope;  // written with the style rules, a class rule, the linking page
  void (*switchOn)(StyleDocument& doc, int index);
};

namespace guarded {

inline TagSlot& slotOf(StyleDocument& d, int i) { return d.slots[static_cast<std::size_t>(i)]; }
inline UserClass& classOf(StyleDocument& d, int c) {
  UserClass& u = d.classes[static_cast<std::size_t>(c)];
  u.enabled = 1;
  return u;
}

inline void scrollbarColour(StyleDocument& d, int k) { d.scrollbarCheck(k) = 1; }
inline void slotColour(StyleDocument& d, int k) {
  for (int s = 0; s < kTagSlotCount; ++s)
    if (foreColourIndex(s) == k || backColourIndex(s) == k) slotOf(d, s).enabled = 1;
}
inline void slot(StyleDocument& d, int i) { slotOf(d, i).enabled = 1; }
inline void image(StyleDocument& d, int i) {
  slotOf(d, i).enabled = 1;
  slotOf(d, i).useImage = Choice::First;
}
inline void className(StyleDocument& d, int c) { classOf(d, c).alphaOn = 1; }
inline void chroma(StyleDocument& d, int c) { classOf(d, c).chromaOn = 1; }
inline void alpha(StyleDocument& d, int c) { classOf(d, c).alphaOn = 1; }
inline void glow(StyleDocument& d, int c) { classOf(d, c).glowOn = 1; }
inline void shadow(StyleDocument& d, int c) { classOf(d, c).shadowOn = 1; }
inline void special(StyleDocument& d, int c) { classOf(d, c).specialOn = 1; }
inline void linkPage(StyleDocument& d, int) {
  d.output.format = Choice::Second;
  d.output.makeLinkPage = Choice::First;
}

}  // namespace guarded

inline std::vector<GuardedField> guardedFields() {
  using F = GuardedField;
  namespace g = guarded;
  std::vector<F> fields;
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k)
    fields.push_back({{"Text3", k}, F::Style, g::scrollbarColour});
  for (int s = 0; s < kTagSlotCount; ++s) {
    fields.push_back({{"Text3", foreColourIndex(s)}, F::Style, g::slotColour});
    fields.push_back({{"Text3", backColourIndex(s)}, F::Style, g::slotColour});
  }
  const std::vector<F> others = {
      {{"Text4", kSlotP}, F::Style, g::slot},       {{"Text6", kSlotBody}, F::Style, g::image},
      {{"Text6", kSlotHover}, F::Style, g::image},  {{"Combo1", kSlotA}, F::Style, g::slot},
      {{"Text1", kSlotVisited}, F::Style, g::slot}, {{"Combo3", kSlotActive}, F::Style, g::slot},
      {{"Combo2", kSlotBody}, F::Style, g::slot},   {{"SSTab4", 5}, F::Class, g::className},
      {{"Text13", 0}, F::Class, g::chroma},         {{"Text2", 1}, F::Class, g::alpha},
      {{"Text21", 2}, F::Class, g::glow},           {{"Text23", 3}, F::Class, g::shadow},
      {{"Text25", 4}, F::Class, g::special},        {{"Text24", 5}, F::Class, g::special},
      {{"Text26", 0}, F::Class, g::special},        {{"Text8"}, F::LinkPage, g::linkPage},
  };
  fields.insert(fields.end(), others.begin(), others.end());
  return fields;
}

}  // namespace quillane::testing
