// Edit-to-view latency of the live view: the editor opens the view (F6's
// command), then a value is changed as a user's edit changes it, and the
// time runs until the engine reports the new computed style of the page.
//   liveview_latency [RUNS] [--dark]   (on a display: xvfb-run, QT_QPA_PLATFORM=xcb)
// Prints the time to the first page, then the median, 90th percentile and
// worst of RUNS style edits (applied in place; to the computed style, and to
// the frame that shows it drawn, asked two animation frames after the
// answer, and timed in the page) and of RUNS edits that change the page's
// body (loaded again). With --dark the document writes the modern output
// with its dark variant on (BODY light grey on near black), and the view,
// where it has the button, shows the dark scheme; the paragraph has no dark
// colour of its own, so its dark colour is the one typed.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "editor/application_setup.h"
#include "editor/live_view_window.h"
#include "editor/main_window.h"
#include "editor/qt_platform.h"
#include "platform/application_folder.h"

using namespace quillane;

namespace {

// The value of `script` in the page; nothing when the engine does not answer.
// The wait runs the event loop freely: the engine's browser side works on
// this thread, and a wait that sleeps between looks (QTest::qWaitFor) would
// slow it down.
std::optional<QString> evaluate(LiveViewEngine& engine, const QString& script) {
  QEventLoop loop;
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  auto result = std::make_shared<std::optional<QString>>();
  const QPointer<QEventLoop> waiting(&loop);
  engine.evaluate(script, [result, waiting](const QVariant& value) {
    *result = value.toString();
    if (!waiting.isNull()) waiting->quit();
  });
  if (!result->has_value()) loop.exec();
  return *result;
}

// Milliseconds from now until `script` gives `expected`, asking again as soon
// as each answer comes; -1 after 10 s.
double msUntil(LiveViewEngine& engine, const QString& script, const QString& expected, const QElapsedTimer& since) {
  while (since.elapsed() < 10000) {
    const std::optional<QString> value = evaluate(engine, script);
    if (value == expected) return static_cast<double>(since.nsecsElapsed()) / 1e6;
  }
  return -1;
}

void report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  const auto at = [&](double q) { return ms[static_cast<std::size_t>(q * static_cast<double>(ms.size() - 1))]; };
  std::printf("%-28s median %6.1f ms  p90 %6.1f ms  worst %6.1f ms  (%zu runs)\n", what, at(0.5), at(0.9), ms.back(),
              ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  const bool dark = args.contains(QStringLiteral("--dark"));
  const QStringList numbers = args.mid(1).filter(QRegularExpression(QStringLiteral("^[0-9]+$")));
  const int runs = numbers.isEmpty() ? 40 : std::max(2, numbers.front().toInt());
  setUpEditorApplication();
  QtPlatform platform;
  MainWindow editor(platform, QString::fromStdString(findApplicationFolder(programFolder())));
  platform.setOwner(&editor);
  editor.show();
  editor.controls().get<QCheckBox>("Check7", kSlotP)->setChecked(true);
  auto* colour = editor.controls().get<QLineEdit>("Text3", foreColourIndex(kSlotP));
  colour->setText(QStringLiteral("010203"));
  if (dark) {
    editor.controls().get<QCheckBox>("Check28")->setChecked(true);
    editor.controls().get<QCheckBox>("Check7", kSlotBody)->setChecked(true);
    editor.controls().get<QLineEdit>("Text3", foreColourIndex(kSlotBody))->setText(QStringLiteral("333333"));
    editor.controls().get<QLineEdit>("Text3", backColourIndex(kSlotBody))->setText(QStringLiteral("FFFFFF"));
    StyleDocument& doc = editor.document();
    doc.dark.enabled = 1;
    doc.dark.colours[static_cast<std::size_t>(foreColourIndex(kSlotBody))] = "EEEEEE";
    doc.dark.colours[static_cast<std::size_t>(backColourIndex(kSlotBody))] = "121212";
  }
  const QString pColour = QStringLiteral("getComputedStyle(document.querySelector('p')).color");

  QElapsedTimer clock;
  clock.start();
  editor.LiveView_Click();
  LiveViewEngine* engine = editor.liveViewWindow()->engine();
  if (engine == nullptr) {
    std::fprintf(stderr, "no engine: %s\n", qPrintable(editor.liveViewWindow()->engineProblem()));
    return 1;
  }
  const double first = msUntil(*engine, pColour, QStringLiteral("rgb(1, 2, 3)"), clock);
  if (first < 0) return 1;
  std::printf("%-28s %6.1f ms\n", "first page (engine start)", first);
  if (dark) {
    auto* scheme = editor.liveViewWindow()->findChild<QPushButton*>(QStringLiteral("LiveSchemeDark"));
    if (scheme != nullptr) scheme->click();
    const QString bodyBackground = QStringLiteral("getComputedStyle(document.body).backgroundColor");
    QElapsedTimer since;
    since.start();
    const bool shown = msUntil(*engine, bodyBackground, QStringLiteral("rgb(18, 18, 18)"), since) >= 0;
    std::printf("dark variant on; the view shows the %s scheme\n", shown ? "dark" : "light (no button for dark)");
  }

  // Two animation frames after the style is computed, the frame that shows
  // it has been drawn.
  const QString afterNextFrame = QStringLiteral(
      "window.quillanePainted = false;"
      "requestAnimationFrame(() => requestAnimationFrame(() => { window.quillanePainted = true; })); 0");
  const QString painted = QStringLiteral("String(window.quillanePainted)");
  // The frame that paints the edit, timed in the page itself, so that no
  // question from here adds its round trip: from the edit, every animation
  // frame looks at the paragraph's colour; the first that sees the new one
  // is the frame that paints it, and a message it posts runs once that
  // frame has left the page's thread. Both sides read the system clock.
  const auto watchFor = [](int v) {
    return QStringLiteral(
               "window.quillaneFrame = 0;"
               "(function look() { requestAnimationFrame(() => {"
               "  if (getComputedStyle(document.querySelector('p')).color !== 'rgb(%1, %1, %1)') return look();"
               "  const channel = new MessageChannel();"
               "  channel.port1.onmessage = () => { window.quillaneFrame = performance.timeOrigin + performance.now(); "
               "};"
               "  channel.port2.postMessage(0);"
               "}); })(); 0")
        .arg(v);
  };
  const auto epochMs = [] {
    return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
  };
  std::vector<double> style, shown, framed, body;
  for (int run = 0; run < runs; ++run) {
    const int v = (run * 37 + 11) % 256;
    const QString text = QStringLiteral("%1%1%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
    if (!evaluate(*engine, watchFor(v))) return 1;
    const double editedAt = epochMs();
    clock.restart();
    colour->setText(text);
    const double ms = msUntil(*engine, pColour, QStringLiteral("rgb(%1, %1, %1)").arg(v), clock);
    if (ms < 0 || !evaluate(*engine, afterNextFrame)) return 1;
    const double drawn = msUntil(*engine, painted, QStringLiteral("true"), clock);
    if (drawn < 0) return 1;
    const std::optional<QString> frame = evaluate(*engine, QStringLiteral("String(window.quillaneFrame)"));
    if (!frame || frame->toDouble() <= 0) return 1;
    style.push_back(ms);
    shown.push_back(drawn);
    framed.push_back(frame->toDouble() - editedAt);
    QTest::qWait(20);  // as between a user's keystrokes
  }
  auto* classBox = editor.controls().get<QCheckBox>("Check12", 0);
  for (int run = 0; run < runs; ++run) {
    const bool on = run % 2 == 0;
    clock.restart();
    classBox->setChecked(on);
    const double ms = msUntil(*engine, QStringLiteral("String(document.querySelectorAll('img').length)"),
                              on ? QStringLiteral("1") : QStringLiteral("0"), clock);
    if (ms < 0) return 1;
    body.push_back(ms);
    QTest::qWait(20);
  }
  report("style edit (in place)", style);
  report("style edit, frame drawn", shown);
  report("style edit, frame (in page)", framed);
  report("body edit (page loaded)", body);
  return 0;
}
