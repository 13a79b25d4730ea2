// What start-up leaves for later: the pages hidden at start-up are built on
// first use and then show exactly what they would have shown had they been
// built at start-up; the font lists and the sample menu are full when first
// opened; the title picture is the stored one.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "editor/application_setup.h"
#include "editor/colour_swatch.h"
#include "editor/font_task.h"
#include "editor/main_window.h"
#include "editor/title_window.h"
#include "fake_platform.h"
#include "generation/font_stacks.h"
#include "persistence/file_commands.h"
#include "persistence/settings_file.h"

using namespace quillane;

namespace {

// Whether a library whose file name starts with `prefix` is mapped into this process.
bool mapped(const QByteArray& prefix) {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : maps.readAll().split('\n'))
    if (line.contains("/" + prefix)) return true;
  return false;
}

// Everything a user can see of every control, and the document's bytes.
QStringList snapshot(MainWindow& window) {
  QCoreApplication::processEvents();
  QStringList lines;
  for (QWidget* c : window.controls().all()) {
    QString value;
    if (auto* l = qobject_cast<QLabel*>(c)) value = l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(c)) value = b->text() + QString::number(b->isChecked());
    if (auto* g = qobject_cast<QGroupBox*>(c)) value = g->title();
    if (auto* e = qobject_cast<QLineEdit*>(c)) value = e->text() + "/" + QString::number(e->maxLength());
    if (auto* list = qobject_cast<QComboBox*>(c)) value = list->currentText() + "/" + QString::number(list->count());
    if (auto* s = qobject_cast<ColourSwatch*>(c)) value = s->colour().name();
    if (auto* s = qobject_cast<QSlider*>(c)) value = QString::number(s->value());
    if (auto* tabs = qobject_cast<QTabWidget*>(c)) {
      value = QString::number(tabs->currentIndex());
      for (int k = 0; k < tabs->count(); ++k) value += "," + tabs->tabText(k);
    }
    const bool shown = c->isVisibleTo(&window);
    const QRect place = shown ? QRect(c->mapTo(&window, QPoint()), c->size()) : QRect();
    lines << QStringLiteral("%1 %2 enabled=%3 shown=%4 at=%5,%6 %7x%8 [%9]")
                 .arg(c->objectName(), c->metaObject()->className())
                 .arg(c->isEnabled())
                 .arg(shown)
                 .arg(place.x())
                 .arg(place.y())
                 .arg(place.width())
                 .arg(place.height())
                 .arg(value);
  }
  lines.sort();
  lines << QString::fromStdString(settingsFileText(window.document(), Layout::Settings));
  return lines;
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;

  std::unique_ptr<MainWindow> shownWindow() {
    auto window = std::make_unique<MainWindow>(m_platform, QStringLiteral("/opt/quillane"));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qFatal("the window was not shown");
    return window;
  }

  // The same steps on a window whose pages are all built before the first
  // step and on one whose hidden pages still wait: both must end alike.
  void compareWithPagesBuiltFirst(const std::function<void(MainWindow&)>& steps) {
    auto early = shownWindow();
    early->controls().all();
    steps(*early);
    auto late = shownWindow();
    steps(*late);
    const QStringList expected = snapshot(*early);
    const QStringList actual = snapshot(*late);
    for (qsizetype k = 0; k < qMin(expected.size(), actual.size()); ++k) QCOMPARE(actual[k], expected[k]);
    QCOMPARE(actual.size(), expected.size());
  }

 private Q_SLOTS:
  void initTestCase() { setUpEditorApplication(); }
  void init() { m_platform = {}; }

  void onlyTheFirstPageIsBuiltAtStartUp() {
    auto window = shownWindow();
    const ControlRegistry& controls = window->controls();
    QVERIFY(controls.findBuilt({"Check7", 5}) && controls.findBuilt({"Combo1", 0}) && controls.findBuilt({"SSTab2"}));
    for (const ControlId id : {ControlId{"Combo1", 1}, ControlId{"Text3", 11}, ControlId{"Text14", 0},
                               ControlId{"Check12", 0}, ControlId{"Text7"}, ControlId{"Check8"}})
      QVERIFY2(controls.findBuilt(id) == nullptr, id.toString().c_str());
    // Showing a hidden page builds them all; its controls are there to be seen.
    controls.get<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QVERIFY(controls.findBuilt({"Text14", 5}) && controls.findBuilt({"Check8"}));
    QVERIFY(controls.findBuilt({"Text3", 11})->isVisible());
  }

  // The font libraries come with the web fonts' plug-in, when a web font is
  // first chosen, measured or made: not at start-up, nor with every page built.
  void theFontLibrariesWaitForTheFirstWebFont() {
    auto window = shownWindow();
    window->controls().all();
    const QByteArray libraries[] = {"libquillane-fontwork.so", "libharfbuzz-subset.so", "libwoff2enc.so"};
    for (const QByteArray& library : libraries) QVERIFY2(!mapped(library), library);
    window->controls().get<QPushButton>("WebFontMeasure")->click();
    QTRY_VERIFY(!window->fontTask()->busy());
    QVERIFY(m_platform.messages.empty());
    for (const QByteArray& library : libraries) QVERIFY2(mapped(library), library);
  }

  void aLookupBuildsTheWaitingPages() {
    auto window = shownWindow();
    auto* blur = window->controls().get<QLineEdit>("Text14", 2);
    QVERIFY(blur != nullptr);
    QCOMPARE(blur->text(), QStringLiteral("0"));
    QVERIFY(!blur->isEnabled());
    QVERIFY(window->controls().find("Text99") == nullptr);
  }

  // Building a waiting page after an edit shows the document; it is no edit
  // of its own: the one step stays the edit, and undo takes back just that.
  void buildingAWaitingPageRecordsNoStep() {
    auto window = shownWindow();
    auto* undo = window->findChild<QAction*>(QStringLiteral("MenuUndo"));
    QSignalSpy changed(window.get(), &MainWindow::documentChanged);
    window->controls().get<QCheckBox>("Check7", 0)->click();
    QCOMPARE(changed.size(), 1);
    QVERIFY(window->controls().get<QLineEdit>("Text14", 2) != nullptr);  // builds every waiting page
    QCOMPARE(changed.size(), 1);
    QVERIFY(window->windowTitle().contains(QStringLiteral("*")));
    undo->trigger();
    QCOMPARE(window->document(), StyleDocument{});
    QVERIFY(!undo->isEnabled());
  }

  void aLoadBeforeThePagesAreBuiltShowsAsOneAfter() {
    compareWithPagesBuiltFirst([](MainWindow& window) {
      StyleDocument& doc = window.document();
      doc.colours[13] = "GG";  // not a colour: the swatch keeps the one it had
      doc.scrollbarCheck(13) = 1;
      doc.classes[2].enabled = 1;
      doc.classes[1].className = "見出し";
      doc.slots[kSlotHover].enabled = 1;
      doc.slots[kSlotHover].useImage = Choice::First;
      doc.output.format = Choice::Second;
      doc.currentClassTab = 5;
      doc.classes[3].moveOpacitySlider(20);
      window.refreshFromDocument();
    });
  }

  void aRuleOnAWaitingPageActsAsOnABuiltOne() {
    compareWithPagesBuiltFirst([](MainWindow& window) {
      window.controls().get<QAbstractButton>("Check7", 0)->click();
      window.controls().get<QLineEdit>("Text3", 0)->setText(QStringLiteral("123456"));
      window.controls().get<QAbstractButton>("Option4", 0)->click();
      window.controls().get<QAbstractButton>("Check7", 3)->click();
    });
  }

  void showingAWaitingPageFirst() {
    compareWithPagesBuiltFirst(
        [](MainWindow& window) { window.controls().get<QTabWidget>("SSTab1")->setCurrentIndex(2); });
  }

  void savingBeforeThePagesAreBuilt() {
    QTemporaryDir folder;
    int saves = 0;
    compareWithPagesBuiltFirst([&](MainWindow& window) {
      m_platform.fileChoices = {folder.filePath(QStringLiteral("saved%1.qlf").arg(++saves)).toStdString()};
      window.MenuSaveFile_Click();
    });
    QCOMPARE(m_platform.writes.size(), std::size_t(2));
  }

  // Every list offers every installed family, by the name browsers match:
  // from the event loop's turn after the first paint, and before that from
  // its first opening. Filling a list keeps the font name it shows, and is
  // no edit.
  void theFontListsAreFullWhenFirstOpened() {
    std::vector<std::string> families;
    for (const QString& family : QFontDatabase::families()) families.push_back(family.toStdString());
    QStringList expected;
    for (const std::string& name : browserFamilyNames(families)) expected << QString::fromStdString(name);
    QVERIFY(!expected.isEmpty());
    const auto items = [](QComboBox* list) {
      QStringList shown;
      for (int row = 0; row < list->view()->model()->rowCount(); ++row)
        shown << list->view()->model()->index(row, 0).data().toString();
      return shown;
    };

    MainWindow window(m_platform, QStringLiteral("/opt/quillane"));
    window.document().slots[kSlotP].fontName = "游ゴシック";
    window.refreshFromDocument();
    const int steps = window.undoStack()->count();
    const QSignalSpy changed(&window, &MainWindow::documentChanged);
    for (int slot : {int(kSlotP), kTagSlotCount - 1}) {
      auto* list = window.controls().get<QComboBox>("Combo1", slot);
      list->showPopup();
      QVERIFY(list->view()->isVisible());
      const QStringList shown = items(list);
      list->hidePopup();
      QCOMPARE(shown, expected);
    }
    QCOMPARE(window.controls().get<QComboBox>("Combo1", kSlotP)->currentText(), QStringLiteral("游ゴシック"));
    QCOMPARE(window.document().slots[kSlotP].fontName, std::string("游ゴシック"));
    QCOMPARE(changed.size(), 0);
    QCOMPARE(window.undoStack()->count(), steps);

    auto shown = shownWindow();
    auto* first = shown->controls().get<QComboBox>("Combo1", kSlotP);
    QTRY_COMPARE(items(first), expected);
    QVERIFY(first->currentText().isEmpty());
  }

  // A free list makes its suggestions when it first takes the keyboard:
  // typed letters then pop up the items that begin with them, with case.
  void aFreeListSuggestsItsItemsOnceItTakesTheKeyboard_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("upper case") << QStringLiteral("N");
    QTest::newRow("lower case") << QStringLiteral("n");
  }

  void aFreeListSuggestsItsItemsOnceItTakesTheKeyboard() {
    QFETCH(QString, typed);
    auto shown = shownWindow();
    shown->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(shown.get()));
    shown->controls().get<QCheckBox>("Check7", kSlotP)->click();
    auto* list = shown->controls().get<QComboBox>("Combo1", kSlotP);
    list->setFocus();
    QVERIFY(list->hasFocus());
    QStringList expected;
    for (int row = 0; row < list->count(); ++row)
      if (list->itemText(row).startsWith(typed, Qt::CaseSensitive)) expected << list->itemText(row);
    QTest::sendKeyEvent(QTest::Click, list->lineEdit(), Qt::Key_unknown, typed, Qt::NoModifier);
    QCOMPARE(list->currentText(), typed);
    QVERIFY(list->completer() != nullptr);
    QStringList suggested;
    QAbstractItemModel* suggestions = list->completer()->completionModel();
    for (int row = 0; row < suggestions->rowCount(); ++row) suggested << suggestions->index(row, 0).data().toString();
    QCOMPARE(suggested, expected);
  }

  // Start-up reads no sample; the menu, opened, holds every sample of the
  // folder, in file name order.
  void theSampleMenuHoldsEverySampleWhenOpened() {
    QTemporaryDir app;
    QVERIFY(QDir().mkpath(app.filePath(QStringLiteral("sample"))));
    const QDir shipped(QStringLiteral(QUILLANE_INSTALL_FOLDER "/sample"));
    const QStringList files = shipped.entryList({QStringLiteral("*.smp")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 10);
    for (const QString& name : files)
      QVERIFY(QFile::copy(shipped.filePath(name), app.filePath(QStringLiteral("sample/") + name)));
    MainWindow window(m_platform, app.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* menu = window.findChild<QMenu*>(QStringLiteral("MenuSample"));
    QVERIFY(menu->actions().isEmpty());
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(menu->isVisible());
    QStringList captions;
    for (const QAction* entry : menu->actions()) captions << entry->text();
    menu->close();
    const std::vector<SampleEntry> samples = listSamples(app.filePath(QStringLiteral("sample")).toStdString());
    QCOMPARE(samples.size(), std::size_t(files.size()));
    QStringList expected;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      QCOMPARE(QFileInfo(QString::fromStdString(samples[i].path)).fileName(), files[qsizetype(i)]);
      expected << QStringLiteral("&%1 ").arg(QLatin1Char("1234567890ABCDEF"[i])) +
                      QString::fromStdString(samples[i].caption).replace(QLatin1Char('&'), QStringLiteral("&&"));
    }
    QCOMPARE(captions, expected);
  }

  // The editor's style draws a group box's frame itself, to read its
  // picture without the image plug-ins: the pixels are Fusion's own.
  void aGroupBoxFrameIsDrawnAsFusionDrawsIt_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("checkable");
    QTest::newRow("titled") << QStringLiteral("背景画像") << false;
    QTest::newRow("no title") << QString() << false;
    QTest::newRow("with a check box") << QStringLiteral("変更する所") << true;
  }
  void aGroupBoxFrameIsDrawnAsFusionDrawsIt() {
    QFETCH(QString, title);
    QFETCH(bool, checkable);
    auto* editorStyle = qobject_cast<QProxyStyle*>(QApplication::style());
    QVERIFY(editorStyle != nullptr);
    if (editorStyle->baseStyle()->name() != QLatin1String("fusion")) QSKIP("the platform's style is not Fusion");
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("fusion")));
    const auto drawn = [&](QStyle* style) {
      QGroupBox box(title);
      box.setCheckable(checkable);
      if (style != nullptr) box.setStyle(style);
      box.resize(240, 90);
      return box.grab().toImage();
    };
    const QImage ours = drawn(nullptr);
    QCOMPARE(ours, drawn(fusion.get()));
    QVERIFY(ours.pixel(120, 88) != ours.pixel(120, 60));  // a frame was drawn
  }

  void titlePictureIsTheStoredPicture() {
    TitleWindow title(15, 15);
    auto* picture = title.findChild<QWidget*>(QStringLiteral("Image1"));
    QCOMPARE(picture->size(), QSize(375, 300));
    const QImage shown = picture->grab().toImage();
    const QImage stored(QStringLiteral(":/title.ppm"));
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), stored.convertToFormat(QImage::Format_RGB32));
  }

  // The picture goes at a click on it or at any key, which does nothing
  // else; the keyboard is then the editor's, without a click.
  void theTitleClosesAtAnyKeyAndLeavesTheKeyboardToTheEditor_data() {
    QTest::addColumn<int>("key");  // 0: a click on the picture
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("a letter") << int(Qt::Key_A);
    QTest::newRow("Ctrl, the first key of Ctrl+O") << int(Qt::Key_Control);
    QTest::newRow("a click") << 0;
  }
  void theTitleClosesAtAnyKeyAndLeavesTheKeyboardToTheEditor() {
    QFETCH(int, key);
    auto editor = shownWindow();
    QPointer<TitleWindow> title = new TitleWindow(15, 15, editor.get());
    title->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(title));
    // Keys go where the keyboard is at the moment each is pressed.
    const auto press = [](Qt::Key pressed, Qt::KeyboardModifiers with = Qt::NoModifier) {
      QWindow* focus = QGuiApplication::focusWindow();
      QVERIFY(focus != nullptr);
      QTest::keyClick(focus, pressed, with);
    };
    if (key == 0)
      QTest::mouseClick(title->findChild<QWidget*>(QStringLiteral("Image1")), Qt::LeftButton);
    else
      press(Qt::Key(key));
    QTRY_VERIFY(title.isNull());
    QTRY_COMPARE(QApplication::activeWindow(), editor.get());
    QCOMPARE(editor->undoStack()->count(), 0);
    QVERIFY(m_platform.dialogs.empty());

    press(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(m_platform.dialogs.size(), std::size_t(1));
    QCOMPARE(m_platform.dialogs.back().mode, FileDialogMode::Open);
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(focus != nullptr && focus->window() == editor.get());
    press(Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != focus);
    press(Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->title(), QStringLiteral("ファイル(&F)"));
    menu->close();
  }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
