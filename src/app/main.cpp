// Quillane: the title window opens the editor, which is ready before the
// title picture is shown over it.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "editor/application_setup.h"
#include "editor/main_window.h"
#include "editor/title_window.h"
#include "platform/qt_platform.h"

namespace {

// Ends the program once the editor has been painted, for timing start-up
// (--quit-after-show) or for a picture of the window as the display shows
// it (--screenshot FILE).
class QuitAfterPaint : public QObject {
 public:
  QuitAfterPaint(QWidget* window, QString screenshot) : m_window(window), m_screenshot(std::move(screenshot)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !m_done) {
      m_done = true;
      QTimer::singleShot(m_screenshot.isEmpty() ? 0 : 300, qApp, [this] {
        int status = 0;
        if (!m_screenshot.isEmpty()) {
          const QPixmap shot = m_window->screen()->grabWindow(m_window->winId());
          status = shot.isNull() || !shot.save(m_screenshot) ? 1 : 0;
        }
        QCoreApplication::exit(status);
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QWidget* m_window;
  QString m_screenshot;
  bool m_done = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillane"));
  QApplication::setApplicationVersion(QStringLiteral("2.1.0"));
  quillane::setUpEditorApplication();

  quillane::QtPlatform platform;
  quillane::MainWindow editor(platform, QCoreApplication::applicationDirPath());
  platform.setOwner(&editor);

  auto* title = new quillane::TitleWindow(editor.twipsPerPixelX(), editor.twipsPerPixelY());
  editor.show();
  title->centreOnScreen();
  title->show();
  title->raise();

  const QStringList args = QCoreApplication::arguments();
  const qsizetype shotAt = args.indexOf(QStringLiteral("--screenshot"));
  QuitAfterPaint quitter(&editor, shotAt > 0 && shotAt + 1 < args.size() ? args[shotAt + 1] : QString());
  if (args.contains(QStringLiteral("--quit-after-show")) || shotAt > 0) editor.installEventFilter(&quitter);
  return QApplication::exec();
}
