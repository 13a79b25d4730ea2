#include "editor/enable_rules.h"

#include <QString>
#include <QTabWidget>

#include "editor/form_table.h"

namespace quillane {

namespace {

// Sets every control of `table` (on page `page`) that follows `switches` on
// or off, in the order the table makes them. A swatch only shows a colour
// and is never switched. `only`, when set, keeps to controls of that index.
void setFollowers(const ControlRegistry& controls, const FormTable& table, int page, Follows switches, bool on,
                  int only = kNoIndex) {
  forEachControl(table, page, [&](const FormControl& c) {
    if (!followsAny(c.follows, switches) || c.kind == CellKind::Swatch) return;
    if (only == kNoIndex || c.id.index == only) controls.setEnabled(c.id.family, c.id.index, on);
  });
}

}  // namespace

void EnableRules::tagSlot(int i) const {
  const bool on = m_doc.slots[static_cast<std::size_t>(i)].enabled != 0;
  setFollowers(m_controls, kSlotPage, i, Follows::Page, on);
  webFont(i);
  gradient(i);
  if (on) m_controls.get<QTabWidget>("SSTab2")->setCurrentIndex(i);
}

void EnableRules::webFont(int i) const {
  const auto slot = static_cast<std::size_t>(i);
  m_controls.setEnabled("WebFontStop", i, m_doc.slots[slot].enabled != 0 && m_doc.fonts.slots[slot].chosen());
}

void EnableRules::gradient(int i) const {
  const bool on = m_doc.slots[static_cast<std::size_t>(i)].enabled != 0;
  const GradientKind kind = m_doc.gradients[static_cast<std::size_t>(i)].kind;
  setFollowers(m_controls, kSlotPage, i, Follows::Gradient, on && kind != GradientKind::None);
  setFollowers(m_controls, kSlotPage, i, Follows::Linear, on && kind == GradientKind::Linear);
}

void EnableRules::darkVariant() const {
  const bool modern = m_doc.output.modern == 1;
  setFollowers(m_controls, kDarkTab, kNoIndex, Follows::Modern, modern);
  setFollowers(m_controls, kDarkTab, kNoIndex, Follows::Dark, modern && m_doc.dark.enabled == 1);
  const QString why =
      modern ? QString()
             : QStringLiteral(
                   "ダークモードの色は、「出力」タブの「今のブラウザ向けに書き出す」を選んだときだけ書き出されます。");
  forEachControl(kDarkTab, kNoIndex, [&](const FormControl& c) {
    if (followsAny(c.follows, Follows::Modern))
      if (QWidget* widget = m_controls.find(c.id)) widget->setToolTip(why);
  });
}

void EnableRules::userClass(int i) const {
  const bool on = m_doc.classes[static_cast<std::size_t>(i)].enabled != 0;
  setFollowers(m_controls, kClassPage, i, Follows::Page, on);
  if (on) m_controls.get<QTabWidget>("SSTab4")->setCurrentIndex(i);
}

void EnableRules::scrollbarRow(int k) const {
  setFollowers(m_controls, kScrollbarTab, kNoIndex, Follows::Row, m_doc.scrollbarCheck(k) != 0, k);
}

void EnableRules::backgroundImage(int i) const {
  const bool on = m_doc.slots[static_cast<std::size_t>(i)].useImage == Choice::First;
  setFollowers(m_controls, kSlotPage, i, Follows::Image, on);
}

void EnableRules::outputFormat() const {
  const bool styleSheet = m_doc.output.format == Choice::Second;
  const bool html = m_doc.output.format == Choice::First;
  for (const FormTable* table : {&kOutputTab, &kParking})
    setFollowers(m_controls, *table, kNoIndex, Follows::StyleSheet, styleSheet);
  for (const FormTable* table : {&kOutputTab, &kParking})
    setFollowers(m_controls, *table, kNoIndex, Follows::Html, html);
  const bool linkPage = styleSheet && m_doc.output.makeLinkPage == Choice::First;
  for (const FormTable* table : {&kOutputTab, &kParking})
    setFollowers(m_controls, *table, kNoIndex, Follows::LinkPage, linkPage);
}

void EnableRules::linkPage() const {
  // With the HTML format chosen, only the linking page's fields on the
  // output tab are switched off; the parked boxes keep their state.
  if (m_doc.output.format == Choice::Second) {
    const bool on = m_doc.output.makeLinkPage == Choice::First;
    for (const FormTable* table : {&kOutputTab, &kParking})
      setFollowers(m_controls, *table, kNoIndex, Follows::LinkPage, on);
  } else {
    setFollowers(m_controls, kOutputTab, kNoIndex, Follows::LinkPage, false);
  }
}

}  // namespace quillane
