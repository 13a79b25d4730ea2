#include "persistence/settings_layout.h"

#include <initializer_list>

namespace quillane {

namespace {

struct Row {
  std::string_view family;
  int first = kNoIndex;
  int last = kNoIndex;
};

// A row of one index per tag slot or user class.
Row six(std::string_view family) { return {family, 0, 5}; }

std::vector<ControlId> expand(std::initializer_list<Row> rows) {
  std::vector<ControlId> fields;
  for (const Row& row : rows)
    for (int i = row.first; i <= row.last; ++i) fields.push_back({row.family, i});
  return fields;
}

}  // namespace

const std::vector<ControlId>& layoutFields(Layout layout) {
  // The order is fixed by the files already written; it is not grouped by meaning.
  // clang-format off
  static const std::vector<ControlId> settings = expand({
      {"Text3", 0, 19}, six("Combo1"), six("Text1"), six("Combo3"), six("Combo2"),
      six("Option4"), six("Option3"), {"Check27"}, six("Text6"),
      six("Check1"), six("Check2"), six("Check3"), six("Check4"), six("Check5"),
      six("Text4"), six("Check7"), {"Check6", 11, 17},
      six("Check12"), six("Option9"), six("Option10"),
      six("Check13"), six("Check14"), six("Check15"), six("Check16"), six("Check17"),
      six("Check20"), six("Check21"), six("Check25"), six("Check26"),
      six("Slider1"), six("Text13"), six("Check18"), six("Check19"),
      six("Text22"), six("Text23"), six("Text20"), six("Text21"),
      six("Check22"), six("Check23"), six("Check24"), six("Text14"), six("Text15"),
      six("Option12"), six("Option13"), six("Text16"), six("Text19"), six("Text17"), six("Text18"),
      six("Text24"), six("Text25"), six("Text26"), six("SSTab4"),
  });
  static const std::vector<ControlId> version1 = expand({
      {"Text3", 0, 19}, six("Combo1"), six("Text1"), six("Option4"), six("Option3"), six("Text6"),
      six("Check1"), six("Check2"), six("Check3"), six("Check4"), six("Check5"),
      six("Text4"), six("Check7"), {"Check6", 11, 17},
  });
  // clang-format on
  return layout == Layout::Version1 ? version1 : settings;
}

const std::vector<ControlId>& trailingFields() {
  static const std::vector<ControlId> fields = expand({{"Check28"}});  // line 323: modern output
  return fields;
}

int keptStyleLineIndex() { return kSettingsLineCount + static_cast<int>(trailingFields().size()); }

int schemeLineIndex() { return keptStyleLineIndex() + 1; }

int headerLines(Layout layout) { return layout == Layout::Sample ? kSampleHeaderLines : 0; }

}  // namespace quillane
