// Form4, "CSSの適用": links a style sheet into an existing page, shows the
// rewritten page for review and editing, previews it and saves it over the
// page. A thin view over LinkInjector.
#pragma once

#include <QWidget>

#include "editor/control_registry.h"
#include "linking/link_injector.h"

class QPlainTextEdit;
class QPushButton;

namespace quillane {

class LinkWindow : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LinkWindow)

 public:
  // Sized in twips: a 5745 x 8505 client area. `platform` must outlive the
  // window (its injector keeps a reference to it).
  LinkWindow(Platform& platform, int twipsPerPixelX, int twipsPerPixelY, QWidget* parent = nullptr);

  LinkInjector& injector() { return m_injector; }
  const ControlRegistry& controls() const { return m_controls; }

  // Brings Rich1 and Command3 in line with the injector, after a rewrite
  // made elsewhere.
  void showInjectorText();

  // The command buttons.
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();

 private:
  // Rich1 shows the injector's text; Command3 follows whether it may save.
  void showText();
  void updateSaveButton();

  LinkInjector m_injector;
  ControlRegistry m_controls;
  QPlainTextEdit* m_text = nullptr;
  QPushButton* m_save = nullptr;
  bool m_showing = false;
};

}  // namespace quillane
