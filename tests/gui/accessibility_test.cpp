// What assistive technology reads of the editor: every control on every
// page named, no two alike on one page, each in its right role; swatches
// saying their colour; the class tabs renamed from the keyboard; the focus
// seen on the smallest boxes.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaEnum>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <map>

#include "editor/application_setup.h"
#include "editor/link_window.h"
#include "editor/main_window.h"
#include "fake_platform.h"

using namespace quillane;

namespace {

// The role each family of the design must have.
const std::pair<const char*, QAccessible::Role> kRoles[] = {
    {"Option", QAccessible::RadioButton}, {"Check", QAccessible::CheckBox},     {"Combo", QAccessible::ComboBox},
    {"Text", QAccessible::EditableText},  {"Command", QAccessible::PushButton}, {"Slider", QAccessible::Slider},
    {"Shape", QAccessible::Graphic},      {"VScroll", QAccessible::ScrollBar},  {"HScroll", QAccessible::ScrollBar},
};

// The roles a user acts on, which must each have a name. A tab list is
// named by Qt as its current tab; its tabs are counted.
bool interactive(QAccessible::Role role) {
  switch (role) {
    case QAccessible::EditableText:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::ScrollBar:
    case QAccessible::PageTab:
    case QAccessible::Graphic:
      return true;
    default:
      return false;
  }
}

QString nameOf(QAccessibleInterface* node) { return node->text(QAccessible::Name); }

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  std::unique_ptr<MainWindow> m_window;
  QStringList m_faults;
  std::map<QAccessible::Role, int> m_counts;

  template <class T = QWidget>
  T* control(std::string_view family, int index = kNoIndex) const {
    return m_window->controls().get<T>(family, index);
  }
  QAccessibleInterface* accessible(std::string_view family, int index = kNoIndex) const {
    return QAccessible::queryAccessibleInterface(control(family, index));
  }

  // Walks the visible part of the tree under `node`; the text box inside a
  // list speaks for the list, and is not counted apart from it.
  void collect(QAccessibleInterface* node, QList<QAccessibleInterface*>& found) const {
    for (int k = 0; k < node->childCount(); ++k) {
      QAccessibleInterface* child = node->child(k);
      if (child == nullptr || child->state().invisible) continue;
      if (interactive(child->role())) found << child;
      if (child->role() != QAccessible::ComboBox) collect(child, found);
    }
  }

  void checkPage(const QString& page, QWidget* window = nullptr) {
    QCoreApplication::processEvents();
    QList<QAccessibleInterface*> found;
    collect(QAccessible::queryAccessibleInterface(window != nullptr ? window : m_window.get()), found);
    QHash<QString, int> seen;
    for (QAccessibleInterface* node : found) {
      ++m_counts[node->role()];
      const QString name = nameOf(node);
      const QString design = node->object() != nullptr ? node->object()->objectName() : QString();
      if (name.trimmed().isEmpty()) m_faults << page + ": " + design + " has no name";
      if (++seen[name] == 2) m_faults << page + ": two controls are called " + name;
      for (const auto& [family, role] : kRoles)
        if (design.startsWith(QLatin1String(family)) && node->role() != role)
          m_faults << page + ": " + design + " is a " +
                          QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role());
    }
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

  void everyControlOnEveryPageHasItsOwnNameAndRole() {
    m_faults.clear();
    m_counts.clear();
    auto* tabs = control<QTabWidget>("SSTab1");
    auto* slots = control<QTabWidget>("SSTab2");
    auto* classes = control<QTabWidget>("SSTab4");
    int pages = 0;
    for (int t = 0; t < tabs->count(); ++t) {
      tabs->setCurrentIndex(t);
      QTabWidget* inner = t == 0 ? slots : t == 2 ? classes : nullptr;
      for (int p = 0; p < (inner != nullptr ? inner->count() : 1); ++p, ++pages) {
        if (inner != nullptr) inner->setCurrentIndex(p);
        checkPage(tabs->tabText(t) + (inner != nullptr ? "/" + inner->tabText(p) : QString()));
      }
    }
    QCOMPARE(pages, kTagSlotCount + kUserClassCount + 5);
    QStringList counts;
    for (const auto& [role, count] : m_counts)
      counts << QStringLiteral("%1 %2").arg(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role)).arg(count);
    qInfo().noquote() << "interactive controls over" << pages << "pages:" << counts.join(QStringLiteral(", "));
    if (!m_faults.isEmpty()) qWarning().noquote() << m_faults.join(QLatin1Char('\n'));
    QVERIFY2(m_faults.isEmpty(), qPrintable(QStringLiteral("%1 faults").arg(m_faults.size())));
    // Two option buttons on a slot page, four on a class page and on the
    // output tab: all of them radio buttons.
    QCOMPARE(m_counts[QAccessible::RadioButton], kTagSlotCount * 2 + kUserClassCount * 4 + 4);
  }

  // Names say where a control is; a class's follow its name.
  void namesSayThePlaceAndFollowTheClassName() {
    const std::pair<QAccessibleInterface*, const char*> cases[] = {
        {accessible("Text3", 0), "段落 フォントカラー"},
        {accessible("Command2", 19), "ページ本体 バックの色 作る"},
        {accessible("Shape1", 12), "スクロールバー 設定 メインの色 色見本"},
        {accessible("Check6", 12), "スクロールバー 設定 メインの色 チェック"},
        {accessible("Combo3", 1), "リンク フォントサイズ 単位"},
        {accessible("Command4", 5), "ページ本体 背景画像 画像ファイルの場所 参照"},
        {accessible("Command5"), "出力 スタイルシート 保存先(フォルダを選択) 参照"},
        {accessible("Command6"), "出力する"},
        {accessible("VScroll1"), "タブの領域 縦スクロールバー"},
        {accessible("ComboGradient", 5), "ページ本体 グラデーション 種類"},
        {accessible("CommandGradient3", 0), "段落 グラデーション 色3 作る"},
        {accessible("CheckDark"), "ダークモード ダークモードの色も書き出す"},
        {accessible("Command2Dark", 19), "ダークモード タグの色 ページ本体のバックの色 作る"},
        {accessible("Shape1Dark", 13), "ダークモード スクロールバーの色 枠（左上、外） 色見本"},
        {accessible("Text13Dark", 2), "ダークモード エフェクトの色 efect2 消す色"},
    };
    for (const auto& [node, name] : cases) QCOMPARE(nameOf(node), QString::fromUtf8(name));
    QCOMPARE(accessible("Combo1", 0)->text(QAccessible::Value), QString());
    control<QComboBox>("Combo3", 1)->setEditText(QStringLiteral("px"));
    QCOMPARE(accessible("Combo3", 1)->text(QAccessible::Value), QStringLiteral("px"));

    // F2 on the class tabs renames the class shown.
    auto* classes = control<QTabWidget>("SSTab4");
    control<QTabWidget>("SSTab1")->setCurrentIndex(2);
    classes->setCurrentIndex(1);
    classes->tabBar()->setFocus();
    m_platform.promptReplies = {"見出し"};
    QTest::keyClick(classes->tabBar(), Qt::Key_F2);
    QCOMPARE(m_window->document().classes[1].className, "見出し");
    QCOMPARE(nameOf(accessible("Text2", 1)), QStringLiteral("見出し 半透明にする 不透明度"));
    QCOMPARE(nameOf(accessible("Command9", 1)), QStringLiteral("見出し 光る 色 作る"));
    QCOMPARE(nameOf(accessible("Text21Dark", 1)), QStringLiteral("ダークモード エフェクトの色 見出し 光る色"));
    auto* row = qobject_cast<QLabel*>(control("LabelClass", 1));
    QCOMPARE(row->text(), QStringLiteral("見出し"));
    QCOMPARE(row->toolTip(), QString());

    // ... and so does its context menu: on the tab clicked, or from the
    // keyboard on the current tab, wherever the bar puts the menu.
    QTabBar* bar = classes->tabBar();
    const std::tuple<QContextMenuEvent::Reason, QPoint, const char*, int> requests[] = {
        {QContextMenuEvent::Mouse, bar->tabRect(3).center(), "本文", 3},
        {QContextMenuEvent::Keyboard, bar->tabRect(0).center(), "注記", 3},
    };
    for (const auto& [reason, at, name, renamed] : requests) {
      m_platform.promptReplies = {name};
      QTimer::singleShot(0, this, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("名前の変更(&M)…"));
        QTest::keyClick(menu, Qt::Key_M);
      });
      QContextMenuEvent request(reason, at, bar->mapToGlobal(at));
      QApplication::sendEvent(bar, &request);
      QCOMPARE(m_window->document().classes[static_cast<std::size_t>(renamed)].className, name);
    }
    QCOMPARE(nameOf(accessible("Option9", 3)), QStringLiteral("注記 対象 文字列"));
  }

  // A swatch says its colour, in words and hexadecimal, as it changes.
  void swatchesSayTheirColour() {
    QAccessibleInterface* swatch = accessible("Shape1", 0);
    control<QLineEdit>("Text3", 0)->setText(QStringLiteral("FF0000"));
    QCOMPARE(swatch->text(QAccessible::Description), QStringLiteral("赤 #FF0000"));
    control<QLineEdit>("Text3", 0)->setText(QStringLiteral("000080"));
    QCOMPARE(swatch->text(QAccessible::Description), QStringLiteral("暗い青 #000080"));
  }

  // The link window: every control named, every button with its own access
  // key and its caption whole.
  void theLinkWindowIsNamedAndKeyed() {
    QWidget* form4 = m_window->linkWindow();
    form4->show();
    QVERIFY(QTest::qWaitForWindowExposed(form4));
    m_faults.clear();
    checkPage(QStringLiteral("Form4"), form4);
    QVERIFY2(m_faults.isEmpty(), qPrintable(m_faults.join(QLatin1Char('\n'))));
    QSet<QString> keys;
    for (QAbstractButton* button : form4->findChildren<QAbstractButton*>()) {
      const QString key = QKeySequence::mnemonic(button->text()).toString();
      QVERIFY2(!key.isEmpty() && !keys.contains(key), qPrintable(button->text()));
      keys << key;
      const QString shown = QString(button->text()).remove(QLatin1Char('&'));
      const int needs = qobject_cast<QPushButton*>(button) ? button->fontMetrics().horizontalAdvance(shown) + 8
                                                           : button->sizeHint().width();
      QVERIFY2(button->width() >= needs, qPrintable(shown));
    }
    QCOMPARE(keys.size(), 6);
  }

  // The scrollbar rows' check boxes have no words for the style to outline:
  // focused, they show a 2-pixel frame in the highlight colour, in a light
  // and a dark palette. With QUILLANE_ARTIFACTS set, the pictures are kept.
  void smallBoxesShowTheirFocusInLightAndDark() {
    QPalette dark;
    for (auto [role, colour] : {std::pair{QPalette::Window, 0x353535},
                                {QPalette::Base, 0x242424},
                                {QPalette::WindowText, 0xE0E0E0},
                                {QPalette::Button, 0x353535},
                                {QPalette::Highlight, 0x3D8EE6}})
      dark.setColor(role, QColor(QRgb(colour)));
    const std::pair<const char*, QPalette> themes[] = {{"light", QApplication::palette()}, {"dark", dark}};
    control<QTabWidget>("SSTab1")->setCurrentIndex(1);
    auto* box = control<QCheckBox>("Check6", 12);
    for (const auto& [theme, palette] : themes) {
      m_window->setPalette(palette);
      box->setFocus(Qt::TabFocusReason);
      QTRY_VERIFY(box->hasFocus());
      const QImage shot = box->grab().toImage();
      const QRgb highlight = palette.color(QPalette::Highlight).rgb();
      for (QPoint at : {QPoint(0, 0), QPoint(1, shot.height() / 2), QPoint(shot.width() - 1, shot.height() - 2)})
        QCOMPARE(QColor(shot.pixel(at)).name(), QColor(highlight).name());
      if (const QString folder = qEnvironmentVariable("QUILLANE_ARTIFACTS"); !folder.isEmpty()) {
        const QRect around(box->mapTo(m_window.get(), QPoint(-40, -20)), box->size() + QSize(200, 40));
        QCoreApplication::processEvents();
        const QPixmap picture = QGuiApplication::platformName() == QLatin1String("xcb")
                                    ? m_window->screen()->grabWindow(m_window->winId(), around.x(), around.y(),
                                                                     around.width(), around.height())
                                    : m_window->grab(around);
        QVERIFY(picture.save(QStringLiteral("%1/focus-%2.png").arg(folder, theme)));
      }
      box->clearFocus();
      QVERIFY(box->grab().toImage().pixel(0, 0) != highlight);
    }
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
