// The two dialogs of embedding a web font: the chooser of a font face, among
// those installed and those of a file the user opens, and the licence the
// chosen font carries, which the user accepts before it is embedded.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/installed_fonts.h"
#include "platform/platform.h"

class QLineEdit;
class QListWidget;

namespace quillane {

class FontChooser : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FontChooser)

 public:
  // Asks for a font file to open: a path, or nothing when the user cancels.
  using AskFile = std::function<std::optional<std::string>()>;

  // Lists `faces`, those of `family` first and the first of them selected.
  FontChooser(const std::vector<InstalledFace>& faces, const QString& family, AskFile askFile,
              QWidget* parent = nullptr);

  // The face selected; nothing when none is.
  std::optional<FontChoice> choice() const;

  // "ファイルから…": lists the faces of the file at `path` first and selects
  // the first of them; a file that is no usable font is refused with a
  // message that says why, and the list stays as it was.
  void addFile(const std::string& path);

 protected:
  // The arrow and page keys in the filter box move in the list.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void filter(const QString& words);

  QLineEdit* m_filter = nullptr;
  QListWidget* m_list = nullptr;
  AskFile m_askFile;
};

// The licence: `heading` (what the maker allows) above the text, in a box
// that scrolls. "了承" accepts; "キャンセル" and Escape do not.
class LicenceDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(LicenceDialog)

 public:
  LicenceDialog(const QString& fontName, const QString& heading, const QString& licence, bool warning,
                QWidget* parent = nullptr);
};

}  // namespace quillane
