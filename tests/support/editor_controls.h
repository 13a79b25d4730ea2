// The editor's controls for the Qt tests: a control that is not there ends
// the test run at once, naming it, instead of a null pointer later.
#pragma once

#include <QtGlobal>
#include <string_view>

#include "editor/main_window.h"

namespace quillane::testing {

template <class T = QWidget>
T* requireControl(const MainWindow& window, std::string_view family, int index = kNoIndex) {
  T* widget = window.controls().get<T>(family, index);
  if (widget == nullptr) qFatal("no control %s", ControlId{family, index}.toString().c_str());
  return widget;
}

}  // namespace quillane::testing
