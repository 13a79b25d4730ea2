// Form4, "CSSの適用": links a style sheet into an existing page, shows the
// rewritten page for review and editing, previews it and saves it over the
// page. A thin view over LinkInjector.
#pragma once

#include <QWidget>

#include "editor/control_registry.h"
#include "linking/link_injector.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillane {

class LinkWindow : public QWidget {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LinkWindow)

 public:
  // Sized in twips: a 5745 x 9105 client area, the last 600 for the line
  // that says what "保存" did or why it is off. `platform` must outlive the
  // window (its injector keeps a reference to it).
  LinkWindow(Platform& platform, int twipsPerPixelX, int twipsPerPixelY, QWidget* parent = nullptr);

  LinkInjector& injector() { return m_injector; }
  const ControlRegistry& controls() const { return m_controls; }

  // Brings Rich1 and Command3 in line with the injector, after a rewrite
  // made elsewhere.
  void showInjectorText();

  // Places the window over `editor`, wholly inside the screen, before it is
  // first shown.
  void placeOver(const QWidget* editor);

  // The line under the text: what "保存" saved where, or why it is off.
  QString statusText() const;

  // The command buttons.
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();

 private:
  // Rich1 shows the injector's text; Command3 follows whether it may save,
  // and the status line says why not.
  void showText();
  void updateSaveButton();

  // Why "保存" is off: what happened last to the text or the paths.
  enum class SaveOff {
    NoRewrite,      // nothing rewritten yet
    PathsChanged,   // a path changed since the rewrite
    RewriteFailed,  // the last rewrite failed or was cancelled
    OtherPage,      // the text is a rewrite for the editor's chosen-page preview
  };

  LinkInjector m_injector;
  ControlRegistry m_controls;
  QPlainTextEdit* m_text = nullptr;
  QPushButton* m_save = nullptr;
  QLabel* m_status = nullptr;
  SaveOff m_saveOff = SaveOff::NoRewrite;
  bool m_showing = false;
};

}  // namespace quillane
