// The editor's answer to input while it makes web fonts: the editor measures
// the embedded font of a slot ("大きさを調べる"), and meanwhile a key is
// posted to a text box of the form every 20 ms, as a user's typing comes;
// the time runs from the post until the box has changed.
//   font_task_latency [FONT [SETS]]     (QT_QPA_PLATFORM=offscreen or a display)
// FONT defaults to Debian's Noto Sans CJK JP collection, SETS to
// "ascii,kana,jis1". Prints the task's time and the median, 90th percentile
// and worst of the answers.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "editor/application_setup.h"
#include "editor/font_task.h"
#include "editor/main_window.h"
#include "editor/qt_platform.h"

using namespace quillane;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  setUpEditorApplication();
  const std::string font = argc > 1 ? argv[1] : "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
  QtPlatform platform;
  MainWindow window(platform, QDir::tempPath());
  window.show();
  StyleDocument& doc = window.document();
  doc.slots[0].enabled = 1;
  doc.fonts.slots[0] = {font, "Noto Sans CJK JP Regular", "Noto Sans CJK JP"};
  doc.fonts.sets = argc > 2 ? argv[2] : "ascii,kana,jis1";
  window.refreshFromDocument();
  auto* box = window.controls().get<QLineEdit>("Text4", 0);
  FontTask* task = window.fontTask();

  std::vector<double> answers;
  QElapsedTimer posted;
  QObject::connect(box, &QLineEdit::textChanged, [&] {
    if (posted.isValid()) answers.push_back(static_cast<double>(posted.nsecsElapsed()) / 1e6);
    posted.invalidate();
  });
  QTimer typing;
  typing.setInterval(20);
  QObject::connect(&typing, &QTimer::timeout, [&] {
    if (posted.isValid()) return;  // the last key has not been answered yet
    if (box->text().size() > 50) box->clear();
    posted.start();
    QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1")));
  });
  QElapsedTimer run;
  QObject::connect(task, &FontTask::runningChanged, [&](bool running) {
    if (running) return;
    typing.stop();
    std::sort(answers.begin(), answers.end());
    const auto at = [&](double q) {
      return answers.empty() ? 0 : answers[static_cast<std::size_t>(q * (answers.size() - 1))];
    };
    std::printf("task %.2f s; %zu keys answered: median %.2f ms, 90th %.2f ms, worst %.2f ms\n",
                static_cast<double>(run.elapsed()) / 1e3, answers.size(), at(0.5), at(0.9), at(1.0));
    std::fflush(stdout);
    // exit, not quit: quit would close the window, which asks about the edits.
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
  });
  QTimer::singleShot(200, [&] {
    box->setFocus();
    run.start();
    window.measureWebFonts();
    typing.start();
  });
  return app.exec();
}
