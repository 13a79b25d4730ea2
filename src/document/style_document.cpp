#include "document/style_document.h"

namespace quillane {

namespace {
constexpr std::array<const char*, kScrollbarColourCount> kScrollbarDefaults = {"000000", "BFBFBF", "CFCFCF", "FFFFFF",
                                                                               "000000", "808080", "EFEFEF"};
constexpr std::array<const char*, kTagSlotCount> kSelectors = {"P {",        "A {",       "A:VISITED {",
                                                               "A:ACTIVE {", "A:HOVER {", "BODY {"};
}  // namespace

void UserClass::moveOpacitySlider(int position) {
  if (position == opacitySlider) return;
  opacitySlider = position;
  opacity = std::to_string(position);
}

std::optional<int> UserClass::opacityAsSlider() const {
  for (int position = 0; position <= 100; ++position)
    if (opacity == std::to_string(position)) return position;
  return std::nullopt;
}

StyleDocument::StyleDocument() {
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k)
    colours[static_cast<std::size_t>(k)] = kScrollbarDefaults[static_cast<std::size_t>(k - kFirstScrollbarColour)];
  for (int c = 0; c < kUserClassCount; ++c) {
    auto& cls = classes[static_cast<std::size_t>(c)];
    cls.className = "efect" + std::to_string(c);
    cls.checkCaption = cls.className;
  }
}

int foreColourIndex(int slot) { return slot == kSlotBody ? 18 : slot; }
int backColourIndex(int slot) { return slot == kSlotBody ? 19 : slot + 5; }

const char* selectorOf(int slot) { return kSelectors[static_cast<std::size_t>(slot)]; }

}  // namespace quillane
