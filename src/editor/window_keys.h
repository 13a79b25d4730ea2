// The keys the editor's side windows share.
#pragma once

#include <QKeySequence>
#include <QShortcut>
#include <QTimer>
#include <QWidget>

namespace quillane {

// Gives the keyboard to `window` once a closing has settled: without a
// window manager to do it, nothing would have the keyboard.
inline void activateSoon(QWidget* window) {
  if (window == nullptr) return;
  QTimer::singleShot(0, window, [window] {
    if (window->isVisible()) window->activateWindow();
  });
}

// Escape closes `window` and gives the keyboard back to the window it stands
// beside.
inline void closeWithEscape(QWidget* window) {
  QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), window), &QShortcut::activated, window, [window] {
    window->close();
    activateSoon(window->parentWidget());
  });
}

}  // namespace quillane
