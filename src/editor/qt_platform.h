// The desktop services of the editor, made of Qt dialogs and the desktop's
// "open".
#pragma once

#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/platform.h"

namespace quillane {

class QtPlatform : public Platform {
 public:
  // Dialogs are parented to `owner`, when it is set.
  void setOwner(QWidget* owner) { m_owner = owner; }

  MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                           MessageButtons buttons) override;
  std::string prompt(std::string_view message, std::string_view title) override;
  std::optional<std::string> fileDialog(FileDialogMode mode, std::string_view filter) override;
  std::optional<std::string> fileDialogIn(FileDialogMode mode, std::string_view filter,
                                          const std::string& folder) override;
  std::optional<BgrColour> colourDialog(std::optional<BgrColour> start) override;
  std::optional<std::string> chooseFolder() override;
  std::optional<FontChoice> chooseFont(std::string_view family) override;
  bool acceptLicence(std::string_view fontName, std::string_view heading, std::string_view licence,
                     MessageIcon icon) override;
  void shellOpen(std::string_view pathOrAddress) override;
  void processEvents() override;

  // "label|pattern|label|pattern" as Qt file-dialog filters, each pattern
  // shown once, and "*.*" (every file) as "*":
  //   "Quillane設定ファイル(*.qlf)|*.qlf" -> "Quillane設定ファイル(*.qlf)"
  //   "(*.htm,*.html)|*.htm;*.html"      -> "(*.htm *.html)"
  //   "全てのファイル|*.*"                -> "全てのファイル (*)"
  static QString qtFilter(std::string_view filter);

  // The window a dialog opened now belongs to: the active window, else the owner.
  QWidget* dialogParent() const;

 private:
  std::optional<std::string> showFileDialog(FileDialogMode mode, std::string_view filter, const QString& start);

  QPointer<QWidget> m_owner;
  // Each window has its own file dialog, which keeps the last name chosen
  // in it; keyed by the window's object name ("Form1", "Form4").
  QHash<QString, QString> m_lastFileNames;
  QColor m_lastColour = Qt::black;
};

}  // namespace quillane
