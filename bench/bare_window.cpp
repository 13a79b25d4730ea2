// The yardstick for the editor's start-up: a Qt Widgets program that shows
// one empty window and ends once it has been painted.
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {
class QuitAfterPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return QObject::eventFilter(watched, event);
  }
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(613, 745);
  QuitAfterPaint quitter;
  window.installEventFilter(&quitter);
  window.show();
  return QApplication::exec();
}
