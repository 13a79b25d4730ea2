// Quillane: the title window opens the editor, which is ready before the
// title picture is shown over it.
//   quillane [FILE]     FILE: a settings file (.qlf) or a sample (.smp) to open
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

#include "document/product.h"
#include "editor/application_setup.h"
#include "editor/main_window.h"
#include "editor/qt_platform.h"
#include "editor/title_window.h"
#include "platform/application_folder.h"

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The options of the command line. The hidden ones serve the tests and the
// benchmarks: they end the program once the editor is painted, or print the
// sample menu's entries instead of showing the window.
struct Options {
  QCommandLineOption quitAfterShow{QStringLiteral("quit-after-show")};
  QCommandLineOption screenshot{QStringLiteral("screenshot"), QString(), QStringLiteral("FILE")};
  QCommandLineOption listSamples{QStringLiteral("list-samples")};

  explicit Options(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Quillane: makes style sheets (CSS) without hand-writing them."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A settings file (.qlf) to open, or a sample (.smp) to load."),
                                 QStringLiteral("[FILE]"));
    for (QCommandLineOption* hidden : {&quitAfterShow, &screenshot, &listSamples}) {
      hidden->setFlags(QCommandLineOption::HiddenFromHelp);
      parser.addOption(*hidden);
    }
  }
};

// --help and --version answer without a display, before the window system
// is started.
bool asksForHelpOrVersion(int argc, char** argv) {
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
    for (const char* option : {"-h", "--help", "--help-all", "-?", "-v", "--version"})
      if (std::strcmp(argv[i], option) == 0) return true;
  return false;
}

void nameApplication() {
  // The user's settings (the recent files) live under these names.
  QCoreApplication::setOrganizationName(qs(quillane::kProductName));
  QCoreApplication::setApplicationName(qs(quillane::kProductName));
  QCoreApplication::setApplicationVersion(qs(quillane::kProductVersion));
}

// Runs `then` once, in the event loop's next turn after `window` is first painted.
class OnFirstPaint : public QObject {
 public:
  OnFirstPaint(QWidget* window, std::function<void()> then) : m_then(std::move(then)) {
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && m_then) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, qApp, std::exchange(m_then, nullptr));
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> m_then;
};

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
        // Timing ends at the paint: the process leaves without taking the
        // windows down, as the yardstick does.
        if (m_screenshot.isEmpty()) std::_Exit(0);
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
  if (asksForHelpOrVersion(argc, argv)) {
    QCoreApplication app(argc, argv);
    nameApplication();
    QCommandLineParser parser;
    Options options(parser);
    parser.process(app);  // prints and ends the program
    return 0;
  }

  QApplication app(argc, argv);
  nameApplication();
  // Lets the desktop match the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quillane.Quillane"));
  QCommandLineParser parser;
  const Options options(parser);
  parser.process(app);
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::fprintf(stderr, "quillane: one FILE at most\n\n%s", qPrintable(parser.helpText()));
    return 1;
  }
  quillane::setUpEditorApplication();

  quillane::QtPlatform platform;
  quillane::MainWindow editor(platform, qs(quillane::findApplicationFolder(quillane::programFolder())));
  platform.setOwner(&editor);
  if (parser.isSet(options.listSamples)) {
    for (const quillane::SampleEntry& sample : editor.samples())
      std::printf("%s\t%s\n", sample.path.c_str(), sample.caption.c_str());
    return 0;
  }
  // Before the first paint, so that the window opens showing the file.
  if (!files.isEmpty()) editor.openFile(QFile::encodeName(files.first()).toStdString());

  editor.show();
  // The title picture goes over the editor once the editor has been drawn,
  // so that the editor is on the screen as soon as it can be.
  OnFirstPaint titleAfterEditor(&editor, [&editor] {
    auto* title = new quillane::TitleWindow(editor.twipsPerPixelX(), editor.twipsPerPixelY(), &editor);
    title->showCentred();
  });

  QuitAfterPaint quitter(&editor, parser.value(options.screenshot));
  if (parser.isSet(options.quitAfterShow) || parser.isSet(options.screenshot)) editor.installEventFilter(&quitter);
  return QApplication::exec();
}
