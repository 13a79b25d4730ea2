#include "editor/application_setup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace quillane {

bool setUpEditorApplication() {
  if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK JP")))
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 9));

  auto* translator = new QTranslator(qApp);
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace quillane
