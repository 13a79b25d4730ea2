#include "editor/enable_rules.h"

#include <QTabWidget>
#include <span>
#include <string_view>

namespace quillane {

namespace {

using Names = std::initializer_list<std::string_view>;

// clang-format off
// The controls of one tag slot, in the order the rule sets them.
constexpr std::string_view kSlotControls[] = {
    "Combo3", "Label1",  "Combo1", "Label22", "Label2", "Text1",  "Label6", "Option4",
    "Option3", "Label10", "Text6",  "Command4", "Label7", "Check1", "Check2", "Check3",
    "Check4", "Check5",  "Label8", "Text4",   "Frame4", "Combo2", "Label24"};

// The controls of one user class: the target and filter boxes, then the
// contents of each filter frame.
constexpr std::string_view kClassControls[] = {
    "Frame14", "Option9", "Option10", "Frame13", "Check13", "Check14", "Check15", "Check16", "Check17", "Check20",
    "Check21", "Check25", "Check26",
    "Label5",  "Slider1", "Text2",                                                  // Frame3
    "Label30", "Text13",  "Command7",                                               // Frame15
    "Check18", "Check19",                                                           // Frame18
    "Label39", "Text22",  "Label40",  "Text23",  "Command10",                       // Frame21
    "Label37", "Text20",  "Label38",  "Text21",  "Command9",                        // Frame19
    "Check22", "Check23", "Check24",                                                // Frame20
    "Label31", "Text14",  "Label32",  "Text15",                                     // Frame12
    "Frame17", "Option12", "Option13", "Label33", "Text16", "Label36", "Text19",    // Frame16
    "Label34", "Text17",  "Label35",  "Text18",
    "Label41", "Text24",  "Command1", "Label42", "Text25",  "Command11", "Label43", "Text26",  // Frame22
};

constexpr std::string_view kStyleSheetControls[] = {
    "Frame8", "Frame9", "Label11", "Label12", "Text7", "Text8", "Command5", "Option7", "Option8"};
constexpr std::string_view kHtmlControls[] = {
    "Frame7", "Label13", "Label14", "Label17", "Text9", "Text10", "Text11", "Command3", "Check8", "Check9"};
constexpr std::string_view kLinkPageControls[] = {"Label18", "Label19", "Text5", "Text12", "Check10", "Check11"};
// clang-format on

void setAll(const ControlRegistry& controls, std::span<const std::string_view> names, int index, bool on) {
  for (std::string_view name : names) controls.setEnabled(name, index, on);
}

}  // namespace

void EnableRules::tagSlot(int i) const {
  const bool on = m_doc.slots[static_cast<std::size_t>(i)].enabled != 0;
  setAll(m_controls, kSlotControls, i, on);
  if (i == kSlotBody) {
    for (int k : {18, 19}) {
      m_controls.setEnabled("Text3", k, on);
      m_controls.setEnabled("Command2", k, on);
    }
    m_controls.setEnabled("Label9", kSlotBody, on);
    m_controls.setEnabled("Check27", kNoIndex, on);
  } else {
    m_controls.setEnabled("Label9", i, on);
    for (int k : {foreColourIndex(i), backColourIndex(i)}) {
      m_controls.setEnabled("Text3", k, on);
      m_controls.setEnabled("Command2", k, on);
    }
  }
  if (on) m_controls.get<QTabWidget>("SSTab2")->setCurrentIndex(i);
}

void EnableRules::userClass(int i) const {
  const bool on = m_doc.classes[static_cast<std::size_t>(i)].enabled != 0;
  setAll(m_controls, kClassControls, i, on);
  if (on) m_controls.get<QTabWidget>("SSTab4")->setCurrentIndex(i);
}

void EnableRules::scrollbarRow(int k) const {
  const bool on = m_doc.scrollbarCheck(k) != 0;
  m_controls.setEnabled("Text3", k, on);
  m_controls.setEnabled("Command2", k, on);
}

void EnableRules::backgroundImage(int i) const {
  const bool on = m_doc.slots[static_cast<std::size_t>(i)].useImage == Choice::First;
  m_controls.setEnabled("Text6", i, on);
  m_controls.setEnabled("Command4", i, on);
}

void EnableRules::outputFormat() const {
  const bool styleSheet = m_doc.output.format == Choice::Second;
  const bool html = m_doc.output.format == Choice::First;
  setAll(m_controls, kStyleSheetControls, kNoIndex, styleSheet);
  setAll(m_controls, kHtmlControls, kNoIndex, html);
  setAll(m_controls, kLinkPageControls, kNoIndex, styleSheet && m_doc.output.makeLinkPage == Choice::First);
}

void EnableRules::linkPage() const {
  if (m_doc.output.format == Choice::Second) {
    setAll(m_controls, kLinkPageControls, kNoIndex, m_doc.output.makeLinkPage == Choice::First);
  } else {
    for (std::string_view name : {"Label18", "Label19", "Text5", "Text12"})
      m_controls.setEnabled(name, kNoIndex, false);
  }
}

}  // namespace quillane
