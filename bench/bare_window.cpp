// The yardstick for the editor's start-up: a Qt Widgets program that shows
// one empty window and ends once it has been painted. With --japanese-label
// the window shows one line of Japanese text in the editor's font, which
// tells what text rendering alone costs.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace {
class QuitAfterPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Timing ends at the paint: the process leaves at once, as the editor's
    // --quit-after-show does, without taking the window down.
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, [] { std::_Exit(0); });
    return QObject::eventFilter(watched, event);
  }
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  // The editor's window as it opens under the offscreen platform with its
  // font (the tab strips' captions decide its width).
  window.resize(856, 741);
  if (QCoreApplication::arguments().contains(QStringLiteral("--japanese-label"))) {
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP"), 9));
    (new QLabel(QStringLiteral("スタイルシート作成ツール"), &window))->move(10, 10);
  }
  QuitAfterPaint quitter;
  window.installEventFilter(&quitter);
  window.show();
  return QApplication::exec();
}
