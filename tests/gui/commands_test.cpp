// The editor's menus, the sample menu and the link window, with dialogs
// answered by the fake platform.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "editor/application_setup.h"
#include "editor/font_task.h"
#include "editor/link_window.h"
#include "editor/live_view_window.h"
#include "editor/main_window.h"
#include "editor_controls.h"
#include "fake_platform.h"
#include "generation/output_choice.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

using namespace quillane;

namespace {

void writeFile(const QString& path, const std::string& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string sampleBytes(const StyleDocument& doc, const std::string& caption) {
  std::string bytes;
  UnencodableCharacter bad;
  encodeCp932(settingsFileText(doc, Layout::Sample, "me", caption), bytes, bad);
  return bytes;
}

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::string fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// DejaVu Sans with the embedding permission `fsType` in its OS/2 table
// (two bytes at offset 8), which its makers leave 0.
std::string dejaVuWithFsType(std::uint16_t fsType) {
  std::string bytes = fileBytes(QString::fromLatin1(kDejaVu));
  const auto u16 = [&](std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) << 8 | static_cast<unsigned char>(bytes[at + 1]);
  };
  const auto u32 = [&](std::size_t at) { return static_cast<std::size_t>(u16(at)) << 16 | u16(at + 2); };
  for (std::size_t record = 12; record < 12 + 16 * static_cast<std::size_t>(u16(4)); record += 16) {
    if (bytes.compare(record, 4, "OS/2") != 0) continue;
    const std::size_t os2 = u32(record + 8);
    bytes[os2 + 8] = static_cast<char>(fsType >> 8);
    bytes[os2 + 9] = static_cast<char>(fsType & 0xFF);
  }
  return bytes;
}

QStringList captionsOf(const QMenu* menu) {
  QStringList captions;
  for (const QAction* a : menu->actions()) captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return captions;
}

}  // namespace

class CommandsTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  QTemporaryDir m_folder;
  std::unique_ptr<MainWindow> m_window;

  void open() {
    m_window = std::make_unique<MainWindow>(m_platform, m_folder.path());
    m_window->show();
  }
  QString path(const QString& name) const { return m_folder.filePath(name); }
  // The paragraph slot with a web font, the modern style sheet "style" to
  // write into site/.
  void chooseAWebFontForTheStyleSheet() {
    QDir().mkpath(path(QStringLiteral("site")));
    m_window->controls().get<QCheckBox>("Check7", 0)->click();
    m_window->controls().get<QCheckBox>("Check28")->click();
    m_window->controls().get<QRadioButton>("Option6")->click();  // スタイルシート
    m_window->controls().get<QLineEdit>("Text7")->setText(path(QStringLiteral("site")));
    m_window->controls().get<QLineEdit>("Text8")->setText(QStringLiteral("style"));
    m_window->document().fonts.slots[0] = {kDejaVu, "", "DejaVu Sans"};
  }

 private Q_SLOTS:
  // The face and the translations the program itself uses.
  void initTestCase() { setUpEditorApplication(); }
  void init() {
    m_platform = {};
    QVERIFY(m_folder.isValid());
    testing::layOutApplicationFolder(m_folder.path());
  }
  void cleanup() { m_window.reset(); }

  void menusCarryTheirCaptionsInOrder() {
    open();
    QStringList titles;
    for (QAction* a : m_window->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles,
             (QStringList{"ファイル(&F)", "編集(&E)", "ツール(&T)", "プレビュー(&P)", "サンプル(&S)", "ヘルプ(&H)"}));
    const auto menus = m_window->menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(captionsOf(menus[0]),
             (QStringList{"設定ファイルを開く(&O)", "上書き保存(&S)", "名前を付けて保存(&A)…",
                          "QuillaneVer1の設定を開く(&V)", "サンプルとして出力(&E)", "スタイルシートを取り込む(&I)…",
                          "-", "最近使ったファイル(&R)", "-", "終了(&X)"}));
    QCOMPARE(captionsOf(menus[1]), (QStringList{"元に戻す(&U)", "やり直し(&R)"}));
    QCOMPARE(captionsOf(menus[2]), QStringList{"CSSをHtmlに適用する(&C)"});
    QCOMPARE(captionsOf(menus[3]), (QStringList{"標準(&N)", "ファイルを指定(&F)", "ライブビュー(&L)"}));
    QCOMPARE(captionsOf(menus[5]), (QStringList{"ヘルプ(&H)", "Hollowmere(&W)"}));
    // An empty sample folder gives one disabled entry.
    QCOMPARE(captionsOf(m_window->sampleMenu()), QStringList{"無し"});
    QVERIFY(!m_window->sampleMenu()->actions().first()->isEnabled());
  }

  void theKeyboardReachesTheMenusAndTheCommonCommands() {
    open();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const auto menus = m_window->menuBar()->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
    QTest::keyClick(m_window.get(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(menus[0]->isVisible());
    // The access key of "名前を付けて保存(&A)…" chooses it.
    QTest::keyClick(menus[0], Qt::Key_A);
    QTRY_VERIFY(!menus[0]->isVisible());
    QCOMPARE(m_platform.dialogs.size(), std::size_t(1));
    QCOMPARE(m_platform.dialogs[0].mode, FileDialogMode::Save);
    QTest::keyClick(m_window.get(), Qt::Key_F10);
    QCOMPARE(m_window->menuBar()->activeAction(), menus[0]->menuAction());
    QTest::keyClick(m_window->menuBar(), Qt::Key_Escape);

    const auto shortcut = [&](const char* name) {
      return m_window->findChild<QAction*>(QString::fromLatin1(name))->shortcut();
    };
    QCOMPARE(shortcut("MenuOpenFile"), QKeySequence(QKeySequence::Open));
    QCOMPARE(shortcut("MenuOverwriteFile"), QKeySequence(QKeySequence::Save));
    QCOMPARE(shortcut("MenuSaveFile"), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QCOMPARE(shortcut("MenuEnd"), QKeySequence(QStringLiteral("Ctrl+Q")));
    QCOMPARE(shortcut("openhelp"), QKeySequence(Qt::Key_F1));
    QCOMPARE(shortcut("NormalPre"), QKeySequence(Qt::Key_F5));
    QTest::keyClick(m_window.get(), Qt::Key_F5);
    QCOMPARE(m_platform.opened, std::vector<std::string>{path("preview/pre.html").toStdString()});
    // From the link window too, the program's keys reach the editor.
    m_window->JointCSS_Click();
    QVERIFY(QTest::qWaitForWindowActive(m_window->linkWindow()));
    QTest::keyClick(m_window->linkWindow(), Qt::Key_F5);
    QCOMPARE(m_platform.opened.size(), std::size_t(2));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(m_platform.dialogs.size(), std::size_t(2));
    QCOMPARE(m_platform.dialogs[1].mode, FileDialogMode::Open);
  }

  void sampleMenuListsByFileNameAndLoadsTheChosenSample() {
    StyleDocument red;
    red.slots[kSlotP].enabled = 1;
    red.colours[0] = "FF0000";
    red.classes[0].className = "赤";
    writeFile(path("sample/b.smp"), sampleBytes(red, "赤 & 白"));
    writeFile(path("sample/A.smp"), sampleBytes(StyleDocument{}, "基本"));
    writeFile(path("sample/c.smp"), "broken");
    open();
    QCOMPARE(captionsOf(m_window->sampleMenu()), (QStringList{"&1 基本", "&2 赤 && 白"}));
    m_window->sampleMenu()->actions()[1]->trigger();
    QCOMPARE(m_window->controls().get<QLineEdit>("Text3", 0)->text(), QStringLiteral("FF0000"));
    QVERIFY(m_window->controls().get<QCheckBox>("Check7", 0)->isChecked());
    QCOMPARE(m_window->controls().get<QTabWidget>("SSTab4")->tabText(0), QStringLiteral("赤"));
    QCOMPARE(m_window->controls().get<QCheckBox>("Check12", 0)->text(), QStringLiteral("赤"));
    QVERIFY(m_platform.messages.empty());
  }

  void savingASampleIntoTheFolderAddsItsEntry() {
    open();
    m_platform.fileChoices = {path("sample/new.smp").toStdString()};
    m_platform.promptReplies = {"私", "新しい見本"};
    m_window->MenuSaveSumple_Click();
    QCOMPARE(captionsOf(m_window->sampleMenu()), QStringList{"&1 新しい見本"});
    QVERIFY(m_window->sampleMenu()->actions().first()->isEnabled());
    QCOMPARE(m_window->controls().get<QTabWidget>("SSTab4")->currentIndex(), 0);  // the page in view stays
  }

  void aRefusedSettingsFileIsReportedAndChangesNothing() {
    open();
    writeFile(path("bad.qlf"), "too short\r\n");
    m_platform.fileChoices = {path("bad.qlf").toStdString()};
    m_window->controls().get<QLineEdit>("Text3", 0)->setText(QStringLiteral("ABCDEF"));
    const StyleDocument before = m_window->document();
    m_platform.answers = {MessageAnswer::Discard};  // the edit above is unsaved
    m_window->MenuOpenFile_Click();
    QVERIFY(m_window->document() == before);
    QCOMPARE(m_platform.messages.size(), std::size_t(2));
    QVERIFY(m_platform.messages[1].text.find("bad.qlf の 2 行目") != std::string::npos);
  }

  void aFileNamedAtStartOpensIntoTheWindow() {
    StyleDocument red;
    red.slots[kSlotP].enabled = 1;
    red.colours[0] = "FF0000";
    writeFile(path("red.smp"), sampleBytes(red, "赤"));
    open();
    m_window->openFile(path("red.smp").toStdString());
    QCOMPARE(m_window->controls().get<QLineEdit>("Text3", 0)->text(), QStringLiteral("FF0000"));
    QVERIFY(m_window->controls().get<QCheckBox>("Check7", 0)->isChecked());
    QVERIFY(m_platform.messages.empty());

    const StyleDocument before = m_window->document();
    m_window->openFile(path("missing.qlf").toStdString());
    QVERIFY(m_window->document() == before);
    QCOMPARE(m_platform.messages.size(), std::size_t(1));
    QCOMPARE(m_platform.messages[0].title, std::string("読み込みエラー"));
    QVERIFY(m_platform.messages[0].text.find("missing.qlf") != std::string::npos);
  }

  // An installed program cannot write its own sample folder: new samples go
  // to the user's folder, and the menu lists them.
  void withoutAWritableSampleFolderSamplesGoToTheUsersFolder() {
    QTemporaryDir user;
    QVERIFY(user.isValid());
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(user.path()));
    QDir(m_folder.path()).rmdir(QStringLiteral("sample"));
    open();
    QCOMPARE(captionsOf(m_window->sampleMenu()), QStringList{"無し"});
    const QString own = user.filePath(QStringLiteral("quillane/sample"));
    m_platform.fileChoices = {(own + QStringLiteral("/mine.smp")).toStdString()};
    m_platform.promptReplies = {"私", "自分の見本"};
    m_window->MenuSaveSumple_Click();
    qputenv("XDG_DATA_HOME", before);
    QCOMPARE(m_platform.dialogs.back().folder, own.toStdString());
    QCOMPARE(captionsOf(m_window->sampleMenu()), QStringList{"&1 自分の見本"});
    QVERIFY(QFile::exists(own + QStringLiteral("/mine.smp")));
  }

  void previewsOpenTheirPages() {
    open();
    m_window->NormalPre_Click();
    QCOMPARE(m_platform.opened.size(), std::size_t(1));
    QVERIFY(QFile::exists(path("preview/pre.html")));
    m_window->controls().get<QTabWidget>("SSTab4")->setCurrentIndex(3);
    m_window->controls().get<QPushButton>("Command8")->click();
    QCOMPARE(m_platform.opened.size(), std::size_t(3));
    QFile page(path("preview/pre.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains(".efect3 {"));
  }

  void previewsAndFilesFollowTheModernChoice() {
    open();
    const auto read = [&](const QString& name) {
      QFile file(path(name));
      return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    auto* modern = m_window->controls().get<QCheckBox>("Check28");
    QCOMPARE(modern->text(), QStringLiteral("今のブラウザ向けに書き出す"));
    QVERIFY(!modern->isChecked());
    modern->click();
    QCOMPARE(m_window->document().output.modern, 1);

    m_window->controls().get<QCheckBox>("Check12", 0)->click();  // class 0 on, with alpha
    m_window->controls().get<QCheckBox>("Check13", 0)->click();
    m_window->NormalPre_Click();
    QVERIFY(read(QStringLiteral("preview/pre.html")).startsWith("<!DOCTYPE html>\r\n<html lang=\"ja\">"));
    m_window->Command8_Click();
    QVERIFY(read(QStringLiteral("preview/pre.html")).contains(".efect0 {\r\n  opacity: 0.5;\r\n}"));
    writeFile(path("mine.html"), "<html><head></head><body>x</body></html>");
    m_platform.fileChoices = {path("mine.html").toStdString()};
    m_window->GaibuPre_Click();
    QVERIFY(read(QStringLiteral("essepreviewcss.css")).startsWith("@charset \"UTF-8\";\r\n"));
    QVERIFY(m_platform.messages.empty());

    // Saved and loaded like every other field.
    m_platform.fileChoices = {path("on.qlf").toStdString()};
    m_window->MenuSaveFile_Click();
    QVERIFY(read(QStringLiteral("on.qlf")).endsWith("\r\nTrue\r\n"));
    modern->click();
    QVERIFY(!modern->isChecked());
    m_window->NormalPre_Click();
    QVERIFY(read(QStringLiteral("preview/pre.html")).startsWith("<HTML>\r\n<HEAD>"));
    m_platform.fileChoices = {path("on.qlf").toStdString()};
    m_platform.answers = {MessageAnswer::Discard};
    m_window->MenuOpenFile_Click();
    QVERIFY(modern->isChecked());
  }

  // A font chosen for a slot: what its maker allows decides first, then the
  // user, who reads the licence text the font carries once; the slot then
  // embeds the file, as one step.
  void aChosenFontIsEmbeddedOnlyWhenItsLicenceAllows() {
    open();
    const std::string allowed = "このフォントは埋め込みが許されています（制限なし）。";
    struct Row {
      std::uint16_t fsType;
      bool accept;
      std::string heading;  // the licence dialog's; empty: no dialog
      MessageIcon icon;
      std::string refusal;  // the message shown instead; empty: none
    };
    const Row rows[] = {
        {0x0000, true, allowed, MessageIcon::Information, {}},
        {0x0008, true, "このフォントは埋め込みが許されています（編集可能な埋め込み）。", MessageIcon::Information, {}},
        {0x0004,
         true,
         "このフォントは「プレビューと印刷」だけの埋め込みが許されています。ページで表示するのに使えますが、閲覧者"
         "がフォントを取り出して使うことは許されていません。ライセンスを確かめてください。",
         MessageIcon::Exclamation,
         {}},
        {0x0000, false, allowed, MessageIcon::Information, {}},
        {0x0002,
         true,
         {},
         MessageIcon::None,
         "DejaVu Sans Book\r\nこのフォントは作者が埋め込みを禁じている（制限付きライセンス）ため、埋め込めません。"},
        {0x0104,
         true,
         {},
         MessageIcon::None,
         "DejaVu Sans Book\r\nこのフォントは作者が一部の文字だけを取り出すことを禁じているため、Web "
         "フォントにできません。"},
    };
    m_window->controls().get<QCheckBox>("Check7", 1)->click();
    m_window->controls().get<QComboBox>("Combo1", 1)->setEditText(QStringLiteral("'DejaVu Sans', sans-serif"));
    auto* choose = m_window->controls().get<QPushButton>("WebFontChoose", 1);
    auto* shown = m_window->controls().get<QLineEdit>("WebFontFace", 1);
    auto* stop = m_window->controls().get<QPushButton>("WebFontStop", 1);
    const EmbeddedFont none;
    QVERIFY(!stop->isEnabled());
    for (std::size_t r = 0; r < std::size(rows); ++r) {
      const Row& row = rows[r];
      const QString name = QStringLiteral("font-%1.ttf").arg(r);
      writeFile(path(name), dejaVuWithFsType(row.fsType));
      m_platform.fontChoices = {FontChoice{path(name).toStdString(), 0}};
      m_platform.answers = {row.accept ? MessageAnswer::Ok : MessageAnswer::Cancel};
      m_platform.licences.clear();
      m_platform.messages.clear();
      if (stop->isEnabled()) stop->click();
      choose->click();
      QCOMPARE(m_platform.fontFamilies.back(), std::string("DejaVu Sans"));
      if (row.refusal.empty()) {
        QCOMPARE(m_platform.messages.size(), std::size_t{0});
      } else {
        QCOMPARE(m_platform.onlyMessage().text, row.refusal);
        QCOMPARE(m_platform.onlyMessage().icon, MessageIcon::Critical);
      }
      QCOMPARE(m_platform.licences.size(), row.heading.empty() ? std::size_t{0} : std::size_t{1});
      if (!row.heading.empty()) {
        const testing::ShownMessage& licence = m_platform.licences.front();
        QCOMPARE(licence.title, std::string("DejaVu Sans Book"));
        QCOMPARE(licence.icon, row.icon);
        QCOMPARE(licence.text.substr(0, row.heading.size() + 1), row.heading + "\n");
        // The licence (name ID 13) and its address (name ID 14).
        QVERIFY(licence.text.ends_with("\n\nhttp://dejavu.sourceforge.net/wiki/index.php/License"));
      }
      const bool embeds = row.refusal.empty() && row.accept;
      const EmbeddedFont expected = embeds ? EmbeddedFont{path(name).toStdString(), "", "DejaVu Sans"} : none;
      QVERIFY2(m_window->document().fonts.slots[1] == expected, qPrintable(name));
      QCOMPARE(shown->text(), embeds ? QStringLiteral("DejaVu Sans（%1）").arg(name) : QString());
      QCOMPARE(stop->isEnabled(), embeds);
    }
    // Once accepted, a licence is not asked again; the choice is a step of
    // its own, and so is stopping.
    m_platform.licences.clear();
    m_platform.fontChoices = {FontChoice{path("font-0.ttf").toStdString(), 0}};
    choose->click();
    QVERIFY(m_platform.licences.empty());
    QCOMPARE(m_window->document().fonts.slots[1].file, path("font-0.ttf").toStdString());
    stop->click();
    QVERIFY(m_window->document().fonts.slots[1] == none);
    QCOMPARE(shown->text(), QString());
    m_window->undoStack()->undo();
    QCOMPARE(m_window->document().fonts.slots[1].file, path("font-0.ttf").toStdString());
    QCOMPARE(shown->text(), QStringLiteral("DejaVu Sans（font-0.ttf）"));
    // A file that is no font is refused as the font reader says why.
    writeFile(path("broken.ttf"), "not a font");
    m_platform.messages.clear();
    m_platform.fontChoices = {FontChoice{path("broken.ttf").toStdString(), 0}};
    choose->click();
    QCOMPARE(m_platform.messages.size(), std::size_t{1});
    QCOMPARE(m_window->document().fonts.slots[1].file, path("font-0.ttf").toStdString());
  }

  // "出力する" with a web font: the font is made on the font task's thread
  // and the files are written after it, on the editor's; a cancel writes
  // nothing at all.
  void theOutputWithAWebFontIsWrittenAfterItAndNothingWhenCancelled() {
    open();
    chooseAWebFontForTheStyleSheet();
    FontTask* task = m_window->fontTask();
    auto* make = m_window->controls().get<QPushButton>("Command6");
    // Without a folder, the refusal comes at once, before any font is cut.
    m_window->controls().get<QLineEdit>("Text7")->clear();
    make->click();
    QVERIFY(!task->busy());
    QCOMPARE(m_platform.messages.size(), std::size_t{1});
    m_platform.messages.clear();
    m_window->controls().get<QLineEdit>("Text7")->setText(path(QStringLiteral("site")));
    auto* cancel = m_window->controls().get<QPushButton>("WebFontCancel");
    QVERIFY(!cancel->isEnabled());
    make->click();
    QVERIFY(task->running());
    QVERIFY(cancel->isEnabled() && !make->isEnabled());
    QVERIFY(cancel->isVisibleTo(m_window.get()));  // its tab is brought forward
    cancel->click();
    QVERIFY(!task->running() && make->isEnabled());
    QTRY_VERIFY(!task->busy());
    QCoreApplication::processEvents();
    QVERIFY(m_platform.writes.empty());
    QVERIFY(m_platform.messages.empty());
    QCOMPARE(QDir(path(QStringLiteral("site"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());

    // Left to run, it writes the font before the style sheet that names it.
    make->click();
    QTRY_VERIFY_WITH_TIMEOUT(!task->busy(), 20000);
    QCOMPARE(m_platform.writes.size(), std::size_t{3});
    const QString font = QString::fromStdString(m_platform.writes[0]);
    QVERIFY2(QRegularExpression(QStringLiteral("/site/fonts/dejavu-sans-[0-9a-f]{8}\\.woff2$")).match(font).hasMatch(),
             qPrintable(font));
    QCOMPARE(fileBytes(font).substr(0, 4), std::string("wOF2"));
    QCOMPARE(m_platform.writes[1], path(QStringLiteral("site/style.css")).toStdString());
    QCOMPARE(m_platform.writes[2], path(QStringLiteral("site/style.html")).toStdString());  // the linking page
    QCOMPARE(m_platform.onlyMessage().text, std::string("保存完了"));
  }

  // "大きさを調べる" shows, for each font, its size before and after the cut
  // and the characters of the pages in the output folder that it lacks; the
  // character sets chosen are the document's.
  void measuringShowsEachFontsSizesAndWhatThePagesLack() {
    open();
    QDir().mkpath(path(QStringLiteral("site")));
    writeFile(path(QStringLiteral("site/index.html")),
              "<html><head><meta charset=\"utf-8\"></head><body>Aあ</body></html>");
    m_window->controls().get<QCheckBox>("Check7", 0)->click();
    m_window->controls().get<QLineEdit>("Text9")->setText(path(QStringLiteral("site")));
    m_window->document().fonts.slots[0] = {kDejaVu, "", "DejaVu Sans"};
    // The sets as boxes: 常用漢字 added keeps the order of the keys, 英数字と記号 off.
    m_window->controls().get<QCheckBox>("WebFontSet", 2)->click();
    m_window->controls().get<QCheckBox>("WebFontSet", 0)->click();
    QCOMPARE(m_window->document().fonts.sets, std::string("kana,joyo"));
    m_window->controls().get<QCheckBox>("WebFontSet", 0)->click();
    QCOMPARE(m_window->document().fonts.sets, std::string("ascii,kana,joyo"));

    m_window->controls().get<QPushButton>("WebFontMeasure")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->fontTask()->busy(), 20000);
    const QStringList report =
        m_window->controls().get<QPlainTextEdit>("WebFontReport")->toPlainText().split(QLatin1Char('\n'));
    const QString before = QLocale(QLocale::English).toString(QFileInfo(QString::fromLatin1(kDejaVu)).size());
    QCOMPARE(report.size(), 5);  // four lines, each ended
    QCOMPARE(report[0], QStringLiteral("ページ: 1 個"));
    QVERIFY2(QRegularExpression(QStringLiteral("^段落: DejaVu Sans（fonts/dejavu-sans-[0-9a-f]{8}\\.woff2）$"))
                 .match(report[1])
                 .hasMatch(),
             qPrintable(report[1]));
    QVERIFY2(
        QRegularExpression(QStringLiteral("^  大きさ: %1 バイト → [0-9,]+ バイト（WOFF2、[0-9,]+ 字）$").arg(before))
            .match(report[2])
            .hasMatch(),
        qPrintable(report[2]));
    // The page's あ, which DejaVu Sans lacks, and the kana of the page the
    // output writes itself; never its A.
    const QRegularExpressionMatch lacking =
        QRegularExpression(QStringLiteral("^  ページの文字でフォントにないもの: ([0-9]+) 字 (\\S+)$")).match(report[3]);
    QVERIFY2(lacking.hasMatch(), qPrintable(report[3]));
    QCOMPARE(lacking.captured(1).toInt(), lacking.captured(2).size());
    QVERIFY(lacking.captured(2).contains(u'あ') && !lacking.captured(2).contains(u'A'));
    QVERIFY(m_platform.writes.empty());
  }

  // Without the web fonts' plug-in, choosing, measuring and making a web
  // font each say what is missing and do nothing else; the output without
  // web fonts is written as ever.
  void withoutTheFontPluginTheWebFontsSaySoAndTheRestWorks() {
    open();
    m_window->setFontWorkFolders({path(QStringLiteral("none"))});
    chooseAWebFontForTheStyleSheet();
    const std::string missing =
        "Webフォントのプラグイン「libquillane-fontwork.so」が見つからないため、フォントを"
        "埋め込めません（探した場所: " +
        path(QStringLiteral("none")).toStdString() + "）。\r\nほかの機能はそのまま使えます。";
    const ControlId buttons[] = {{"WebFontChoose", 0}, {"WebFontMeasure", kNoIndex}, {"Command6", kNoIndex}};
    for (const ControlId& button : buttons) {
      m_platform.messages.clear();
      m_window->controls().get<QPushButton>(button.family, button.index)->click();
      QCOMPARE(m_platform.onlyMessage().text, missing);
      QCOMPARE(m_platform.onlyMessage().icon, MessageIcon::Critical);
      QVERIFY(!m_window->fontTask()->busy());
    }
    QVERIFY(m_platform.fontFamilies.empty());
    QVERIFY(m_platform.writes.empty());
    // The same output without the web font is written.
    m_window->document().fonts.slots[0] = {};
    m_platform.messages.clear();
    m_window->controls().get<QPushButton>("Command6")->click();
    QCOMPARE(m_platform.onlyMessage().text, std::string("保存完了"));
    QCOMPARE(m_platform.writes.size(), std::size_t{2});
  }

  void linkWindowRewritesPreviewsAndSaves() {
    open();
    writeFile(path("page.html"), "<html><head></head><body>x</body></html>");
    LinkWindow* form4 = m_window->linkWindow();
    QCOMPARE(form4->size(), QSize(383, 607));  // 5745 x 9105 twips
    QCOMPARE(form4->windowTitle(), QStringLiteral("CSSの適用"));
    auto* save = form4->controls().get<QPushButton>("Command3");
    QVERIFY(!save->isEnabled());
    QCOMPARE(form4->statusText(), QStringLiteral("「新規プレビュー」で書き換えると、「保存」できるようになります。"));
    // A page that cannot be read: the rewrite fails, and the line says so.
    form4->controls().get<QLineEdit>("Text1")->setText(path("missing.html"));
    form4->Command4_Click();
    QCOMPARE(form4->statusText(),
             QStringLiteral("書き換えられなかったので、「保存」できません。ファイルの場所を確かめてください。"));
    m_platform.messages.clear();
    QVERIFY(form4->controls().get<QCheckBox>("Check1")->isChecked());

    m_platform.fileChoices = {path("page.html").toStdString(), path("css/site.css").toStdString()};
    form4->Command1_Click();
    form4->Command2_Click();
    QCOMPARE(form4->controls().get<QLineEdit>("Text1")->text(), path("page.html"));
    form4->Command4_Click();
    auto* text = form4->controls().get<QPlainTextEdit>("Rich1");
    QVERIFY(text->toPlainText().contains(QStringLiteral("<LINK href=\"site.css\"")));
    QVERIFY(text->toPlainText().startsWith(QStringLiteral("<!このファイルは一部Quillaneよって編集されました。")));
    QVERIFY(save->isEnabled());
    QCOMPARE(form4->statusText(), "「保存」で、下の内容を「" + path("page.html") + "」に上書きします。");
    QCOMPARE(m_platform.opened.back(), path("essepreview.html").toStdString());

    form4->controls().get<QLineEdit>("Text2")->setText(path("other.css"));
    QVERIFY(!save->isEnabled());
    QCOMPARE(form4->statusText(), QStringLiteral("書き換えた後にファイルの場所が変わったので、「保存」できません。"
                                                 "もう一度「新規プレビュー」で書き換えてください。"));
    form4->Command5_Click();  // as the box stands
    QVERIFY(save->isEnabled());
    text->appendPlainText(QStringLiteral("<!-- 手直し -->"));
    save->click();
    QCOMPARE(form4->statusText(), "「" + path("page.html") + "」に保存しました。");
    QFile page(path("page.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray bytes = page.readAll();
    QVERIFY(bytes.contains("<LINK href=\"site.css\" rel=\"stylesheet\" type=\"text/css\">\r\n</HEAD>"));
    QVERIFY(bytes.endsWith("</html>\r\n<!-- \x8e\xe8\x92\xbc\x82\xb5 -->"));  // edited, in Shift_JIS

    // The chosen-page preview follows the link window's comment box and
    // leaves its rewrite in the window's text box, with saving off.
    form4->controls().get<QCheckBox>("Check1")->setChecked(false);
    QVERIFY(!form4->injector().comment);
    writeFile(path("other.html"), "<HTML><HEAD></HEAD><BODY>y</BODY></HTML>");
    m_platform.fileChoices = {path("other.html").toStdString()};
    m_window->GaibuPre_Click();
    QVERIFY(text->toPlainText().contains(QStringLiteral("<BODY>y</BODY>")));
    QVERIFY(text->toPlainText().contains(QStringLiteral("<LINK href=\"essepreviewcss.css\"")));
    QVERIFY(!save->isEnabled());
    QCOMPARE(form4->statusText(), QStringLiteral("下の内容は「ファイルを指定」のプレビューで書き換えたものなので、"
                                                 "ここからは「保存」できません。"));
  }

  // The first hour of work with the keyboard alone: every step moves the
  // focus with Tab, the arrows and access keys, and acts with keys; the
  // platform answers the file and folder questions.
  void theFirstHourIsDoneFromTheKeyboardAlone() {
    StyleDocument sample;
    sample.slots[kSlotP].enabled = 1;
    sample.colours[0] = "0000FF";
    writeFile(path("sample/s.smp"), sampleBytes(sample, "青"));
    writeFile(path("page.html"), "<html><head></head><body>x</body></html>");
    writeFile(path("in.css"), "P { color: #00FF00 }\r\n");
    open();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    const auto focused = [] { return QApplication::focusWidget(); };
    const auto press = [&](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      QWidget* at = QApplication::activePopupWidget() != nullptr ? QApplication::activePopupWidget() : focused();
      QVERIFY2(at != nullptr, "nothing has the focus");
      QTest::keyClick(at, Qt::Key(key), modifiers);
    };
    const auto menu = [&](int title, int item) {
      press(title, Qt::AltModifier);
      QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
      press(item);
      QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    };
    // Tab until `target` has the focus, within a page's worth of controls.
    const auto tabTo = [&](QWidget* target) {
      QStringList trail;
      for (int k = 0; k < 120 && focused() != target; ++k) {
        trail << (focused() != nullptr ? focused()->objectName() + "/" + focused()->metaObject()->className()
                                       : QStringLiteral("(none)"));
        press(Qt::Key_Tab);
      }
      QVERIFY2(focused() == target, qPrintable(target->objectName() + " not reached: " + trail.join(' ')));
    };
    const auto type = [&](const QString& text) { QTest::keyClicks(focused(), text); };
    const auto control = [&](const char* family, int index = kNoIndex) {
      return testing::requireControl(*m_window, family, index);
    };
    const StyleDocument& doc = m_window->document();

    // A sample from its menu.
    menu(Qt::Key_S, Qt::Key_1);
    QCOMPARE(doc.colours[0], "0000FF");
    QCOMPARE(doc.slots[kSlotP].enabled, 1);

    // The paragraph's colour typed, its font typed into the list.
    tabTo(control("Text3", 0));
    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("FF0000"));
    QCOMPARE(doc.colours[0], "FF0000");
    // The background from the colour dialog, which starts at black for an
    // empty box.
    m_platform.colourChoices = {0x80FFFF};  // blue, green, red
    tabTo(control("Command2", 5));
    press(Qt::Key_Space);
    QCOMPARE(m_platform.colourStarts, std::vector<std::optional<BgrColour>>{BgrColour{0}});
    QCOMPARE(doc.colours[5], "FFFF80");
    tabTo(control("Combo1", 0));
    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("Noto Sans CJK JP"));
    QCOMPARE(doc.slots[kSlotP].fontName, "Noto Sans CJK JP");

    // The second class renamed: the form's tabs, then the classes' tabs.
    auto* pages = qobject_cast<QTabWidget*>(control("SSTab1"));
    auto* classes = qobject_cast<QTabWidget*>(control("SSTab4"));
    tabTo(pages->tabBar());
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    QCOMPARE(pages->currentIndex(), 2);
    tabTo(classes->tabBar());
    press(Qt::Key_Right);
    m_platform.promptReplies = {"midashi"};
    press(Qt::Key_F2);
    QCOMPARE(doc.classes[1].className, "midashi");
    QCOMPARE(classes->tabText(1), QStringLiteral("midashi"));
    QCOMPARE(focused(), classes->tabBar());

    // The live view opens beside the editor and leaves the keyboard there;
    // F6 again goes over to it and back, Escape closes it.
    press(Qt::Key_F6);
    LiveViewWindow* view = m_window->liveViewWindow();
    QVERIFY(view->isVisible());
    QCOMPARE(focused(), classes->tabBar());
    for (QWidget* next :
         {static_cast<QWidget*>(view), static_cast<QWidget*>(m_window.get()), static_cast<QWidget*>(view)}) {
      press(Qt::Key_F6);
      QTRY_COMPARE(QApplication::activeWindow(), next);
    }
    press(Qt::Key_Escape);
    QVERIFY(!view->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
    QCOMPARE(focused(), classes->tabBar());

    // Saved under a name.
    m_platform.fileChoices = {path("mine.qlf").toStdString()};
    menu(Qt::Key_F, Qt::Key_A);
    QFile saved(path("mine.qlf"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    std::string expected;
    UnencodableCharacter bad;
    QVERIFY(encodeCp932(settingsFileText(doc, Layout::Settings), expected, bad));
    QCOMPARE(saved.readAll().toStdString(), expected);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("mine.qlf - Quillane"));

    // The style sheet written to a chosen folder, without a link page.
    tabTo(pages->tabBar());
    press(Qt::Key_Right);
    QCOMPARE(pages->tabText(pages->currentIndex()), QStringLiteral("出力"));
    tabTo(control("Option6"));
    press(Qt::Key_Space);
    QCOMPARE(doc.output.format, Choice::Second);
    tabTo(control("Option8"));
    press(Qt::Key_Space);
    QCOMPARE(doc.output.makeLinkPage, Choice::Second);
    QDir().mkpath(path("out"));
    m_platform.folderChoices = {path("out").toStdString()};
    tabTo(control("Command5"));
    press(Qt::Key_Space);
    QCOMPARE(doc.output.cssFolder, path("out").toStdString());
    tabTo(control("Command6"));
    press(Qt::Key_Space);
    QFile sheet(path("out/style.css"));
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    QVERIFY(encodeOutput(styleSheetOutput(doc), expected, bad));
    QCOMPARE(sheet.readAll().toStdString(), expected);

    // The sheet linked into a page: the link window's access keys.
    menu(Qt::Key_T, Qt::Key_C);
    LinkWindow* form4 = m_window->linkWindow();
    QTRY_COMPARE(QApplication::activeWindow(), form4);
    m_platform.fileChoices = {path("page.html").toStdString(), path("out/style.css").toStdString()};
    // A button's access key clicks it a moment later, as a click looks.
    const auto link = [&](int key, auto done) {
      press(key, Qt::AltModifier);
      QTRY_VERIFY(done());
    };
    const auto box = [&](const char* family) { return form4->controls().get<QLineEdit>(family)->text(); };
    link(Qt::Key_B, [&] { return box("Text1") == path("page.html"); });
    link(Qt::Key_R, [&] { return box("Text2") == path("out/style.css"); });
    link(Qt::Key_P, [&] { return form4->controls().get<QPushButton>("Command3")->isEnabled(); });
    link(Qt::Key_S, [&] { return form4->statusText() == "「" + path("page.html") + "」に保存しました。"; });
    QFile page(path("page.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    QVERIFY(page.readAll().contains("<LINK href=\"style.css\" rel=\"stylesheet\" type=\"text/css\">\r\n</HEAD>"));
    press(Qt::Key_Escape);
    QVERIFY(!form4->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), m_window.get());

    // A sheet imported; its report closes with Escape and gives the
    // keyboard back.
    QWidget* before = focused();
    m_platform.fileChoices = {path("in.css").toStdString()};
    menu(Qt::Key_F, Qt::Key_I);
    QCOMPARE(doc.colours[0], "00FF00");
    QTRY_VERIFY(QApplication::activeWindow() != m_window.get());
    press(Qt::Key_Escape);
    QTRY_COMPARE(QApplication::activeWindow(), m_window.get());
    QCOMPARE(focused(), before);
  }

  // The link window opens over the editor and inside the screen, wherever
  // the editor stands.
  void theLinkWindowOpensInsideTheScreen() {
    open();
    const QRect room = m_window->screen()->availableGeometry();
    m_window->move(room.right() - 100, room.bottom() - 100);
    m_window->JointCSS_Click();
    const QRect placed = m_window->linkWindow()->frameGeometry();
    QCOMPARE(placed.left(), qMax(room.left(), room.right() + 1 - placed.width()));
    QCOMPARE(placed.top(), qMax(room.top(), room.bottom() + 1 - placed.height()));
  }

  void endClosesTheLinkWindowToo() {
    open();
    m_window->JointCSS_Click();
    QVERIFY(m_window->linkWindow()->isVisible());
    m_window->MenuEnd_Click();
    QVERIFY(!m_window->isVisible());
    QVERIFY(!m_window->linkWindow()->isVisible());
  }
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
