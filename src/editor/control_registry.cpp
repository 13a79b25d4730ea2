#include "editor/control_registry.h"

namespace quillane {

void ControlRegistry::setEnabled(std::string_view family, int index, bool on) const {
  if (QWidget* w = find(family, index)) w->setEnabled(on);
}

}  // namespace quillane
