// Quillane: the title window opens the editor, which is ready before the
// title picture is shown over it.
#include <QApplication>
#include <QFontDatabase>
#include <QTimer>

#include "editor/main_window.h"
#include "editor/title_window.h"
#include "platform/qt_platform.h"

namespace {

// Ends the program once the editor has been painted (for timing start-up).
class QuitAfterPaint : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillane"));
  QApplication::setApplicationVersion(QStringLiteral("2.1.0"));
  if (QFontDatabase::families().contains(QStringLiteral("Noto Sans CJK JP")))
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 9));

  quillane::QtPlatform platform;
  quillane::MainWindow editor(platform, QCoreApplication::applicationDirPath());
  platform.setOwner(&editor);

  auto* title = new quillane::TitleWindow(editor.twipsPerPixelX(), editor.twipsPerPixelY());
  editor.show();
  title->centreOnScreen();
  title->show();
  title->raise();

  QuitAfterPaint quitter;
  if (QCoreApplication::arguments().contains(QStringLiteral("--quit-after-show"))) editor.installEventFilter(&quitter);
  return QApplication::exec();
}
