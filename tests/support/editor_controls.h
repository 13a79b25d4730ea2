// The editor for the Qt tests: a control that is not there ends the test
// run at once, naming it, instead of a null pointer later; and a fresh
// application folder for a window to work in.
#pragma once

#include <QDir>
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

// Makes `root` an empty application folder with its "sample" and "preview"
// folders, as the editor expects beside the program.
inline void layOutApplicationFolder(const QString& root) {
  QDir(root).removeRecursively();
  QDir().mkpath(root + QStringLiteral("/sample"));
  QDir().mkpath(root + QStringLiteral("/preview"));
}

}  // namespace quillane::testing
