#include "editor/font_work.h"

#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace quillane {

QStringList fontWorkPluginFolders(const QString& programFolder) {
  const QDir folder(programFolder);
  return {QDir::cleanPath(folder.filePath(QStringLiteral("plugins"))),
          QDir::cleanPath(folder.filePath(QStringLiteral("../lib/quillane/plugins")))};
}

LoadedFontWork loadFontWork(const QStringList& folders) {
  QString path;
  for (const QString& folder : folders) {
    const QString candidate = QDir(folder).filePath(QString::fromLatin1(kFontWorkPluginFile));
    if (QFileInfo(candidate).isFile()) {
      path = candidate;
      break;
    }
  }
  if (path.isEmpty())
    return {nullptr, QStringLiteral("Webフォントのプラグイン「%1」が見つからないため、フォントを埋め込めません"
                                    "（探した場所: %2）。\nほかの機能はそのまま使えます。")
                         .arg(QString::fromLatin1(kFontWorkPluginFile), folders.join(QStringLiteral("、")))};
  // The library stays loaded, and its root object alive, after the loader
  // goes; a later loader of the same file hands back the same object.
  QPluginLoader loader(path);
  QObject* root = loader.instance();
  if (root == nullptr)
    return {nullptr, QStringLiteral("Webフォントには HarfBuzz と WOFF2 のライブラリが必要です（Debian では "
                                    "libharfbuzz-subset0 と libwoff1 パッケージ）。プラグイン「%1」を読みこめません"
                                    "でした: %2\nほかの機能はそのまま使えます。")
                         .arg(path, loader.errorString())};
  const FontWork* work = qobject_cast<FontWork*>(root);
  if (work == nullptr)
    return {nullptr, QStringLiteral("「%1」はこの版の Webフォントのプラグインではありません。\nほかの機能はそのまま"
                                    "使えます。")
                         .arg(path)};
  return {work, {}};
}

}  // namespace quillane
