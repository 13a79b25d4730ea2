// The live view in its engine, on a real display: a settings file opened as
// `quillane FILE` opens it, F6, then what the engine computes for the page,
// read back with getComputedStyle, before and after an edit. The engine's
// libraries are mapped into the process only once the view is opened.
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <memory>

#include "editor/advice_marks.h"
#include "editor/application_setup.h"
#include "editor/live_view_window.h"
#include "editor/main_window.h"
#include "editor_controls.h"
#include "fake_platform.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

using namespace quillane;

namespace {

constexpr int kEngineStart = 30000;  // ms: the first page starts the engine's processes
constexpr int kFollow = 5000;

// Whether a library whose file name starts with `prefix` is mapped into this process.
bool mapped(const QByteArray& prefix) {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : maps.readAll().split('\n'))
    if (line.contains("/" + prefix)) return true;
  return false;
}

// The document the test opens: P red, the four link states in four
// colours, BODY on a grey page, one class with a filter.
StyleDocument testDocument() {
  StyleDocument doc;
  const std::pair<int, const char*> kColours[] = {{kSlotP, "FF0000"},       {kSlotA, "0000AA"},
                                                  {kSlotVisited, "00AA00"}, {kSlotActive, "AA00AA"},
                                                  {kSlotHover, "AAAA00"},   {kSlotBody, "333333"}};
  for (const auto& [slot, colour] : kColours) {
    doc.slots[static_cast<std::size_t>(slot)].enabled = 1;
    doc.colours[static_cast<std::size_t>(foreColourIndex(slot))] = colour;
  }
  doc.colours[static_cast<std::size_t>(backColourIndex(kSlotBody))] = "DDDDDD";
  doc.classes[0].className = "強調";
  doc.classes[0].enabled = 1;
  doc.classes[0].glowOn = 1;
  return doc;
}

}  // namespace

class LiveViewEngineTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  QTemporaryDir m_folder;
  std::unique_ptr<MainWindow> m_editor;
  bool m_sandboxSetBefore = false;

  LiveViewEngine* engine() const { return m_editor->liveViewWindow()->engine(); }

  // The value of `script` in the page, waiting for the engine. The wait runs
  // the event loop freely: the engine's browser side works on this thread.
  QVariant evaluate(const QString& script, int timeout = kFollow) {
    if (engine() == nullptr) return QStringLiteral("(no engine)");
    QEventLoop loop;
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    auto result = std::make_shared<std::optional<QVariant>>();
    const QPointer<QEventLoop> waiting(&loop);
    engine()->evaluate(script, [result, waiting](const QVariant& value) {
      *result = value;
      if (!waiting.isNull()) waiting->quit();
    });
    if (!result->has_value()) loop.exec();
    return result->has_value() ? **result : QStringLiteral("(no answer)");
  }
  // Waits until `script` gives `expected`; returns the last value.
  QString waitFor(const QString& script, const QString& expected, int timeout = kFollow) {
    QElapsedTimer clock;
    clock.start();
    QString last = evaluate(script, timeout).toString();
    while (last != expected && clock.elapsed() < timeout) {
      QTest::qWait(5);
      last = evaluate(script, timeout).toString();
    }
    return last;
  }
  static QString colourOf(const QString& selector, const QString& property = QStringLiteral("color")) {
    return QStringLiteral("getComputedStyle(document.querySelector('%1')).%2").arg(selector, property);
  }
  // With QUILLANE_ARTIFACTS set, a picture of the view as the display shows it.
  void keepPicture(const QString& name) {
    const QString folder = qEnvironmentVariable("QUILLANE_ARTIFACTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    QWidget* view = m_editor->liveViewWindow();
    QTest::qWait(300);  // the engine paints after it has computed the style
    QVERIFY(view->screen()->grabWindow(view->winId()).save(QDir(folder).filePath(name)));
  }
  template <typename T>
  T* control(std::string_view family, int index = kNoIndex) const {
    return m_editor->controls().get<T>(family, index);
  }

 private Q_SLOTS:
  void initTestCase() {
#ifndef QUILLANE_LIVEVIEW_PLUGIN
    QSKIP("Qt WebEngine is not installed (Debian: qt6-webengine-dev): the live view's plug-in was not built");
#endif
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
      QSKIP("needs a real X display (xvfb-run with QT_QPA_PLATFORM=xcb)");
    m_sandboxSetBefore = qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
    setUpEditorApplication();
    QSettings().remove(
        QStringLiteral("liveView"));  // the desktop's size and the light scheme, whatever a run before chose
    QVERIFY(m_folder.isValid());
    testing::layOutApplicationFolder(m_folder.path());
    QVERIFY(QFile::copy(QStringLiteral(QUILLANE_INSTALL_FOLDER "/preview/pal.png"),
                        m_folder.filePath(QStringLiteral("preview/pal.png"))));

    std::string bytes;
    UnencodableCharacter bad;
    QVERIFY(encodeCp932(settingsFileText(testDocument(), Layout::Settings), bytes, bad));
    QFile file(m_folder.filePath(QStringLiteral("test.qlf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();

    // As main() starts the editor for `quillane FILE`.
    m_editor = std::make_unique<MainWindow>(m_platform, m_folder.path());
    m_editor->openFile(file.fileName().toStdString());
    m_editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
  }
  void cleanupTestCase() { m_editor.reset(); }

  void theEditorAloneDoesNotMapTheEngine() {
    QVERIFY(mapped("libQt6Widgets"));  // the check sees what is mapped
    QVERIFY(!mapped("libQt6WebEngine"));
    QVERIFY(!mapped("libquillane-liveview"));
  }

  void f6OpensTheViewBesideTheEditorShowingTheDocument() {
    control<QTabWidget>("SSTab1")->setCurrentIndex(0);
    control<QTabWidget>("SSTab2")->setCurrentIndex(kSlotP);
    m_editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    QWidget* typingIn = QApplication::focusWidget();
    QTest::keyClick(m_editor.get(), Qt::Key_F6);
    LiveViewWindow* view = m_editor->liveViewWindow();
    QVERIFY(view->isVisible());
    // The keyboard stays in the editor, so typing goes on.
    QTest::qWait(100);
    QVERIFY(m_editor->isActiveWindow());
    QCOMPARE(QApplication::focusWidget(), typingIn);
    QVERIFY2(engine() != nullptr, qPrintable(view->engineProblem()));
    QVERIFY(mapped("libQt6WebEngineCore"));
    QVERIFY(view->frameGeometry().left() >= m_editor->frameGeometry().left() + 1);
    // Chromium's sandbox is turned off for root only.
    if (!m_sandboxSetBefore) QCOMPARE(qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"), ::geteuid() == 0);

    QCOMPARE(waitFor(colourOf(QStringLiteral("p")), QStringLiteral("rgb(255, 0, 0)"), kEngineStart),
             QStringLiteral("rgb(255, 0, 0)"));
    QCOMPARE(evaluate(colourOf(QStringLiteral("body"), QStringLiteral("backgroundColor"))).toString(),
             QStringLiteral("rgb(221, 221, 221)"));
    // The four states at once.
    QCOMPARE(evaluate(colourOf(QStringLiteral("a.q-link"))).toString(), QStringLiteral("rgb(0, 0, 170)"));
    QCOMPARE(evaluate(colourOf(QStringLiteral("a.q-visited"))).toString(), QStringLiteral("rgb(0, 170, 0)"));
    QCOMPARE(evaluate(colourOf(QStringLiteral("a.q-active"))).toString(), QStringLiteral("rgb(170, 0, 170)"));
    QCOMPARE(evaluate(colourOf(QStringLiteral("a.q-hover"))).toString(), QStringLiteral("rgb(170, 170, 0)"));
    // The class's two samples, its picture found beside the preview page.
    QCOMPARE(evaluate(QStringLiteral("document.querySelectorAll('p.強調, img.強調').length")).toInt(), 2);
    QCOMPARE(
        waitFor(QStringLiteral("String(document.querySelector('img.強調').naturalWidth > 0)"), QStringLiteral("true")),
        QStringLiteral("true"));
    // The legacy output, as a page without a doctype; its filter is named under the view.
    QCOMPARE(evaluate(QStringLiteral("document.compatMode")).toString(), QStringLiteral("BackCompat"));
    QVERIFY2(view->noticeText().contains(QStringLiteral("クラス「強調」の「光る」")), qPrintable(view->noticeText()));
    QVERIFY(evaluate(QStringLiteral("document.documentElement.scrollHeight > window.innerHeight")).toBool());
    keepPicture(QStringLiteral("live-view-legacy.png"));
  }

  void anEditChangesTheStyleInPlace() {
    evaluate(QStringLiteral("window.quillaneMark = 'kept'; window.scrollTo(0, 120); window.scrollY"));
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("0000FF"));
    QCOMPARE(waitFor(colourOf(QStringLiteral("p")), QStringLiteral("rgb(0, 0, 255)")),
             QStringLiteral("rgb(0, 0, 255)"));
    // Not loaded again: the page's own state and its place stay.
    QCOMPARE(evaluate(QStringLiteral("window.quillaneMark")).toString(), QStringLiteral("kept"));
    QCOMPARE(evaluate(QStringLiteral("window.scrollY")).toInt(), 120);
  }

  void aNewClassLoadsThePageAgainAtTheSamePlace() {
    control<QCheckBox>("Check12", 1)->setChecked(true);
    QCOMPARE(waitFor(QStringLiteral("String(document.querySelectorAll('img').length)"), QStringLiteral("2")),
             QStringLiteral("2"));
    QVERIFY(evaluate(QStringLiteral("window.quillaneMark")).toString() != QStringLiteral("kept"));
    QCOMPARE(evaluate(QStringLiteral("window.scrollY")).toInt(), 120);
    QCOMPARE(evaluate(colourOf(QStringLiteral("p"))).toString(), QStringLiteral("rgb(0, 0, 255)"));
  }

  void editsWhileThePageLoadsEndInTheLastState() {
    const auto edit = [](auto change) {
      change();
      QCoreApplication::processEvents();  // the view takes each change in its own turn
    };
    edit([&] { control<QCheckBox>("Check12", 2)->setChecked(true); });
    edit([&] { control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("00FF00")); });
    edit([&] { control<QCheckBox>("Check12", 3)->setChecked(true); });
    edit([&] { control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("00FFFF")); });
    QCOMPARE(waitFor(QStringLiteral("String(document.querySelectorAll('img').length)"), QStringLiteral("4")),
             QStringLiteral("4"));
    QCOMPARE(waitFor(colourOf(QStringLiteral("p")), QStringLiteral("rgb(0, 255, 255)")),
             QStringLiteral("rgb(0, 255, 255)"));
    QCOMPARE(evaluate(QStringLiteral("window.scrollY")).toInt(), 120);
  }

  void theModernChoiceShowsTheModernOutput() {
    control<QCheckBox>("Check28")->setChecked(true);
    QCOMPARE(waitFor(QStringLiteral("document.compatMode"), QStringLiteral("CSS1Compat")),
             QStringLiteral("CSS1Compat"));
    // The glow is a text shadow there.
    QVERIFY(evaluate(colourOf(QStringLiteral("p.強調"), QStringLiteral("textShadow"))).toString() !=
            QStringLiteral("none"));
    QVERIFY(m_editor->liveViewWindow()->noticeText().isEmpty());
    QCOMPARE(evaluate(colourOf(QStringLiteral("a.q-hover"))).toString(), QStringLiteral("rgb(170, 170, 0)"));
    keepPicture(QStringLiteral("live-view-modern.png"));
    // The output tab with the filters a page edited by hand needs.
    control<QCheckBox>("Check26", 0)->setChecked(true);
    m_editor->liveViewWindow()->findChild<QTabWidget*>(QStringLiteral("LiveTabs"))->setCurrentIndex(1);
    QTRY_VERIFY(
        m_editor->liveViewWindow()->findChild<QPlainTextEdit*>(QStringLiteral("LiveFilterBlock"))->isVisible() ||
        qEnvironmentVariable("QUILLANE_ARTIFACTS").isEmpty());
    keepPicture(QStringLiteral("live-view-output.png"));
    m_editor->liveViewWindow()->findChild<QTabWidget*>(QStringLiteral("LiveTabs"))->setCurrentIndex(0);
  }

  void adviceIsListedBesideTheIgnoredSettingsAndMarksTheBoxes() {
    control<QCheckBox>("Check28")->setChecked(false);
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("FF0000"));
    m_editor->liveViewWindow()->refresh();
    QVERIFY(!m_editor->liveViewWindow()->noticeText().isEmpty());
    // Red on BODY's grey: 2.94:1, worked out from the formula of WCAG 2.2.
    const QString first = m_editor->liveViewWindow()->adviceText().section(QLatin1Char('\n'), 0, 0);
    QCOMPARE(first, QStringLiteral("「基本」タブの「段落（<P>～</P>）」の「フォントカラー」: 文字 #FF0000 と背景 "
                                   "#DDDDDD（「ページ本体」から） のコントラスト比は 2.94:1 で、基準の 4.5:1 に足りず、"
                                   "読みにくい人がいます。「フォントカラー」を #C70000（4.51:1）のように暗くしてくだ"
                                   "さい。"));
    QVERIFY(m_editor->liveViewWindow()->findChild<QWidget*>(QStringLiteral("LiveAdvice"))->isVisible());
    keepPicture(QStringLiteral("live-view-advice.png"));

    // The mark beside P's text colour, its advice shown as a tooltip.
    control<QTabWidget>("SSTab1")->setCurrentIndex(0);
    control<QTabWidget>("SSTab2")->setCurrentIndex(kSlotP);
    m_editor->activateWindow();
    const QLabel* mark = m_editor->adviceMarks()->mark(foreColourIndex(kSlotP));
    QVERIFY(mark != nullptr && mark->isVisible());
    const QPoint over = mark->mapToGlobal(mark->rect().center());
    QCursor::setPos(over);
    QTest::qWait(100);
    QToolTip::showText(over, mark->toolTip(), const_cast<QLabel*>(mark));
    QTRY_VERIFY(QToolTip::isVisible());
    const QString folder = qEnvironmentVariable("QUILLANE_ARTIFACTS");
    if (!folder.isEmpty()) {
      QTest::qWait(300);
      QVERIFY(QToolTip::isVisible());
      QVERIFY(m_editor->screen()->grabWindow(0).save(QDir(folder).filePath(QStringLiteral("editor-advice-mark.png"))));
    }
    QToolTip::hideText();
  }

  // The screen buttons lay the page out at the screen's width in CSS pixels,
  // not zoomed; the scheme buttons give the dark variant's colours in place;
  // a colour edit replaces only the style element of its rule.
  void thePageIsShownAtEachScreenAndSchemeAndAnEditReplacesOneStyle() {
    LiveViewWindow* view = m_editor->liveViewWindow();
    const auto click = [&](const char* name) { view->findChild<QPushButton*>(QString::fromLatin1(name))->click(); };
    control<QCheckBox>("Check28")->setChecked(true);
    m_editor->document().dark.enabled = 1;
    m_editor->document().dark.colours[static_cast<std::size_t>(foreColourIndex(kSlotP))] = "FFFF00";
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("FF0000"));
    const QString p = colourOf(QStringLiteral("p"));
    const QString scheme = QStringLiteral("getComputedStyle(document.documentElement).colorScheme");
    QCOMPARE(waitFor(p, QStringLiteral("rgb(255, 0, 0)")), QStringLiteral("rgb(255, 0, 0)"));
    QCOMPARE(evaluate(scheme).toString(), QStringLiteral("light"));
    evaluate(QStringLiteral("window.quillaneMark = 'kept'"));
    click("LiveSchemeDark");
    QCOMPARE(waitFor(p, QStringLiteral("rgb(255, 255, 0)")), QStringLiteral("rgb(255, 255, 0)"));
    QCOMPARE(evaluate(scheme).toString(), QStringLiteral("dark"));
    click("LiveSchemeLight");
    QCOMPARE(waitFor(p, QStringLiteral("rgb(255, 0, 0)")), QStringLiteral("rgb(255, 0, 0)"));
    QCOMPARE(evaluate(QStringLiteral("window.quillaneMark")).toString(), QStringLiteral("kept"));

    const QString size = QStringLiteral("window.innerWidth + ' x ' + window.innerHeight");
    click("LiveSizePhone");
    QCOMPARE(waitFor(size, QStringLiteral("360 x 740")), QStringLiteral("360 x 740"));
    click("LiveSchemeDark");
    QCOMPARE(waitFor(p, QStringLiteral("rgb(255, 255, 0)")), QStringLiteral("rgb(255, 255, 0)"));
    keepPicture(QStringLiteral("live-view-phone-dark.png"));
    click("LiveSchemeLight");
    click("LiveSizeTablet");
    QCOMPARE(waitFor(size, QStringLiteral("768 x 1024")), QStringLiteral("768 x 1024"));
    click("LiveSizeDesktop");
    // As large as the window gives it, without scroll bars around it.
    const QScrollArea* area = view->findChild<QScrollArea*>(QStringLiteral("LiveViewArea"));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(size).toString(),
                              QStringLiteral("%1 x %2").arg(area->width()).arg(area->height()), kFollow);
    QCOMPARE(evaluate(QStringLiteral("window.devicePixelRatio")).toDouble(), 1.0);

    const QString styles = QStringLiteral("Array.from(document.head.getElementsByTagName('style'))");
    evaluate(styles + QStringLiteral(".forEach(e => { e.quillaneBefore = e.textContent; }); 0"));
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("00FF00"));
    QCOMPARE(waitFor(p, QStringLiteral("rgb(0, 255, 0)")), QStringLiteral("rgb(0, 255, 0)"));
    QCOMPARE(evaluate(styles +
                      QStringLiteral(".filter(e => e.textContent !== e.quillaneBefore).length + ' of ' + "
                                     "(") +
                      styles + QStringLiteral(".length > 3)"))
                 .toString(),
             QStringLiteral("1 of true"));
    QCOMPARE(evaluate(QStringLiteral("window.quillaneMark")).toString(), QStringLiteral("kept"));
  }

  // 3.2 MB of UTF-8, which a data: address (setHtml) cannot carry.
  void aPageOverTwoMegabytesIsShown() {
    const QString text = QStringLiteral("日本語の段落。").repeated(150'000);
    engine()->showPage(
        QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"UTF-8\"></head><body><p id=\"big\">") + text +
            QStringLiteral("</p><img src=\"preview/pal.png\"></body></html>"),
        {}, QUrl::fromLocalFile(m_folder.path() + QStringLiteral("/")));
    QCOMPARE(waitFor(QStringLiteral("String(document.getElementById('big') && "
                                    "document.getElementById('big').textContent.length)"),
                     QStringLiteral("1050000"), kEngineStart),
             QStringLiteral("1050000"));
    QCOMPARE(waitFor(QStringLiteral("String(document.images[0].naturalWidth)"), QStringLiteral("350")),
             QStringLiteral("350"));
    QVERIFY(!m_editor->liveViewWindow()->noticeText().contains(QStringLiteral("表示できませんでした")));
  }
};

QTEST_MAIN(LiveViewEngineTest)
#include "live_view_engine_test.moc"
