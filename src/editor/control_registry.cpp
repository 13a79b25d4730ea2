#include "editor/control_registry.h"

#include <utility>

namespace quillane {

QWidget* ControlRegistry::find(std::string_view family, int index) const {
  const QString key = keyOf(family, index);
  if (QWidget* w = m_controls.value(key)) return w;
  if (!m_buildWaiting) return nullptr;
  buildWaiting();
  return m_controls.value(key);
}

QList<QWidget*> ControlRegistry::all() const {
  buildWaiting();
  return m_controls.values();
}

void ControlRegistry::setEnabled(std::string_view family, int index, bool on) const {
  if (QWidget* w = find(family, index)) w->setEnabled(on);
}

void ControlRegistry::buildWaiting() const {
  // Taken out first: building registers controls and may look some up.
  if (auto build = std::exchange(m_buildWaiting, {})) build();
}

}  // namespace quillane
