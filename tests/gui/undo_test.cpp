// Undo and redo in the editor window under the offscreen platform: each kind
// of edit is one step, typing into one box is one step, and undo brings back
// the widgets, their enable states, the swatches and the scrollbar picture.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QUndoStack>

#include "editor/application_setup.h"
#include "editor/colour_swatch.h"
#include "editor/main_window.h"
#include "editor/scrollbar_preview.h"
#include "editor_controls.h"
#include "fake_platform.h"

using namespace quillane;

namespace {

// What the user sees of the window: every control's value and whether it
// can be used, the swatches, the tab captions and the scrollbar picture.
// Which page of a tab strip is in front is left out: undo leaves that where
// the user is.
struct Screen {
  QMap<QString, QString> controls;
  QImage scrollbarPicture;

  bool operator==(const Screen&) const = default;
};

Screen screenOf(const MainWindow& window) {
  Screen screen;
  for (QWidget* w : window.controls().all()) {
    QString value = w->isEnabled() ? QStringLiteral("on|") : QStringLiteral("off|");
    if (auto* edit = qobject_cast<QLineEdit*>(w))
      value += edit->text();
    else if (auto* list = qobject_cast<QComboBox*>(w))
      value += list->currentText();
    else if (auto* check = qobject_cast<QCheckBox*>(w))
      value += QString::number(check->checkState()) + check->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
      value += QString::number(button->isChecked());
    else if (auto* slider = qobject_cast<QSlider*>(w))
      value += QString::number(slider->value());
    else if (auto* swatch = qobject_cast<ColourSwatch*>(w))
      value += swatch->colour().name();
    else if (auto* tabs = qobject_cast<QTabWidget*>(w))
      for (int k = 0; k < tabs->count(); ++k) value += tabs->tabText(k) + QLatin1Char('|');
    screen.controls.insert(w->objectName(), value);
  }
  screen.scrollbarPicture = window.scrollbarPreview()->picture();
  return screen;
}

// The settings of a document; the class page in view is not one.
StyleDocument settingsOf(StyleDocument doc) {
  doc.currentClassTab = 0;
  return doc;
}

QString describeDifference(const Screen& expected, const Screen& actual) {
  for (auto it = expected.controls.begin(); it != expected.controls.end(); ++it)
    if (actual.controls.value(it.key()) != it.value())
      return it.key() + QStringLiteral(": expected ") + it.value() + QStringLiteral(", shown ") +
             actual.controls.value(it.key());
  return expected.scrollbarPicture != actual.scrollbarPicture ? QStringLiteral("the scrollbar picture") : QString();
}

}  // namespace

class UndoTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  std::unique_ptr<MainWindow> m_window;

  template <class T = QWidget>
  T* control(std::string_view family, int index = kNoIndex) const {
    return testing::requireControl<T>(*m_window, family, index);
  }
  QUndoStack* stack() const { return m_window->undoStack(); }
  QAction* action(const char* name) const { return m_window->findChild<QAction*>(QString::fromLatin1(name)); }
  // Gives a box the focus and types over its text, as a user does.
  void typeInto(std::string_view family, int index, const QString& text) {
    auto* edit = control<QLineEdit>(family, index);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

 private Q_SLOTS:
  void initTestCase() { setUpEditorApplication(); }
  void init() {
    m_platform = {};
    m_window = std::make_unique<MainWindow>(m_platform, QStringLiteral("/opt/quillane"));
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
  }
  void cleanup() { m_window.reset(); }

  void nothingToUndoAtStart() {
    QCOMPARE(stack()->count(), 0);
    QVERIFY(!action("MenuUndo")->isEnabled());
    QVERIFY(!action("MenuRedo")->isEnabled());
    QCOMPARE(action("MenuUndo")->text(), QStringLiteral("元に戻す(&U)"));
    QCOMPARE(action("MenuUndo")->shortcuts(), QList<QKeySequence>{QKeySequence(QKeySequence::Undo)});
    QCOMPARE(action("MenuRedo")->text(), QStringLiteral("やり直し(&R)"));
    QCOMPARE(action("MenuRedo")->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                                                   QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
  }

  // Every kind of edit, one step each; undoing them one by one shows each
  // earlier screen again exactly, and redoing them each later one.
  void eachKindOfEditIsOneStepThatUndoShowsAsItWas() {
    QSignalSpy changes(m_window.get(), &MainWindow::documentChanged);
    std::vector<Screen> screens{screenOf(*m_window)};
    std::vector<StyleDocument> documents{m_window->document()};
    const auto step = [&](const char* what, const std::function<void()>& edit) {
      const qsizetype changesBefore = changes.count();
      edit();
      screens.push_back(screenOf(*m_window));
      documents.push_back(m_window->document());
      QVERIFY2(stack()->count() == static_cast<int>(screens.size()) - 1, what);
      // Once a change: typing changes the document at every key.
      const qsizetype expected = changesBefore + (std::string_view(what).starts_with("type") ? 6 : 1);
      QVERIFY2(changes.count() == expected, what);
    };
    step("tick a slot", [&] { control<QCheckBox>("Check7", kSlotBody)->click(); });
    step("type a colour", [&] { typeInto("Text3", 19, QStringLiteral("3366CC")); });
    step("pick a colour", [&] {
      m_platform.colourChoices = {0x0000FFu};
      m_window->pickColour("Text3", 18);
    });
    step("tick a scrollbar row", [&] { control<QCheckBox>("Check6", 12)->click(); });
    step("type its colour", [&] { typeInto("Text3", 12, QStringLiteral("00FF00")); });
    step("choose a list entry", [&] { control<QComboBox>("Combo2", kSlotBody)->setCurrentIndex(3); });
    step("tick a class", [&] { control<QCheckBox>("Check12", 2)->click(); });
    step("select an option", [&] { control<QRadioButton>("Option10", 2)->click(); });
    step("move a slider", [&] { control<QSlider>("Slider1", 2)->setValue(20); });
    step("rename a class", [&] {
      m_platform.promptReplies = {"見出し"};
      m_window->renameCurrentClass();
    });
    step("choose the output format", [&] { control<QRadioButton>("Option6")->click(); });
    step("choose a folder", [&] {
      m_platform.folderChoices = {std::string("/srv/web")};
      m_window->Command5_Click();
    });
    QVERIFY(action("MenuUndo")->isEnabled());
    QVERIFY(!action("MenuRedo")->isEnabled());

    changes.clear();
    for (std::size_t k = screens.size() - 1; k > 0; --k) {
      action("MenuUndo")->trigger();
      QVERIFY2(screenOf(*m_window) == screens[k - 1],
               qPrintable(describeDifference(screens[k - 1], screenOf(*m_window))));
      QVERIFY(settingsOf(m_window->document()) == settingsOf(documents[k - 1]));
    }
    QVERIFY(!action("MenuUndo")->isEnabled());
    QVERIFY(action("MenuRedo")->isEnabled());
    for (std::size_t k = 1; k < screens.size(); ++k) {
      action("MenuRedo")->trigger();
      QVERIFY2(screenOf(*m_window) == screens[k], qPrintable(describeDifference(screens[k], screenOf(*m_window))));
      QVERIFY(settingsOf(m_window->document()) == settingsOf(documents[k]));
    }
    // One change signal for every undo and redo; none for the screen being
    // brought in line.
    QCOMPARE(changes.count(), 2 * (static_cast<qsizetype>(screens.size()) - 1));
    QCOMPARE(stack()->count(), static_cast<int>(screens.size()) - 1);
  }

  void typingIntoOneBoxIsOneStepUntilTheFocusMoves() {
    control<QCheckBox>("Check7", 0)->click();
    const int start = stack()->count();
    auto* weight = control<QLineEdit>("Text4", 0);
    typeInto("Text4", 0, QStringLiteral("700"));
    QCOMPARE(stack()->count(), start + 1);
    typeInto("Text1", 0, QStringLiteral("12"));  // another box
    QCOMPARE(stack()->count(), start + 2);
    typeInto("Text4", 0, QStringLiteral("8"));  // back again: a new step
    QTest::keyClicks(weight, QStringLiteral("00"));
    QCOMPARE(stack()->count(), start + 3);
    QCOMPARE(m_window->document().slots[0].weight, std::string("800"));

    // Leaving the box and coming back starts a step too.
    control<QWidget>("Check1", 0)->setFocus();
    QTRY_VERIFY(control<QWidget>("Check1", 0)->hasFocus());
    weight->setFocus();
    QTest::keyClicks(weight, QStringLiteral("1"));
    QCOMPARE(stack()->count(), start + 4);

    // Ctrl+Z in the box undoes a whole run of typing, not one letter, and
    // Ctrl+Y and Ctrl+Shift+Z bring it back.
    QTest::keyClick(weight, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(weight->text(), QStringLiteral("800"));
    QTest::keyClick(weight, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(weight->text(), QStringLiteral("700"));
    QCOMPARE(m_window->document().slots[0].weight, std::string("700"));
    QTest::keyClick(weight, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(weight->text(), QStringLiteral("800"));
    QTest::keyClick(weight, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(weight->text(), QStringLiteral("8001"));
    // With nothing left to redo the key does nothing at all.
    QTest::keyClick(weight, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(weight->text(), QStringLiteral("8001"));
    QCOMPARE(stack()->count(), start + 4);

    // Typing after an undo starts afresh rather than joining the undone step.
    QTest::keyClick(weight, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClicks(weight, QStringLiteral("9"));
    QCOMPARE(stack()->count(), start + 4);
    QCOMPARE(stack()->index(), start + 4);
    QCOMPARE(m_window->document().slots[0].weight, std::string("8009"));
    action("MenuUndo")->trigger();
    QCOMPARE(weight->text(), QStringLiteral("800"));
  }

  // As in a box of the first page (above): in a box on a page built on
  // first use, in one of many lines and in an editable list, the undo keys
  // undo and redo the document's steps rather than the box's own typing,
  // and typing there is one step until the focus moves.
  void theUndoKeysInEveryBoxWorkOnTheDocument_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("page");
    QTest::newRow("one line, built on first use") << "Text9" << kNoIndex << 3;
    QTest::newRow("many lines") << "KeptStyle" << kNoIndex << 6;
    QTest::newRow("an editable list") << "Combo1" << 0 << 0;
  }
  void theUndoKeysInEveryBoxWorkOnTheDocument() {
    QFETCH(QString, family);
    QFETCH(int, index);
    QFETCH(int, page);
    control<QTabWidget>("SSTab1")->setCurrentIndex(page);
    auto* box = control<QWidget>(family.toStdString(), index);
    const auto text = [box] {
      if (auto* list = qobject_cast<QComboBox*>(box)) return list->currentText();
      auto* line = qobject_cast<QLineEdit*>(box);
      return line != nullptr ? line->text() : qobject_cast<QPlainTextEdit*>(box)->toPlainText();
    };
    // Keys as the keyboard sends them: to whatever has the focus.
    const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      QTest::keyClick(m_window->windowHandle(), key, modifiers);
    };
    auto* tick = control<QCheckBox>("Check7", 0);
    tick->click();
    const QString before = text();
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    QTest::keyClicks(box, QStringLiteral("ab"));
    const QString typed = text();
    QCOMPARE(typed, before + QStringLiteral("ab"));
    press(Qt::Key_Tab);
    QVERIFY(!box->hasFocus());
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(box->hasFocus());
    press(Qt::Key_End);  // a box reached with Tab has its text selected
    QTest::keyClicks(box, QStringLiteral("c"));
    QCOMPARE(stack()->count(), 3);

    press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(text(), typed);
    press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(text(), before);
    press(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!tick->isChecked());
    QCOMPARE(stack()->index(), 0);
    press(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(tick->isChecked());
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(text(), typed);
    press(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(text(), typed + QStringLiteral("c"));
    QCOMPARE(stack()->index(), 3);
  }

  // The suggestions that pop up under an editable list do not split the typing.
  void typingIntoAListIsOneStep() {
    control<QCheckBox>("Check7", 0)->click();
    const int start = stack()->count();
    auto* units = control<QComboBox>("Combo3", 0);
    units->setFocus();
    units->lineEdit()->selectAll();
    for (const QChar c : QStringLiteral("ミリメ"))
      QTest::sendKeyEvent(QTest::Click, units->lineEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    QVERIFY(QApplication::activePopupWidget() != nullptr);
    QCOMPARE(m_window->document().slots[0].sizeUnit, std::string("ミリメ"));
    QCOMPARE(stack()->count(), start + 1);
    action("MenuUndo")->trigger();
    QCOMPARE(units->currentText(), QStringLiteral("ピクセル"));
  }

  void typingThatEndsWhereItStartedLeavesNoStep() {
    control<QCheckBox>("Check7", 0)->click();
    const int start = stack()->count();
    typeInto("Text4", 0, QStringLiteral("12"));
    QTest::keyClick(control<QLineEdit>("Text4", 0), Qt::Key_Backspace);
    QTest::keyClick(control<QLineEdit>("Text4", 0), Qt::Key_Backspace);
    QCOMPARE(stack()->count(), start);
    QCOMPARE(stack()->index(), start);
  }

  void aSliderDragIsOneStep() {
    control<QCheckBox>("Check12", 0)->click();
    const int start = stack()->count();
    auto* slider = control<QSlider>("Slider1", 0);
    slider->setSliderDown(true);
    for (int v : {45, 40, 30}) slider->setValue(v);
    slider->setSliderDown(false);
    QCOMPARE(stack()->count(), start + 1);
    slider->setSliderDown(true);
    slider->setValue(10);
    slider->setSliderDown(false);
    QCOMPARE(stack()->count(), start + 2);
    action("MenuUndo")->trigger();
    QCOMPARE(slider->value(), 30);
    QCOMPARE(control<QLineEdit>("Text2", 0)->text(), QStringLiteral("30"));
    action("MenuUndo")->trigger();
    QCOMPARE(slider->value(), 50);
    QCOMPARE(control<QLineEdit>("Text2", 0)->text(), QStringLiteral("50"));
  }

  // Redo runs the rules a load runs: ticking a class shows its page, and an
  // image option sets its path box as a click on it would.
  void undoAndRedoRunTheRulesAsALoadDoes() {
    auto* classes = control<QTabWidget>("SSTab4");
    control<QCheckBox>("Check12", 4)->click();
    QCOMPARE(classes->currentIndex(), 4);
    action("MenuUndo")->trigger();
    QVERIFY(!control<QWidget>("Text14", 4)->isEnabled());
    classes->setCurrentIndex(1);
    action("MenuRedo")->trigger();
    QCOMPARE(classes->currentIndex(), 4);
    QVERIFY(control<QWidget>("Text14", 4)->isEnabled());
    QCOMPARE(m_window->document().currentClassTab, 4);

    control<QCheckBox>("Check7", 2)->click();
    control<QRadioButton>("Option4", 2)->click();
    QVERIFY(control<QWidget>("Text6", 2)->isEnabled());
    action("MenuUndo")->trigger();
    QVERIFY(control<QRadioButton>("Option3", 2)->isChecked());
    QVERIFY(!control<QWidget>("Text6", 2)->isEnabled());
    QCOMPARE(m_window->document().slots[2].useImage, Choice::Second);
  }

  // The window's own fields that no setting holds are not steps.
  void switchingPagesRecordsNothing() {
    control<QTabWidget>("SSTab4")->setCurrentIndex(3);
    control<QTabWidget>("SSTab2")->setCurrentIndex(2);
    control<QTabWidget>("SSTab1")->setCurrentIndex(1);
    QCOMPARE(stack()->count(), 0);
    m_window->refreshFromDocument();
    QCOMPARE(stack()->count(), 0);
  }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
