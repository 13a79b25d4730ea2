// The live view's window without its engine: the text "出力する" would
// write, following the editor; the copy button; the messages when the
// plug-in or Qt WebEngine is missing; the editor's change signal the window
// follows; where the window opens; and the colours the editor draws, in
// light and dark themes.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "editor/advice_marks.h"
#include "editor/application_setup.h"
#include "editor/colour_swatch.h"
#include "editor/live_view_window.h"
#include "editor/main_window.h"
#include "editor/output_highlighter.h"
#include "editor/readable_colours.h"
#include "editor_controls.h"
#include "fake_platform.h"
#include "generation/modern_filters.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

using namespace quillane;

namespace {

QString fileText(const QString& path, bool cp932) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("(cannot read %1)").arg(path);
  const QByteArray bytes = file.readAll();
  if (!cp932) return QString::fromUtf8(bytes);
  std::string utf8;
  std::size_t bad = 0;
  if (!decodeCp932(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), utf8, bad))
    return QStringLiteral("(not CP932)");
  return QString::fromStdString(utf8);
}

// The output as the view colours it: the colour of the text at a line and
// column, or none.
QColor colourAt(const QPlainTextEdit& view, int line, int column) {
  for (const QTextLayout::FormatRange& range : view.document()->findBlockByNumber(line).layout()->formats())
    if (column >= range.start && column < range.start + range.length) return range.format.foreground().color();
  return {};
}
// Output to colour, and where it holds a tag, a selector (twice), a
// property, a string and a comment.
constexpr char kSampleOutput[] = "<HTML>\nA:HOVER, A.q-hover {\n  color : #FF0000;\n  font-family : \"x\";\n/* a */";
constexpr std::pair<int, int> kSampleAt[] = {{0, 1}, {1, 0}, {1, 12}, {2, 3}, {3, 17}, {4, 3}};

}  // namespace

class LiveViewTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  QTemporaryDir m_folder;
  QTemporaryDir m_settings;  // the application's settings, where the view keeps its choices
  std::unique_ptr<MainWindow> m_editor;
  LiveViewWindow* m_view = nullptr;

  // The editor, and the view over its document as the editor makes it, but
  // with the plug-in looked for in `pluginFolders` only.
  void open(const QStringList& pluginFolders = {QStringLiteral("/nonexistent")}) {
    m_editor = std::make_unique<MainWindow>(m_platform, m_folder.path());
    m_editor->show();
    m_view = new LiveViewWindow(m_editor->document(), m_folder.filePath(QStringLiteral("preview/")), pluginFolders,
                                m_editor.get());
    connect(m_editor.get(), &MainWindow::documentChanged, m_view, &LiveViewWindow::followDocument);
    m_view->show();
  }
  template <class T = QWidget>
  T* control(std::string_view family, int index = kNoIndex) const {
    return testing::requireControl<T>(*m_editor, family, index);
  }
  QString shownText() const {
    return m_view->findChild<QPlainTextEdit*>(QStringLiteral("LiveOutputText"))->toPlainText();
  }

 private Q_SLOTS:
  void initTestCase() {
    setUpEditorApplication();
    QCoreApplication::setOrganizationName(QStringLiteral("Quillane"));
    QVERIFY(m_settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
  }
  void init() {
    QSettings().clear();
    m_platform = {};
    QVERIFY(m_folder.isValid());
    testing::layOutApplicationFolder(m_folder.path());
  }
  void cleanup() {
    m_editor.reset();
    m_view = nullptr;
  }

  void theOutputTabHoldsWhatMakeWritesInEachFormat() {
    open();
    const QString target = m_folder.filePath(QStringLiteral("out"));
    QDir().mkpath(target);
    control<QLineEdit>("Text9")->setText(target);
    control<QLineEdit>("Text7")->setText(target);
    control<QCheckBox>("Check7", kSlotP)->setChecked(true);
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("FF0000"));
    control<QLineEdit>("Text11")->setText(QStringLiteral("表題"));
    struct Case {
      const char* format;
      bool modern;
      QString file;
    };
    for (const Case& c :
         {Case{"Option5", false, QStringLiteral("style.html")}, Case{"Option6", false, QStringLiteral("style.css")},
          Case{"Option5", true, QStringLiteral("style.html")}, Case{"Option6", true, QStringLiteral("style.css")}}) {
      control<QRadioButton>(c.format)->setChecked(true);
      control<QCheckBox>("Check28")->setChecked(c.modern);
      m_view->refresh();
      m_editor->Command6_Click();
      const QString path = QDir(target).filePath(c.file);
      QCOMPARE(m_view->outputText(), fileText(path, !c.modern));
      QVERIFY2(m_view->outputTarget().contains(path), qPrintable(m_view->outputTarget()));
      QVERIFY(m_view->outputText().contains(QStringLiteral("FF0000")));
      // Shown with its line ends as lines.
      QCOMPARE(shownText(), QString(m_view->outputText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
  }

  void theOutputTabFollowsEveryChangeAndShowsARefusal() {
    open();
    control<QCheckBox>("Check7", kSlotP)->setChecked(true);
    QTest::keyClicks(control<QLineEdit>("Text3", foreColourIndex(kSlotP)), QStringLiteral("00FF00"));
    QTRY_VERIFY(m_view->outputText().contains(QStringLiteral("color : #00FF00;")));
    control<QSlider>("Slider1", 0)->setValue(70);
    control<QCheckBox>("Check13", 0)->setChecked(true);
    control<QCheckBox>("Check12", 0)->setChecked(true);
    QTRY_VERIFY(m_view->outputText().contains(QStringLiteral("Alpha(opacity=70)")));

    auto* copy = m_view->findChild<QPushButton*>(QStringLiteral("LiveCopy"));
    QVERIFY(copy->isEnabled());
    control<QCheckBox>("Check25", 0)->setChecked(true);
    control<QLineEdit>("Text22", 0)->setText(QStringLiteral("left"));  // not a number: nothing is written
    QTRY_VERIFY(m_view->outputText().isEmpty());
    QVERIFY2(m_view->outputTarget().contains(QStringLiteral("何も保存しません")), qPrintable(m_view->outputTarget()));
    QVERIFY(m_view->outputTarget().contains(QStringLiteral("「影を落とす」の「方向」")));
    QVERIFY(!copy->isEnabled());
    QVERIFY(m_view->noticeText().contains(QStringLiteral("ページを作れません")));
  }

  void aHiddenWindowCatchesUpWhenShown() {
    open();
    m_view->hide();
    control<QCheckBox>("Check7", kSlotP)->setChecked(true);
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("123456"));
    QTest::qWait(0);
    QVERIFY(!m_view->outputText().contains(QStringLiteral("123456")));
    m_view->show();
    QVERIFY(m_view->outputText().contains(QStringLiteral("123456")));
  }

  void theCopyButtonCopiesTheExactText() {
    open();
    control<QCheckBox>("Check7", kSlotBody)->setChecked(true);
    m_view->refresh();
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(m_view->findChild<QPushButton*>(QStringLiteral("LiveCopy")), Qt::LeftButton);
    QVERIFY(m_view->outputText().contains(QStringLiteral("\r\nBODY {\r\n")));
    QCOMPARE(QGuiApplication::clipboard()->text(), m_view->outputText());
    auto* copied = m_view->findChild<QLabel*>(QStringLiteral("LiveCopied"));
    QVERIFY(!copied->isHidden());
    QCOMPARE(copied->text(), QStringLiteral("コピーしました"));
    QTRY_VERIFY_WITH_TIMEOUT(copied->isHidden(), 5000);  // for a moment only
  }

  // Each row: the style elements a page holds, those it is to hold, and the
  // one run that changes.
  void aStyleSpliceIsTheOneRunThatDiffers() {
    const QString a = QStringLiteral("a"), b = QStringLiteral("b"), c = QStringLiteral("c"), x = QStringLiteral("x");
    const struct {
      QStringList before, after;
      qsizetype first, removed;
      QStringList inserted;
    } kRows[] = {
        {{a, b, c}, {a, x, c}, 1, 1, {x}},
        {{a, b}, {a, b, c}, 2, 0, {c}},
        {{a, b, c}, {a, c}, 1, 1, {}},
        {{a, b, c}, {a, b, c}, 3, 0, {}},
        {{}, {a}, 0, 0, {a}},
        {{a}, {}, 0, 1, {}},
        // The shared start and end never overlap.
        {{a, a}, {a}, 1, 1, {}},
        {{a, b, a}, {a, a}, 1, 1, {}},
        {{x, b, c}, {a, b, x}, 0, 3, {a, b, x}},
    };
    for (const auto& row : kRows) {
      const StyleSplice splice = styleSplice(row.before, row.after);
      const QString says =
          row.before.join(QLatin1Char(',')) + QStringLiteral(" -> ") + row.after.join(QLatin1Char(','));
      QVERIFY2(splice.first == row.first && splice.removed == row.removed && splice.inserted == row.inserted,
               qPrintable(says));
      QCOMPARE(splice.empty(), row.before == row.after);
    }
  }

  // The buttons above the view: named and captioned from their tables, each
  // with an access key of its own, one of each kind checked; the choice
  // outlives the window, and a setting the view does not know is ignored.
  void theScreenAndSchemeButtonsAreNamedAndTheirChoiceRemembered() {
    open();
    QSet<QString> keys{QStringLiteral("Alt+C")};  // the copy button's
    const auto check = [&](const auto& table, int chosen) {
      for (std::size_t k = 0; k < std::size(table); ++k) {
        auto* button = m_view->findChild<QPushButton*>(QString::fromLatin1(table[k].objectName));
        QVERIFY2(button != nullptr, table[k].objectName);
        QCOMPARE(button->text(), QString::fromUtf8(table[k].caption));
        QCOMPARE(button->accessibleName(), QString::fromUtf8(table[k].spoken));
        QCOMPARE(button->isChecked(), static_cast<int>(k) == chosen);
        const QString key = QKeySequence::mnemonic(button->text()).toString();
        QVERIFY2(!key.isEmpty() && !keys.contains(key), table[k].caption);
        keys << key;
      }
    };
    check(kLiveViewScreens, 2);
    check(kLiveViewSchemes, 0);
    QCOMPARE(keys.size(), 6);
    m_view->findChild<QPushButton*>(QStringLiteral("LiveSizePhone"))->click();
    m_view->findChild<QPushButton*>(QStringLiteral("LiveSchemeDark"))->click();
    QCOMPARE(QSettings().value(QStringLiteral("liveView/screen")).toString(), QStringLiteral("phone"));
    QCOMPARE(QSettings().value(QStringLiteral("liveView/scheme")).toString(), QStringLiteral("dark"));

    cleanup();
    open();
    QCOMPARE(m_view->screenShown(), 0);
    QCOMPARE(m_view->schemeShown(), 1);
    QVERIFY(m_view->findChild<QPushButton*>(QStringLiteral("LiveSizePhone"))->isChecked());
    QVERIFY(m_view->findChild<QPushButton*>(QStringLiteral("LiveSchemeDark"))->isChecked());
    // Without the engine there is nothing to show them on.
    QVERIFY(m_view->findChild<QWidget*>(QStringLiteral("LiveChoices"))->isHidden());

    cleanup();
    QSettings().setValue(QStringLiteral("liveView/screen"), QStringLiteral("watch"));
    QSettings().setValue(QStringLiteral("liveView/scheme"), 1);
    open();
    QCOMPARE(m_view->screenShown(), 2);
    QCOMPARE(m_view->schemeShown(), 0);
  }

  void withoutThePluginTheViewSaysSoAndTheRestWorks() {
    open();
    QVERIFY(m_view->engine() == nullptr);
    const QString message = m_view->findChild<QLabel*>(QStringLiteral("LiveEngineMessage"))->text();
    QVERIFY2(message.contains(QStringLiteral("見つからない")), qPrintable(message));
    QVERIFY(message.contains(QString::fromLatin1(kLiveViewPluginFile)));
    QVERIFY(message.contains(QStringLiteral("/nonexistent")));
    QVERIFY(message.contains(QStringLiteral("ほかの機能はそのまま使えます")));
    QCOMPARE(m_view->engineProblem(), message);
    QVERIFY(!m_view->outputText().isEmpty());
  }

  void aPluginThatCannotBeLoadedNamesQtWebEngine() {
    // What a system without Qt WebEngine gives: the file is there, but its
    // libraries are not.
    const QString plugins = m_folder.filePath(QStringLiteral("plugins"));
    QDir().mkpath(plugins);
    QFile broken(QDir(plugins).filePath(QString::fromLatin1(kLiveViewPluginFile)));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a library");
    broken.close();
    open({m_folder.filePath(QStringLiteral("none")), plugins});
    QVERIFY(m_view->engine() == nullptr);
    QVERIFY2(m_view->engineProblem().contains(QStringLiteral("Qt WebEngine")), qPrintable(m_view->engineProblem()));
    QVERIFY(m_view->engineProblem().contains(QStringLiteral("libqt6webenginewidgets6")));
    QVERIFY(m_view->engineProblem().contains(broken.fileName()));
  }

  void thePluginIsLookedForBesideTheProgramThenInLib() {
    QCOMPARE(liveViewPluginFolders(QStringLiteral("/opt/q/bin")),
             (QStringList{QStringLiteral("/opt/q/bin/plugins"), QStringLiteral("/opt/q/lib/quillane/plugins")}));
    QCOMPARE(
        liveViewPluginFolders(QStringLiteral("/src/build/bin/")),
        (QStringList{QStringLiteral("/src/build/bin/plugins"), QStringLiteral("/src/build/lib/quillane/plugins")}));
  }

  void adviceIsListedAndMarksTheColourBoxesConcerned() {
    open();
    control<QCheckBox>("Check7", kSlotP)->setChecked(true);
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("808080"));
    m_view->refresh();
    // 3.949:1, worked out from the formula of WCAG 2.2.
    const QString advice = QStringLiteral(
        "「基本」タブの「段落（<P>～</P>）」の「フォントカラー」: 文字 #808080 と背景 #FFFFFF（指定なし） "
        "のコントラスト比は "
        "3.95:1 で、基準の 4.5:1 に足りず、読みにくい人がいます。「フォントカラー」を "
        "#767676（4.54:1）のように暗くしてください。");
    auto* list = m_view->findChild<QWidget*>(QStringLiteral("LiveAdvice"));
    QCOMPARE(m_view->adviceText(), advice);
    QVERIFY(list->isVisible());
    const QLabel* mark = m_editor->adviceMarks()->mark(foreColourIndex(kSlotP));
    QVERIFY(mark != nullptr);
    QCOMPARE(mark->toolTip(), QStringLiteral("<p>%1</p>").arg(advice.toHtmlEscaped()));
    QCOMPARE(mark->accessibleDescription(), advice);
    const QRect swatch = control("Shape1", foreColourIndex(kSlotP))->geometry();
    QCOMPARE(mark->parentWidget(), control("Shape1", foreColourIndex(kSlotP))->parentWidget());
    QCOMPARE(mark->geometry().left(), swatch.right() + 5);
    QCOMPARE(mark->geometry().center().y(), swatch.center().y());
    QVERIFY(mark->isVisible());
    QVERIFY(m_editor->adviceMarks()->mark(backColourIndex(kSlotP)) == nullptr);  // empty: not concerned

    // BODY's background is concerned too once P stands on it; a dark one
    // makes the advice a different one.
    control<QCheckBox>("Check7", kSlotBody)->setChecked(true);
    control<QLineEdit>("Text3", backColourIndex(kSlotBody))->setText(QStringLiteral("999999"));
    m_view->refresh();
    QVERIFY(m_editor->adviceMarks()->mark(backColourIndex(kSlotBody)) != nullptr);
    QVERIFY(m_view->adviceText().contains(QStringLiteral("背景 #999999（「ページ本体」から）")));

    // Mended, the list and the marks go.
    control<QLineEdit>("Text3", backColourIndex(kSlotBody))->clear();
    control<QLineEdit>("Text3", foreColourIndex(kSlotP))->setText(QStringLiteral("767676"));
    m_view->refresh();
    QCOMPARE(m_view->adviceText(), QString());
    QVERIFY(!list->isVisible());
    QVERIFY(m_editor->adviceMarks()->mark(foreColourIndex(kSlotP)) == nullptr);
    QVERIFY(m_editor->adviceMarks()->mark(backColourIndex(kSlotBody)) == nullptr);
  }

  void theIgnoredSettingsLineFollowsTheOutputChoice() {
    open();
    control<QCheckBox>("Check12", 0)->setChecked(true);
    control<QCheckBox>("Check20", 0)->setChecked(true);
    m_view->refresh();
    auto* notice = m_view->findChild<QLabel*>(QStringLiteral("LiveNotice"));
    QVERIFY2(notice->isVisible() && notice->text().contains(QStringLiteral("クラス「efect0」の「光る」")),
             qPrintable(notice->text()));
    QVERIFY(notice->text().contains(QStringLiteral("今のブラウザ向けに書き出す")));
    control<QCheckBox>("Check28")->setChecked(true);
    QTRY_VERIFY(!notice->isVisible());
    // The modern output: what an engine leaves out, by its name.
    control<QCheckBox>("Check6", 14)->setChecked(true);
    m_view->refresh();
    QCOMPARE(notice->text(),
             QStringLiteral("Firefox では「スクロールバー」タブの色は「メインの色」と「バックの色」の 2 "
                            "色だけを表示します。"));
  }

  void theOutputTabShowsTheFiltersAPageEditedByHandNeeds() {
    open();
    control<QLineEdit>("Text9")->setText(m_folder.path());
    control<QLineEdit>("Text7")->setText(m_folder.path());
    control<QRadioButton>("Option6")->setChecked(true);
    control<QCheckBox>("Check28")->setChecked(true);
    control<QCheckBox>("Check12", 0)->setChecked(true);
    m_view->refresh();
    auto* block = m_view->findChild<QPlainTextEdit*>(QStringLiteral("LiveFilterBlock"));
    QVERIFY(block->isHidden());  // (its tab is not the current one: isHidden, not isVisible)
    control<QCheckBox>("Check26", 0)->setChecked(true);
    m_view->refresh();
    QVERIFY(!block->isHidden());
    QVERIFY(!m_view->findChild<QLabel*>(QStringLiteral("LiveFilterAdvice"))->isHidden());
    QCOMPARE(block->toPlainText() + QStringLiteral("\n"),
             QString::fromStdString(modernFilterBlock(m_editor->document()))
                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }

  // Beside the editor and inside the screen's free area, clear of the
  // editor wherever there is room for that, at screen sizes from a laptop's
  // to two screens side by side; then the window itself on this screen
  // (ctest runs this case on a 1920 by 1080 screen too).
  void theViewOpensBesideTheEditorInsideTheScreen() {
    struct Case {
      const char* what;
      QRect room, editor;
      QSize frame;
      QRect placed;
    };
    const Case cases[] = {
        {"1920, editor at the left: narrower on the right",
         {0, 0, 1920, 1040},
         {0, 0, 1300, 900},
         {10, 37},
         {1300, 0, 620, 900}},
        {"2560: full width on the right", {0, 0, 2560, 1400}, {0, 0, 1300, 900}, {10, 37}, {1300, 0, 650, 900}},
        {"room on both sides: the right", {0, 0, 3840, 2100}, {1500, 0, 1300, 900}, {10, 37}, {2800, 0, 650, 900}},
        {"1920, editor at the right edge: on the left",
         {0, 0, 1920, 1040},
         {620, 0, 1300, 900},
         {0, 0},
         {0, 0, 620, 900}},
        {"room on the left only", {0, 0, 1280, 1024}, {700, 100, 500, 600}, {0, 0}, {60, 100, 640, 600}},
        {"the second of two screens", {1920, 0, 1920, 1050}, {2020, 20, 1300, 900}, {0, 0}, {3320, 20, 520, 900}},
        {"an editor taller than the screen", {0, 0, 1920, 1040}, {0, 0, 1300, 1200}, {0, 0}, {1300, 0, 620, 1040}},
        {"no room beside: below", {0, 0, 1366, 1400}, {0, 0, 1300, 700}, {0, 0}, {0, 700, 640, 700}},
        // No room anywhere: the least size, covering the least of the editor.
        {"1920, editor centred", {0, 0, 1920, 1040}, {310, 70, 1300, 900}, {10, 37}, {1510, 70, 410, 900}},
        {"a laptop under a panel", {0, 30, 1366, 738}, {0, 30, 1300, 700}, {0, 0}, {0, 468, 640, 300}},
    };
    for (const Case& c : cases) {
      const QRect placed = liveViewPlacement(c.editor, c.room, c.frame);
      QVERIFY2(placed == c.placed, c.what);
    }

    open();
    const QRect room = m_editor->screen()->availableGeometry();
    // Three quarters of the free width left of the editor, too little for
    // the view on its right.
    m_editor->move(room.left() + qMax(0, (room.width() - m_editor->frameGeometry().width()) * 3 / 4), room.top());
    m_view->placeBeside(m_editor.get());
    const QRect editor = m_editor->frameGeometry();
    const QSize frame = editor.size() - m_editor->size();
    const QRect view = m_view->frameGeometry();
    QCOMPARE(view, liveViewPlacement(editor, room, frame));
    QVERIFY(room.contains(view));
    if (room.width() >= editor.width() + 400 + frame.width()) QVERIFY(!view.intersects(editor));
  }

  void theMenuOpensItWithF6AndTheEditorClosesIt() {
    open();
    auto* entry = m_editor->findChild<QAction*>(QStringLiteral("LiveView"));
    QVERIFY(entry != nullptr);
    QCOMPARE(entry->text(), QStringLiteral("ライブビュー(&L)"));
    QCOMPARE(entry->shortcut(), QKeySequence(Qt::Key_F6));
    QVERIFY(m_view->isVisible());
    m_editor->close();
    QVERIFY(!m_view->isVisible());
  }

  // The change signal the view follows: one per change, whatever the widgets
  // do to carry it out.
  void theEditorSaysOnceForEachChange() {
    open();
    QSignalSpy changed(m_editor.get(), &MainWindow::documentChanged);
    control<QCheckBox>("Check7", kSlotP)->setChecked(true);
    QCOMPARE(changed.size(), 1);
    QTest::keyClicks(control<QLineEdit>("Text3", foreColourIndex(kSlotP)), QStringLiteral("AB"));
    QCOMPARE(changed.size(), 3);
    control<QSlider>("Slider1", 2)->setValue(30);  // also rewrites the opacity box
    QCOMPARE(changed.size(), 4);
    control<QRadioButton>("Option6")->setChecked(true);  // and clears its partner
    QCOMPARE(changed.size(), 5);
    m_platform.promptReplies.push_back("renamed");
    m_editor->renameCurrentClass();
    QCOMPARE(changed.size(), 6);

    StyleDocument loaded;
    loaded.colours[0] = "ABCDEF";
    loaded.slots[kSlotP].enabled = 1;
    std::string bytes;
    UnencodableCharacter bad;
    QVERIFY(encodeCp932(settingsFileText(loaded, Layout::Settings), bytes, bad));
    const QString path = m_folder.filePath(QStringLiteral("a.qlf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    m_platform.answers.push_back(MessageAnswer::Discard);  // to the question about the unsaved edits
    m_editor->openFile(path.toStdString());
    QCOMPARE(changed.size(), 7);
    QTRY_VERIFY(m_view->outputText().contains(QStringLiteral("#ABCDEF")));
  }

  void theOutputIsColoured() {
    QPlainTextEdit view(QString::fromUtf8(kSampleOutput));
    (new OutputHighlighter(&view))->rehighlight();  // as the view's first paint would
    using Kind = OutputHighlighter::Kind;
    const Kind kinds[] = {Kind::Tag, Kind::Selector, Kind::Selector, Kind::Property, Kind::String, Kind::Comment};
    for (std::size_t k = 0; k < std::size(kinds); ++k) {
      const auto [line, column] = kSampleAt[k];
      QCOMPARE(colourAt(view, line, column), OutputHighlighter::colourOf(kinds[k], view.palette()));
    }
    QCOMPARE(colourAt(view, 2, 12), QColor());
  }

  // Every colour the editor draws itself reads (4.5:1) on its background in
  // a light theme and in dark ones, and follows the theme as it changes:
  // the output's colours, a marked box, a swatch's border.
  void theColoursTheEditorDrawsReadInLightAndDarkThemes() {
    open();
    QPlainTextEdit output(QString::fromUtf8(kSampleOutput));
    (new OutputHighlighter(&output))->rehighlight();  // as the view's first paint would
    control<QCheckBox>("Check12", 0)->setChecked(true);
    auto* box = control<QLineEdit>("Text2", 0);
    box->setText(QStringLiteral("9.5"));  // more than the slider holds: marked
    auto* swatch = control<ColourSwatch>("Shape1", 0);

    std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette light = fusion->standardPalette();
    // Fusion's dark palette as applications set it, and one like a dark
    // desktop theme's, with a lighter base.
    const auto darkPalette = [&](QRgb window, QRgb base, QRgb text) {
      QPalette dark = light;
      for (const auto role : {QPalette::Window, QPalette::Button}) dark.setColor(role, QColor(window));
      for (const auto role : {QPalette::Base, QPalette::AlternateBase}) dark.setColor(role, QColor(base));
      for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(text));
      return dark;
    };
    const std::pair<const char*, QPalette> themes[] = {{"dark", darkPalette(0x353535, 0x2A2A2A, 0xFFFFFF)},
                                                       {"dark, light base", darkPalette(0x31363B, 0x3C4247, 0xEFF0F1)},
                                                       {"light", light}};
    const QPalette before = QApplication::palette();
    for (const auto& [name, theme] : themes) {
      QApplication::setPalette(theme);
      QCoreApplication::processEvents();  // the change reaches the widgets in posted events
      const QColor base = output.palette().color(QPalette::Base);
      QCOMPARE(base, theme.color(QPalette::Base));
      for (const auto& [line, column] : kSampleAt)
        QVERIFY2(contrastOf(colourAt(output, line, column), base) >= 4.5, name);
      const QPalette marked = box->palette();
      QVERIFY2(marked.color(QPalette::Base) != base, name);
      QVERIFY2(contrastOf(marked.color(QPalette::Text), marked.color(QPalette::Base)) >= 4.5, name);
      const QImage drawn = swatch->grab().toImage();
      QVERIFY2(contrastOf(drawn.pixelColor(0, 0), theme.color(QPalette::Window)) >= 4.5, name);
    }
    QApplication::setPalette(before);
  }
};

QTEST_MAIN(LiveViewTest)
#include "live_view_test.moc"
