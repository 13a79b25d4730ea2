// The live view's window without its engine: the text "出力する" would
// write, following the editor; the copy button; the messages when the
// plug-in or Qt WebEngine is missing; and the editor's change signal the
// window follows.
#include <QAction>
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
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "editor/advice_marks.h"
#include "editor/application_setup.h"
#include "editor/live_view_window.h"
#include "editor/main_window.h"
#include "editor/output_highlighter.h"
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

}  // namespace

class LiveViewTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  QTemporaryDir m_folder;
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
  void initTestCase() { setUpEditorApplication(); }
  void init() {
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

  void theWindowOpensToTheRightOfTheEditor() {
    open();
    m_editor->move(0, 0);
    m_view->placeBeside(m_editor.get());
    const QRect room = m_editor->screen()->availableGeometry();
    const QRect editor = m_editor->frameGeometry();
    const QRect view = m_view->frameGeometry();
    // To the right when there is room, else against the screen's right edge.
    QCOMPARE(view.left(), qMin(editor.right() + 1, room.right() + 1 - view.width()));
    QVERIFY(view.right() <= room.right());
    QCOMPARE(m_view->y(), qMax(room.top(), editor.top()));
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
    QTextDocument text;
    OutputHighlighter highlighter(&text);
    text.setPlainText(
        QStringLiteral("<HTML>\nA:HOVER, A.q-hover {\n  color : #FF0000;\n  font-family : \"x\";\n/* a */"));
    highlighter.rehighlight();  // as the text edit's first paint would
    const auto colourAt = [&](int line, int column) {
      for (const QTextLayout::FormatRange& range : text.findBlockByNumber(line).layout()->formats())
        if (column >= range.start && column < range.start + range.length) return range.format.foreground().color();
      return QColor();
    };
    QCOMPARE(colourAt(0, 1), OutputHighlighter::colourOf(OutputHighlighter::Kind::Tag));
    QCOMPARE(colourAt(1, 0), OutputHighlighter::colourOf(OutputHighlighter::Kind::Selector));
    QCOMPARE(colourAt(1, 12), OutputHighlighter::colourOf(OutputHighlighter::Kind::Selector));
    QCOMPARE(colourAt(2, 3), OutputHighlighter::colourOf(OutputHighlighter::Kind::Property));
    QCOMPARE(colourAt(2, 12), QColor());
    QCOMPARE(colourAt(3, 17), OutputHighlighter::colourOf(OutputHighlighter::Kind::String));
    QCOMPARE(colourAt(4, 3), OutputHighlighter::colourOf(OutputHighlighter::Kind::Comment));
  }
};

QTEST_MAIN(LiveViewTest)
#include "live_view_test.moc"
