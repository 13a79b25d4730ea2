// The editor's open file under the offscreen platform: the title and its
// mark for unsaved changes, the three-way question before ending, opening
// or loading a sample, the recent-files menu, and a file named at start.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "editor/application_setup.h"
#include "editor/main_window.h"
#include "fake_platform.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

using namespace quillane;

namespace {

std::string cp932Of(const std::string& text) {
  std::string bytes;
  UnencodableCharacter bad;
  encodeCp932(text, bytes, bad);
  return bytes;
}

void writeFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// A document told apart from the defaults by the text colour of P.
StyleDocument coloured(const std::string& colour) {
  StyleDocument doc;
  doc.slots[kSlotP].enabled = 1;
  doc.colours[0] = colour;
  return doc;
}

QStringList captionsOf(const QMenu* menu) {
  QStringList captions;
  for (const QAction* a : menu->actions())
    if (a->isVisible()) captions << a->text();
  return captions;
}

}  // namespace

class FilesTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  QTemporaryDir m_folder;
  QTemporaryDir m_settingsFolder;
  std::unique_ptr<MainWindow> m_window;

  QString path(const QString& name) const { return m_folder.filePath(name); }
  std::string spath(const QString& name) const { return path(name).toStdString(); }
  void writeSettings(const QString& name, const StyleDocument& doc) {
    writeFile(path(name), cp932Of(settingsFileText(doc, Layout::Settings)));
  }
  QString title() const { return m_window->windowTitle(); }
  QString colourShown() const { return m_window->controls().get<QLineEdit>("Text3", 0)->text(); }
  // An edit as the user makes it: tick a box.
  void edit() { m_window->controls().get<QCheckBox>("Check7", kSlotHover)->click(); }
  // Opens `name` through the file menu.
  void openThroughTheMenu(const QString& name) {
    m_platform.fileChoices = {spath(name)};
    m_window->MenuOpenFile_Click();
  }
  const testing::ShownMessage& lastMessage() const { return m_platform.messages.back(); }

 private Q_SLOTS:
  void initTestCase() {
    setUpEditorApplication();
    QVERIFY(m_folder.isValid() && m_settingsFolder.isValid());
    // The user's settings of this test stay in a folder of its own.
    QCoreApplication::setOrganizationName(QStringLiteral("Quillane"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillane"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsFolder.path());
  }
  void init() {
    m_platform = {};
    QSettings().clear();
    QDir(m_folder.path()).mkpath(QStringLiteral("sample"));
    m_window = std::make_unique<MainWindow>(m_platform, m_folder.path());
    m_window->show();
  }
  void cleanup() {
    m_window.reset();
    QDir(m_folder.path()).removeRecursively();
    QDir().mkpath(m_folder.path());
  }

  void theTitleNamesTheOpenFileAndMarksUnsavedChanges() {
    QCOMPARE(title(), QStringLiteral("Quillane"));
    edit();
    QCOMPARE(title(), QStringLiteral("無題 * - Quillane"));
    m_window->undoStack()->undo();
    QCOMPARE(title(), QStringLiteral("Quillane"));

    edit();
    m_platform.fileChoices = {spath("mine")};
    m_window->MenuSaveFile_Click();
    QCOMPARE(title(), QStringLiteral("mine.qlf - Quillane"));
    QCOMPARE(m_window->openFilePath(), spath("mine.qlf"));
    // The output tab's fields are not in the settings file: no mark.
    m_window->controls().get<QLineEdit>("Text9")->setText(QStringLiteral("/srv/web"));
    m_window->controls().get<QLineEdit>("Text11")->setText(QStringLiteral("見本"));
    QCOMPARE(title(), QStringLiteral("mine.qlf - Quillane"));
    m_window->undoStack()->undo();
    m_window->undoStack()->undo();
    edit();
    QCOMPARE(title(), QStringLiteral("mine.qlf * - Quillane"));
    m_window->undoStack()->undo();  // back to what was saved
    QCOMPARE(title(), QStringLiteral("mine.qlf - Quillane"));
    m_window->undoStack()->undo();
    QCOMPARE(title(), QStringLiteral("mine.qlf * - Quillane"));

    // A failed save keeps the mark.
    m_platform.failWritesWith = 28;
    m_platform.fileChoices = {spath("full.qlf")};
    m_window->MenuSaveFile_Click();
    QCOMPARE(title(), QStringLiteral("mine.qlf * - Quillane"));
    m_platform.failWritesWith.reset();

    // Another file opened becomes the open file; a sample leaves none.
    writeSettings(QStringLiteral("other.qlf"), coloured("00FF00"));
    m_platform.answers = {MessageAnswer::Discard};
    openThroughTheMenu(QStringLiteral("other.qlf"));
    QCOMPARE(title(), QStringLiteral("other.qlf - Quillane"));
    writeFile(path("sample/s.smp"), cp932Of(settingsFileText(coloured("0000FF"), Layout::Sample, "me", "青")));
    m_window->SampleLoad();
    m_window->MenuTuika_Click(0);
    QCOMPARE(title(), QStringLiteral("Quillane"));
    QCOMPARE(m_window->openFilePath(), std::string());
  }

  // Menu "終了", Ctrl+Q and the close box.
  void endingWithUnsavedChangesAsksFirst() {
    m_window->MenuEnd_Click();  // nothing unsaved: no question
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_platform.messages.empty());
    m_window->show();

    edit();
    const StyleDocument edited = m_window->document();
    m_platform.answers = {MessageAnswer::Cancel};
    m_window->MenuEnd_Click();
    QVERIFY(m_window->isVisible());
    QCOMPARE(lastMessage().buttons, MessageButtons::SaveDiscardCancel);
    QCOMPARE(lastMessage().text, std::string("無題の設定への変更を保存しますか？"));
    QVERIFY(m_window->document() == edited);
    QCOMPARE(title(), QStringLiteral("無題 * - Quillane"));

    m_platform.answers = {MessageAnswer::Cancel};
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_platform.messages.size(), std::size_t(2));
    m_platform.answers = {MessageAnswer::Cancel};
    QVERIFY(!m_window->close());  // the close box
    QVERIFY(m_window->isVisible());

    m_platform.answers = {MessageAnswer::Discard};
    QVERIFY(m_window->close());
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_platform.messages.size(), std::size_t(4));
  }

  // "保存" saves where the open file is, asks for a name when there is
  // none, and goes on only when the file was written.
  void saveInTheQuestionGoesOnOnlyOnceSaved() {
    edit();
    m_platform.answers = {MessageAnswer::Save};
    m_platform.fileChoices = {std::nullopt};  // the name is not given
    QVERIFY(!m_window->close());
    QCOMPARE(m_platform.dialogs.back().mode, FileDialogMode::Save);

    m_platform.answers = {MessageAnswer::Save};
    m_platform.fileChoices = {spath("kept.qlf")};
    QVERIFY(m_window->close());
    QVERIFY(QFile::exists(path("kept.qlf")));
    QCOMPARE(title(), QStringLiteral("kept.qlf - Quillane"));

    m_window->show();
    edit();
    m_platform.failWritesWith = 13;
    m_platform.answers = {MessageAnswer::Save};
    const std::size_t dialogs = m_platform.dialogs.size();
    QVERIFY(!m_window->close());
    QCOMPARE(m_platform.dialogs.size(), dialogs);  // no dialog: the open file
    QCOMPARE(title(), QStringLiteral("kept.qlf * - Quillane"));
    m_platform.failWritesWith.reset();
    m_platform.answers = {MessageAnswer::Save};
    QVERIFY(m_window->close());
    QCOMPARE(m_platform.writes.back(), spath("kept.qlf"));
    QVERIFY(m_window->undoStack()->isClean());
  }

  // "上書き保存" (Ctrl+S) writes the open file without a question, or asks
  // for a name when none is open; "名前を付けて保存…" (Ctrl+Shift+S) always
  // asks. Saving and opening leave the pages in view where they were.
  void ctrlSSavesTheOpenFileAndCtrlShiftSAsksForAName() {
    QCOMPARE(m_window->findChild<QAction*>(QStringLiteral("MenuOverwriteFile"))->text(),
             QStringLiteral("上書き保存(&S)"));
    QCOMPARE(m_window->findChild<QAction*>(QStringLiteral("MenuSaveFile"))->text(),
             QStringLiteral("名前を付けて保存(&A)…"));
    auto* tabs = m_window->controls().get<QTabWidget>("SSTab1");
    auto* classes = m_window->controls().get<QTabWidget>("SSTab4");
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const auto press = [&](Qt::KeyboardModifiers modifiers) { QTest::keyClick(m_window.get(), Qt::Key_S, modifiers); };

    edit();
    m_platform.fileChoices = {spath("mine.qlf")};
    press(Qt::ControlModifier);  // nothing open: a name is asked for
    QCOMPARE(m_platform.dialogs.size(), std::size_t(1));
    QCOMPARE(title(), QStringLiteral("mine.qlf - Quillane"));

    tabs->setCurrentIndex(2);
    classes->setCurrentIndex(2);
    edit();
    press(Qt::ControlModifier);
    QCOMPARE(m_platform.dialogs.size(), std::size_t(1));
    QCOMPARE(m_platform.writes.back(), spath("mine.qlf"));
    QCOMPARE(title(), QStringLiteral("mine.qlf - Quillane"));
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(classes->currentIndex(), 2);

    m_platform.fileChoices = {spath("copy.qlf")};
    press(Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_platform.dialogs.size(), std::size_t(2));
    QCOMPARE(m_platform.dialogs.back().mode, FileDialogMode::Save);
    QCOMPARE(title(), QStringLiteral("copy.qlf - Quillane"));
    QCOMPARE(classes->currentIndex(), 2);

    StyleDocument other = coloured("00FF00");
    other.classes[1].className = "見出し";
    writeSettings(QStringLiteral("other.qlf"), other);
    openThroughTheMenu(QStringLiteral("other.qlf"));
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(classes->currentIndex(), 2);
    // The class boxes name the loaded classes, and again the earlier ones after undo.
    QCOMPARE(m_window->controls().get<QCheckBox>("Check12", 1)->text(), QStringLiteral("見出し"));
    m_window->undoStack()->undo();
    QCOMPARE(m_window->controls().get<QCheckBox>("Check12", 1)->text(), QStringLiteral("efect1"));
  }

  void openingOrLoadingASampleAsksFirstAndIsOneStep() {
    writeSettings(QStringLiteral("red.qlf"), coloured("FF0000"));
    writeFile(path("sample/s.smp"), cp932Of(settingsFileText(coloured("0000FF"), Layout::Sample, "me", "青")));
    m_window->SampleLoad();
    edit();
    const StyleDocument edited = m_window->document();

    m_platform.answers = {MessageAnswer::Cancel, MessageAnswer::Cancel};
    openThroughTheMenu(QStringLiteral("red.qlf"));
    m_window->sampleMenu()->actions().first()->trigger();
    QVERIFY(m_window->document() == edited);
    QVERIFY(m_platform.dialogs.empty());  // cancelled before the dialog
    QCOMPARE(m_platform.messages.size(), std::size_t(2));

    m_platform.answers = {MessageAnswer::Discard};
    openThroughTheMenu(QStringLiteral("red.qlf"));
    QCOMPARE(colourShown(), QStringLiteral("FF0000"));
    QCOMPARE(title(), QStringLiteral("red.qlf - Quillane"));
    // The open is one step; undo shows the edited document again, in no
    // file as before, and redo the file.
    m_window->undoStack()->undo();
    StyleDocument shown = m_window->document();
    shown.currentClassTab = edited.currentClassTab;  // the page in view is the user's
    QVERIFY(shown == edited);
    QCOMPARE(colourShown(), QString());
    QCOMPARE(title(), QStringLiteral("無題 * - Quillane"));
    m_window->undoStack()->redo();
    QCOMPARE(title(), QStringLiteral("red.qlf - Quillane"));

    // Nothing unsaved: the sample loads without a question. Undo brings
    // back the open file, so that Ctrl+S writes there again.
    const std::size_t asked = m_platform.messages.size();
    m_window->sampleMenu()->actions().first()->trigger();
    QCOMPARE(colourShown(), QStringLiteral("0000FF"));
    QCOMPARE(m_platform.messages.size(), asked);
    m_window->undoStack()->undo();
    QCOMPARE(colourShown(), QStringLiteral("FF0000"));
    QCOMPARE(title(), QStringLiteral("red.qlf - Quillane"));
    m_window->undoStack()->redo();
    QCOMPARE(title(), QStringLiteral("Quillane"));
    m_window->undoStack()->undo();

    // A file saved since a step is told against what it holds now.
    edit();
    m_window->MenuOverwriteFile_Click();
    QCOMPARE(m_platform.writes, std::vector<std::string>{spath("red.qlf")});
    m_window->undoStack()->undo();
    QCOMPARE(title(), QStringLiteral("red.qlf * - Quillane"));
    m_window->undoStack()->undo();
    QCOMPARE(title(), QStringLiteral("無題 * - Quillane"));
    m_window->undoStack()->redo();
    QCOMPARE(title(), QStringLiteral("red.qlf * - Quillane"));
  }

  // A version-1 file is laid over the document: an edit, with nothing set
  // aside to ask about, and the open file stays.
  void aVersion1FileIsAnEditOfTheOpenFile() {
    writeSettings(QStringLiteral("mine.qlf"), StyleDocument{});
    openThroughTheMenu(QStringLiteral("mine.qlf"));
    edit();
    const QStringList lines =
        QString::fromStdString(settingsFileText(coloured("123456"), Layout::Settings)).split(QStringLiteral("\r\n"));
    const QStringList version1 = lines.mid(0, 32) + lines.mid(44, 12) + lines.mid(57, 55);
    writeFile(path("old.txt"), cp932Of((version1.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toStdString()));
    m_platform.fileChoices = {spath("old.txt")};
    const std::size_t asked = m_platform.messages.size();
    m_window->MenuOpenFileQL_Click();
    QCOMPARE(m_platform.messages.size(), asked);
    QCOMPARE(colourShown(), QStringLiteral("123456"));
    QCOMPARE(title(), QStringLiteral("mine.qlf * - Quillane"));
    QCOMPARE(m_window->recentFiles().paths(), std::vector<std::string>{spath("mine.qlf")});
    m_window->undoStack()->undo();
    QCOMPARE(colourShown(), QString());
  }

  void theRecentFilesAreTheSettingsFilesLastOpenedOrSaved() {
    QCOMPARE(captionsOf(m_window->recentMenu()), QStringList{"無し"});
    writeSettings(QStringLiteral("a.qlf"), coloured("AAAAAA"));
    writeSettings(QStringLiteral("b&c.qlf"), coloured("BBBBBB"));
    openThroughTheMenu(QStringLiteral("a.qlf"));
    openThroughTheMenu(QStringLiteral("b&c.qlf"));
    m_platform.fileChoices = {spath("saved.qlf")};
    m_window->MenuSaveFile_Click();
    writeFile(path("sample/s.smp"), cp932Of(settingsFileText(coloured("0000FF"), Layout::Sample, "me", "青")));
    m_window->SampleLoad();
    m_window->MenuTuika_Click(0);  // samples are not recent files
    QCOMPARE(captionsOf(m_window->recentMenu()),
             (QStringList{"&1 " + path("saved.qlf"), "&2 " + path("b&&c.qlf"), "&3 " + path("a.qlf")}));

    // Kept for the next run.
    m_window = std::make_unique<MainWindow>(m_platform, m_folder.path());
    QCOMPARE(m_window->recentFiles().paths(),
             (std::vector<std::string>{spath("saved.qlf"), spath("b&c.qlf"), spath("a.qlf")}));

    // Choosing one opens it and moves it up.
    QList<QAction*> entries = m_window->recentMenu()->actions();
    entries[3]->trigger();
    QCOMPARE(colourShown(), QStringLiteral("AAAAAA"));
    QCOMPARE(title(), QStringLiteral("a.qlf - Quillane"));
    QCOMPARE(m_window->recentFiles().paths().front(), spath("a.qlf"));
    QCOMPARE(entries[1]->text(), "&1 " + path("a.qlf"));

    // With unsaved changes it asks first; a cancel keeps the document.
    edit();
    m_platform.answers = {MessageAnswer::Cancel};
    entries[2]->trigger();
    QCOMPARE(colourShown(), QStringLiteral("AAAAAA"));
    QCOMPARE(lastMessage().buttons, MessageButtons::SaveDiscardCancel);
    QCOMPARE(lastMessage().text, std::string("「a.qlf」への変更を保存しますか？"));

    // A file that is gone is said so and leaves the list, with no question.
    QVERIFY(QFile::remove(path("b&c.qlf")));
    const std::size_t asked = m_platform.messages.size();
    entries[3]->trigger();
    QCOMPARE(m_platform.messages.size(), asked + 1);
    QCOMPARE(lastMessage().text,
             "「" + spath("b&c.qlf") + "」が見つかりません。\r\n最近使ったファイルの一覧から外しました。");
    QCOMPARE(lastMessage().buttons, MessageButtons::Ok);
    QCOMPARE(captionsOf(m_window->recentMenu()), (QStringList{"&1 " + path("a.qlf"), "&2 " + path("saved.qlf")}));
    QCOMPARE(QSettings().value(QStringLiteral("recentFiles")).toStringList(),
             (QStringList{path("a.qlf"), path("saved.qlf")}));
    QCOMPARE(title(), QStringLiteral("a.qlf * - Quillane"));
  }

  void theListKeepsEightFiles() {
    for (int k = 1; k <= 9; ++k) {
      const QString name = QStringLiteral("f%1.qlf").arg(k);
      writeSettings(name, StyleDocument{});
      openThroughTheMenu(name);
    }
    const QStringList shown = captionsOf(m_window->recentMenu());
    QCOMPARE(shown.size(), 8);
    QCOMPARE(shown.first(), "&1 " + path("f9.qlf"));
    QCOMPARE(shown.last(), "&8 " + path("f2.qlf"));
  }

  void filesOfAnEditorBesideThisOneShowWhenTheMenuOpens() {
    testing::FakePlatform otherPlatform;
    MainWindow other(otherPlatform, m_folder.path());
    otherPlatform.fileChoices = {spath("theirs.qlf")};
    other.MenuSaveFile_Click();
    m_platform.fileChoices = {spath("mine.qlf")};
    m_window->MenuSaveFile_Click();  // adds to the list rather than replacing it
    QCOMPARE(m_window->recentFiles().paths(), (std::vector<std::string>{spath("mine.qlf"), spath("theirs.qlf")}));
    otherPlatform.fileChoices = {spath("later.qlf")};
    other.MenuSaveFile_Click();
    Q_EMIT m_window->recentMenu()->aboutToShow();
    QCOMPARE(captionsOf(m_window->recentMenu()).first(), "&1 " + path("later.qlf"));
  }

  // An import makes a document that no file holds yet: the open file is
  // no longer open, and Ctrl+S asks for a name rather than overwrite it.
  void aStyleSheetIsImportedAsOneStepWithItsReport() {
    writeSettings(QStringLiteral("mine.qlf"), StyleDocument{});
    openThroughTheMenu(QStringLiteral("mine.qlf"));
    writeFile(path("site.css"), "p { color: #C0FFEE; margin: 0 }\r\n");
    edit();
    m_platform.answers = {MessageAnswer::Cancel};
    m_window->MenuImportStyle_Click();
    QCOMPARE(lastMessage().text, std::string("「mine.qlf」への変更を保存しますか？"));
    QCOMPARE(m_platform.dialogs.size(), std::size_t(1));  // cancelled before the dialog
    m_window->undoStack()->undo();

    m_platform.fileChoices = {spath("site.css")};
    const std::size_t asked = m_platform.messages.size();
    m_window->MenuImportStyle_Click();
    QCOMPARE(m_platform.messages.size(), asked);
    QCOMPARE(colourShown(), QStringLiteral("C0FFEE"));
    QCOMPARE(m_window->document().output.modern, 1);
    auto* kept = m_window->findChild<QPlainTextEdit*>(QStringLiteral("KeptStyle"));
    QCOMPARE(kept->toPlainText(), QStringLiteral("p { margin: 0 }\n"));
    QCOMPARE(title(), QStringLiteral("無題 * - Quillane"));
    QCOMPARE(m_window->openFilePath(), std::string());
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_platform.fileChoices = {std::nullopt};
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_platform.dialogs.size(), std::size_t(3));
    QCOMPARE(m_platform.dialogs.back().mode, FileDialogMode::Save);
    QVERIFY(m_platform.writes.empty());
    auto* report = m_window->findChild<QPlainTextEdit*>(QStringLiteral("ImportReportLines"));
    QVERIFY(report);
    QCOMPARE(report->toPlainText(), QStringLiteral("1 行目: フォームへ: p { color: #C0FFEE }\n"
                                                   "1 行目: そのほかのスタイルへ: p { margin: 0 }\n"));
    QCOMPARE(m_window->undoStack()->count(), 2);  // the open and the import

    // Typing in the tab is an edit of the document, with the files' line ends.
    kept->setPlainText(QStringLiteral("a {}\nb {}"));
    QCOMPARE(m_window->document().keptStyle, std::string("a {}\r\nb {}"));
    m_window->undoStack()->undo();
    QCOMPARE(kept->toPlainText(), QStringLiteral("p { margin: 0 }\n"));
    m_window->undoStack()->undo();
    QCOMPARE(colourShown(), QString());
    QCOMPARE(kept->toPlainText(), QString());
    QCOMPARE(m_window->document().output.modern, 0);
    QCOMPARE(title(), QStringLiteral("mine.qlf - Quillane"));
    m_window->undoStack()->redo();
    QCOMPARE(title(), QStringLiteral("無題 * - Quillane"));
    m_window->undoStack()->undo();
    QTest::keyClick(m_window.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(m_platform.dialogs.size(), std::size_t(3));
    QCOMPARE(m_platform.writes, std::vector<std::string>{spath("mine.qlf")});

    // A style sheet named at start is imported the same way.
    m_window->openFile(spath("site.css"));
    QCOMPARE(colourShown(), QStringLiteral("C0FFEE"));

    // The tab shows kept line ends as the editor does and leaves them as read.
    writeFile(path("lf.css"), "p {\n  --stack: a,\n    b }\n");
    m_platform.answers = {MessageAnswer::Discard};  // the import before it is unsaved
    m_window->openFile(spath("lf.css"));
    QCOMPARE(kept->toPlainText(), QStringLiteral("p {\n  --stack: a,\n    b }\n"));
    QCOMPARE(m_window->document().keptStyle, std::string("p {\n  --stack: a,\n    b }\r\n"));
  }

  void aFileNamedAtStartIsTheOpenFileWithNothingToUndo() {
    QSignalSpy changes(m_window.get(), &MainWindow::documentChanged);
    writeSettings(QStringLiteral("start.qlf"), coloured("C0FFEE"));
    const QString relative = QDir::current().relativeFilePath(path("start.qlf"));
    m_window->openFile(relative.toStdString());
    QCOMPARE(colourShown(), QStringLiteral("C0FFEE"));
    QCOMPARE(title(), QStringLiteral("start.qlf - Quillane"));
    QCOMPARE(m_window->openFilePath(), spath("start.qlf"));  // made absolute
    QCOMPARE(m_window->undoStack()->count(), 0);
    QVERIFY(m_window->undoStack()->isClean());
    QCOMPARE(changes.count(), 1);
    QCOMPARE(m_window->recentFiles().paths(), std::vector<std::string>{spath("start.qlf")});

    // A sample named at start loads as a sample: no open file, not recent.
    writeFile(path("s.smp"), cp932Of(settingsFileText(coloured("0000FF"), Layout::Sample, "me", "青")));
    m_window->openFile(spath("s.smp"));
    QCOMPARE(colourShown(), QStringLiteral("0000FF"));
    QCOMPARE(title(), QStringLiteral("Quillane"));
    QCOMPARE(m_window->recentFiles().paths().size(), std::size_t(1));
  }
};

QTEST_MAIN(FilesTest)
#include "files_test.moc"
