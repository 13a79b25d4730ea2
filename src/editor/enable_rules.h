// Which controls can be edited: a slot's or class's controls follow its
// check box, a scrollbar row follows its box, the image path follows the
// image option, and the output fields follow the chosen format. A rule
// only enables or disables; it never changes a value. Which control follows
// which switch is written in the form's tables (form_table.h).
#pragma once

#include "document/style_document.h"
#include "editor/control_registry.h"

namespace quillane {

class EnableRules {
 public:
  // Keeps references to `controls` and `doc`; both must outlive this object
  // (the editor window owns all three). The rules read the document and
  // only enable or disable the registered controls.
  EnableRules(const ControlRegistry& controls, const StyleDocument& doc) : m_controls(controls), m_doc(doc) {}

  // Check7_Click: slot i's controls follow its box; ticking shows its tab.
  void tagSlot(int i) const;
  // "埋め込まない" of slot i: while the slot is ticked and embeds a font.
  void webFont(int i) const;
  // Check12_Click: class i's controls follow its box; ticking shows its tab.
  void userClass(int i) const;
  // Check6_Click: the colour box and "作る" of scrollbar row k (11..17).
  void scrollbarRow(int k) const;
  // Option3_Click / Option4_Click: the image path and its browse button.
  void backgroundImage(int i) const;
  // Option5_Click / Option6_Click.
  void outputFormat() const;
  // Option7_Click / Option8_Click.
  void linkPage() const;
  // Check28 / CheckDark: the dark tab's switch follows the modern output,
  // which alone writes the dark variant (and says so while it is off);
  // "自動で作る" and the colours follow the switch as well.
  void darkVariant() const;
  // ComboGradient(i), and after tagSlot(i): slot i's later gradient colours
  // follow a kind other than "なし", the angle the kind "線形".
  void gradient(int i) const;

 private:
  const ControlRegistry& m_controls;
  const StyleDocument& m_doc;
};

}  // namespace quillane
