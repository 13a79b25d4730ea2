// The editor window under the offscreen platform: start-up state, enable
// rules, colour entry, the dark tab and the gradients, renaming, resizing and
// the scrollbar picture.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "editor/application_setup.h"
#include "editor/colour_swatch.h"
#include "editor/main_window.h"
#include "editor/qt_platform.h"
#include "editor/resize_rule.h"
#include "editor/scrollbar_preview.h"
#include "editor/text_shaping.h"
#include "editor/title_window.h"
#include "editor_controls.h"
#include "fake_platform.h"
#include "generation/advice.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

using namespace quillane;

class EditorTest : public QObject {
  Q_OBJECT

 private:
  testing::FakePlatform m_platform;
  std::unique_ptr<MainWindow> m_window;

  template <class T = QWidget>
  T* control(std::string_view family, int index = kNoIndex) const {
    return testing::requireControl<T>(*m_window, family, index);
  }
  bool enabled(std::string_view family, int index = kNoIndex) const { return control(family, index)->isEnabled(); }
  QRgb pixel(int x, int y) const { return m_window->scrollbarPreview()->picture().pixel(x, y) & 0xFFFFFF; }
  QRgb swatchRgb(std::string_view family, int index) const {
    return control<ColourSwatch>(family, index)->colour().rgb() & 0xFFFFFF;
  }
  void type(std::string_view family, int index, const QString& text) {
    auto* edit = control<QLineEdit>(family, index);
    edit->selectAll();  // the first key replaces the old text, as a user's would
    QTest::keyClicks(edit, text);
  }

 private Q_SLOTS:
  // The face and the translations the program itself uses.
  void initTestCase() { setUpEditorApplication(); }
  void init() {
    m_platform = {};
    m_window = std::make_unique<MainWindow>(m_platform, QStringLiteral("/opt/quillane"));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
  }
  void cleanup() { m_window.reset(); }

  void startUpBringsEveryControlInLine() {
    QCOMPARE(m_window->applicationFolder(), std::string("/opt/quillane/"));
    auto* tabs = control<QTabWidget>("SSTab1");
    QStringList captions;
    for (int k = 0; k < tabs->count(); ++k) captions << tabs->tabText(k);
    QCOMPARE(captions, (QStringList{"基本", "スクロールバー", "エフェクト", "出力", "ダークモード", "Webフォント",
                                    "そのほかのスタイル"}));
    for (int c = 0; c < kUserClassCount; ++c)
      QCOMPARE(control<QCheckBox>("Check12", c)->text(), QStringLiteral("efect%1").arg(c));
    QCOMPARE(control<QTabWidget>("SSTab4")->currentIndex(), 0);

    // Every slot and class is off, so its controls are disabled.
    for (int i = 0; i < kTagSlotCount; ++i) {
      QVERIFY(!enabled("Combo1", i));
      QVERIFY(!enabled("Text6", i));
      QVERIFY(!enabled("Slider1", i));
    }
    for (int k = 11; k <= 17; ++k) QVERIFY(!enabled("Text3", k));
    // HTML is the chosen format.
    QVERIFY(enabled("Text9") && enabled("Frame7"));
    QVERIFY(!enabled("Text7") && !enabled("Frame8"));
    for (const char* f : {"Label18", "Label19", "Text5", "Text12", "Check10", "Check11"}) QVERIFY(!enabled(f));

    // Swatches, defaults and the font lists.
    QCOMPARE(swatchRgb("Shape1", 12), QRgb(0xBFBFBF));
    QCOMPARE(swatchRgb("Shape1", 17), QRgb(0xEFEFEF));
    QCOMPARE(control<QComboBox>("Combo3", 0)->currentText(), QStringLiteral("ピクセル"));
    QCOMPARE(control<QComboBox>("Combo2", 5)->count(), 12);
    QVERIFY(control<QRadioButton>("Option3", 2)->isChecked());
    QVERIFY(control<QRadioButton>("Option9", 2)->isChecked());
    QCOMPARE(control<QLineEdit>("Text8")->text(), QStringLiteral("style.css"));
    QVERIFY(!control<QCheckBox>("Check28")->isChecked() && enabled("Check28"));
    auto* first = control<QComboBox>("Combo1", 0);
    QVERIFY(first->currentText().isEmpty());
    first->showPopup();  // the lists are filled by the time one opens
    first->hidePopup();
    QVERIFY(first->currentText().isEmpty());
    QVERIFY(first->count() > 0);
    // Family names as browsers match them: no foundry, each once.
    QSet<QString> names;
    for (int k = 0; k < first->count(); ++k) {
      const QString name = first->itemText(k);
      QVERIFY2(!QRegularExpression(QStringLiteral(" \\[[^]]*\\]$")).match(name).hasMatch(), qPrintable(name));
      QVERIFY2(!names.contains(name), qPrintable(name));
      names.insert(name);
    }
    for (int i = 1; i < kTagSlotCount; ++i) {
      auto* other = control<QComboBox>("Combo1", i);
      QCOMPARE(other->count(), first->count());
      for (int k = 0; k < first->count(); ++k) QCOMPARE(other->itemText(k), first->itemText(k));
    }
    QVERIFY(m_window->document() == StyleDocument{} || m_window->document().currentClassTab == 0);
  }

  // Where two foundries make a family of one name, as on a computer with
  // fonts from two makers, the toolkit lists "DejaVu Sans [PfEd]" and
  // "DejaVu Sans [QLTF]"; the font lists offer "DejaVu Sans" once.
  void fontListsNameAFamilyOfTwoFoundriesOnce() {
    QFile file(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
    if (!file.open(QIODevice::ReadOnly)) QSKIP("DejaVu Sans is not installed");
    QByteArray face = file.readAll();
    // The vendor of the OS/2 table, which fontconfig reads as the foundry.
    const auto word = [&](qsizetype at, int bytes) {
      quint32 value = 0;
      for (int k = 0; k < bytes; ++k) value = value << 8 | static_cast<quint8>(face[at + k]);
      return static_cast<qsizetype>(value);
    };
    for (qsizetype table = 0; table < word(4, 2); ++table)
      if (face.mid(12 + 16 * table, 4) == "OS/2") face.replace(word(12 + 16 * table + 8, 4) + 58, 4, "QLTF");
    const int id = QFontDatabase::addApplicationFontFromData(face);
    QVERIFY(QFontDatabase::families().contains(QStringLiteral("DejaVu Sans [QLTF]")));
    MainWindow window(m_platform, QStringLiteral("/opt/quillane"));
    auto* fonts = testing::requireControl<QComboBox>(window, "Combo1", 0);
    fonts->showPopup();
    fonts->hidePopup();
    QStringList names;
    for (int k = 0; k < fonts->count(); ++k) names << fonts->itemText(k);
    QCOMPARE(names.count(QStringLiteral("DejaVu Sans")), 1);
    QVERIFY(names.filter(QStringLiteral("DejaVu Sans [")).isEmpty());
    QFontDatabase::removeApplicationFont(id);
  }

  void aFolderEndingInASeparatorKeepsJustOne() {
    MainWindow atRoot(m_platform, QStringLiteral("/"));
    QCOMPARE(atRoot.applicationFolder(), std::string("/"));
    MainWindow inFolder(m_platform, QStringLiteral("/opt/q/"));
    QCOMPARE(inFolder.applicationFolder(), std::string("/opt/q/"));
  }

  void tickingASlotEnablesItsControlsAndShowsItsTab() {
    auto* body = control<QCheckBox>("Check7", kSlotBody);
    body->click();
    QCOMPARE(m_window->document().slots[kSlotBody].enabled, 1);
    QCOMPARE(control<QTabWidget>("SSTab2")->currentIndex(), kSlotBody);
    for (const char* f : {"Combo1", "Text1", "Text4", "Combo2", "Check1", "Frame4"}) QVERIFY(enabled(f, kSlotBody));
    QVERIFY(enabled("Check27") && enabled("Text3", 18) && enabled("Text3", 19) && enabled("Command2", 19));
    QVERIFY(!enabled("Text3", 5));
    // The image path follows the slot until an image option is clicked.
    QVERIFY(enabled("Text6", kSlotBody));
    control<QRadioButton>("Option3", kSlotBody)->click();
    QVERIFY(!enabled("Text6", kSlotBody));
    control<QRadioButton>("Option4", kSlotBody)->click();
    QVERIFY(enabled("Text6", kSlotBody) && enabled("Command4", kSlotBody));
    QCOMPARE(m_window->document().slots[kSlotBody].useImage, Choice::First);
    QVERIFY(!control<QRadioButton>("Option3", kSlotBody)->isChecked());

    // Switching off keeps the values.
    type("Text4", kSlotBody, "700");
    body->click();
    QVERIFY(!enabled("Text4", kSlotBody));
    QCOMPARE(m_window->document().slots[kSlotBody].weight, std::string("700"));
    control<QTabWidget>("SSTab2")->setCurrentIndex(0);
    body->click();
    QCOMPARE(control<QLineEdit>("Text4", kSlotBody)->text(), QStringLiteral("700"));
    QCOMPARE(control<QTabWidget>("SSTab2")->currentIndex(), kSlotBody);
  }

  void tickingAClassEnablesItsFramesContents() {
    control<QCheckBox>("Check12", 3)->click();
    QCOMPARE(control<QTabWidget>("SSTab4")->currentIndex(), 3);
    for (const char* f : {"Option9", "Check13", "Check26", "Slider1", "Text13", "Check18", "Text22", "Text20",
                          "Check22", "Text14", "Option12", "Text18", "Text24", "Command11", "Text26"})
      QVERIFY2(enabled(f, 3), f);
    QVERIFY(!enabled("Text14", 2));
    // A filter box does not switch its own frame.
    control<QCheckBox>("Check15", 3)->click();
    control<QCheckBox>("Check15", 3)->click();
    QVERIFY(enabled("Text14", 3));
  }

  void outputFormatAndLinkingPageRules() {
    control<QRadioButton>("Option7")->click();  // with HTML chosen: still off
    QVERIFY(!enabled("Text5"));
    control<QRadioButton>("Option6")->click();
    QCOMPARE(m_window->document().output.format, Choice::Second);
    QVERIFY(!control<QRadioButton>("Option5")->isChecked());
    QVERIFY(enabled("Text7") && enabled("Command5") && enabled("Text5") && enabled("Check11"));
    QVERIFY(!enabled("Text9") && !enabled("Command3") && !enabled("Check8"));
    control<QRadioButton>("Option8")->click();
    QVERIFY(!enabled("Text5") && !enabled("Label19") && !enabled("Check10"));
    QVERIFY(enabled("Option7"));
  }

  void colourTextFillsItsSwatch() {
    control<QCheckBox>("Check7", 0)->click();
    type("Text3", 0, "FF8000");
    QCOMPARE(m_window->document().colours[0], std::string("FF8000"));
    QCOMPARE(swatchRgb("Shape1", 0), QRgb(0xFF8000));
    type("Text3", 0, "G");  // not hexadecimal: the swatch keeps its colour
    QCOMPARE(swatchRgb("Shape1", 0), QRgb(0xFF8000));
    type("Text3", 0, "12");
    QCOMPARE(swatchRgb("Shape1", 0), QRgb(0x120000));
    type("Text3", 0, "00F");  // a browser's blue
    QCOMPARE(swatchRgb("Shape1", 0), QRgb(0x0000FF));
    type("Text3", 0, "lightgoldenrodyellow");  // the longest colour keyword fits
    QCOMPARE(m_window->document().colours[0], std::string("lightgoldenrodyellow"));
    QCOMPARE(swatchRgb("Shape1", 0), QRgb(0xFAFAD2));

    // "作る": the dialog opens at the colour each form the outputs accept
    // means, as the swatch shows it, and the picked colour becomes red-first
    // text.
    const std::pair<const char*, QRgb> forms[] = {{"F80", 0xFF8800},    {"#FF0000", 0xFF0000},   {"red", 0xFF0000},
                                                  {" Gold ", 0xFFD700}, {"#FFFF00", 0xFFFF00},   {"0000FF80", 0x0000FF},
                                                  {"#F808", 0xFF8800},  {"\u3000navy", 0x000080}};
    for (const auto& [text, rgb] : forms) {
      control<QLineEdit>("Text3", 0)->setText(QString::fromUtf8(text));
      QCOMPARE(swatchRgb("Shape1", 0), rgb);
      m_platform.colourStarts.clear();
      m_window->pickColour("Text3", 0);  // cancelled
      QCOMPARE(m_platform.colourStarts.size(), std::size_t(1));
      const std::optional<BgrColour> start = m_platform.colourStarts[0];
      QVERIFY2(start.has_value(), text);
      QCOMPARE(QRgb((redOf(*start) << 16) | (greenOf(*start) << 8) | blueOf(*start)), rgb);
    }
    m_platform.colourChoices = {0xFF0000u, std::nullopt};
    control<QWidget>("Command2", 0)->setFocus();
    m_window->pickColour("Text3", 0);
    QCOMPARE(control<QLineEdit>("Text3", 0)->text(), QStringLiteral("0000FF"));
    m_window->pickColour("Text3", 0);  // cancelled
    QCOMPARE(control<QLineEdit>("Text3", 0)->text(), QStringLiteral("0000FF"));

    control<QCheckBox>("Check12", 1)->click();
    type("Text21", 1, "00FF00");
    QCOMPARE(swatchRgb("Shape3", 1), QRgb(0x00FF00));

    // A dark colour left empty keeps the light one, which its swatch shows
    // until it is filled in.
    QCOMPARE(swatchRgb("Shape3Dark", 1), QRgb(0x00FF00));
    control<QLineEdit>("Text21Dark", 1)->setText(QStringLiteral("102030"));
    QCOMPARE(swatchRgb("Shape3Dark", 1), QRgb(0x102030));
    control<QLineEdit>("Text21", 1)->setText(QStringLiteral("FF0000"));
    QCOMPARE(swatchRgb("Shape3Dark", 1), QRgb(0x102030));
    control<QLineEdit>("Text21Dark", 1)->setText(QString());
    QCOMPARE(swatchRgb("Shape3Dark", 1), QRgb(0xFF0000));
  }

  void anEditableListKeepsExactlyWhatWasTyped() {
    control<QCheckBox>("Check7", 0)->click();
    // Types `text` and Enter into a list, where the user's keys would go.
    const auto typeAndEnter = [](QComboBox* list, const QString& text) {
      list->setFocus();
      list->lineEdit()->selectAll();
      for (const QChar c : text)  // key presses carrying text, as an input method delivers them
        QTest::sendKeyEvent(QTest::Click, list->lineEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
      QWidget* popup = QApplication::activePopupWidget();
      QTest::keyClick(popup != nullptr ? popup : list->lineEdit(), Qt::Key_Return);
    };
    typeAndEnter(control<QComboBox>("Combo3", 0), QStringLiteral("ミ"));
    QCOMPARE(m_window->document().slots[0].sizeUnit, std::string("ミ"));
    typeAndEnter(control<QComboBox>("Combo2", 0), QStringLiteral("サ"));
    QCOMPARE(m_window->document().slots[0].cursorLabel, std::string("サ"));
    typeAndEnter(control<QComboBox>("Combo3", 0), QStringLiteral("ぴくせる"));  // no item matches in any case
    QCOMPARE(m_window->document().slots[0].sizeUnit, std::string("ぴくせる"));
    // The first half of an installed family's name stays half.
    auto* fonts = control<QComboBox>("Combo1", 0);
    fonts->showPopup();
    fonts->hidePopup();
    QVERIFY(fonts->count() > 0);
    const QString family = fonts->itemText(fonts->count() - 1);
    const QString half = family.left(qMax<qsizetype>(1, family.size() / 2));
    typeAndEnter(fonts, half);
    QCOMPARE(m_window->document().slots[0].fontName, half.toStdString());
    // A picked item is taken whole.
    control<QComboBox>("Combo3", 0)->setCurrentIndex(1);
    QCOMPARE(m_window->document().slots[0].sizeUnit, control<QComboBox>("Combo3", 0)->itemText(1).toStdString());
  }

  // The slider writes the text; a typed whole number moves the slider, so
  // the settings file (which keeps the slider) keeps what was typed; other
  // text is written as typed and marked in its box.
  void opacitySliderAndTextFollowEachOther() {
    control<QCheckBox>("Check12", 0)->click();
    auto* slider = control<QSlider>("Slider1", 0);
    auto* box = control<QLineEdit>("Text2", 0);
    slider->setValue(80);
    QCOMPARE(box->text(), QStringLiteral("80"));
    QCOMPARE(m_window->document().classes[0].opacity, std::string("80"));
    const QColor plain = box->palette().color(QPalette::Base);
    type("Text2", 0, "90");
    QCOMPARE(slider->value(), 90);
    QCOMPARE(m_window->document().classes[0].opacitySlider, 90);
    QVERIFY(box->toolTip().isEmpty());
    // The slider follows every whole number on the way ("1", "10", "101").
    const std::pair<const char*, int> unheld[] = {{"9.5", 9}, {"090", 0}, {"101", 10}};
    for (const auto& [text, position] : unheld) {
      type("Text2", 0, QString::fromLatin1(text));
      QCOMPARE(slider->value(), position);
      QCOMPARE(m_window->document().classes[0].opacity, std::string(text));
      QVERIFY(box->palette().color(QPalette::Base) != plain);
      QCOMPARE(box->toolTip(), QStringLiteral("スライダーでは表せない値です。出力には入力したとおりに書き出しますが、"
                                              "設定ファイルにはスライダーの値（%1）が保存されます。")
                                   .arg(position));
    }
    // With the modern output the note says what it writes, and follows the choice.
    type("Text2", 0, QStringLiteral("abc"));
    control<QCheckBox>("Check28")->click();
    QCOMPARE(box->toolTip(),
             QStringLiteral("スライダーでは表せない値です。数値ではないため、今のブラウザ向けの出力では"
                            "「出力する」がこの値を知らせて止まります。設定ファイルにはスライダーの値（10"
                            "）が保存されます。"));
    control<QCheckBox>("Check28")->click();
    QCOMPARE(box->toolTip(), QStringLiteral("スライダーでは表せない値です。出力には入力したとおりに書き出しますが、"
                                            "設定ファイルにはスライダーの値（10）が保存されます。"));
    slider->setValue(40);
    QCOMPARE(box->text(), QStringLiteral("40"));
    QCOMPARE(box->palette().color(QPalette::Base), plain);
  }

  void doubleClickOnTheClassTabsRenamesTheCurrentClass() {
    auto* tabs = control<QTabWidget>("SSTab4");
    tabs->setCurrentIndex(2);
    m_platform.promptReplies = {"見出し 大", ""};
    const QRect rect = tabs->tabBar()->tabRect(2);
    QTest::mouseDClick(tabs->tabBar(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(m_platform.prompts.size(), std::size_t(1));
    QCOMPARE(m_platform.prompts[0], std::string("クラスの名前を変更|クラスの名前を入力してください"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("見出し 大"));
    QCOMPARE(control<QCheckBox>("Check12", 2)->text(), QStringLiteral("見出し 大"));
    QCOMPARE(m_window->document().classes[2].className, std::string("見出し 大"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("efect1"));
    m_window->renameCurrentClass();  // an empty answer keeps the name
    QCOMPARE(tabs->tabText(2), QStringLiteral("見出し 大"));
    // A single click asks nothing.
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(4).center());
    QCOMPARE(m_platform.prompts.size(), std::size_t(2));

    // The dark tab's row of the class follows; a long name is cut short
    // there, whole in its tooltip, and the tab keeps its width.
    auto* row = control<QLabel>("LabelClass", 4);
    QCOMPARE(row->text(), QStringLiteral("efect4"));
    const QString longName = QStringLiteral("とても長い名前の見出しのクラスです");
    m_platform.promptReplies = {longName.toStdString()};
    m_window->renameCurrentClass();
    QVERIFY(row->text().endsWith(QChar(0x2026)));
    QCOMPARE(row->toolTip(), longName);
    const auto* pages = control<QTabWidget>("SSTab1");
    QVERIFY(pages->widget(4)->minimumSizeHint().width() <= pages->currentWidget()->width());
  }

  void onlyTextThatNeedsTheShaperIsShaped() {
    const std::pair<QString, bool> texts[] = {
        {QString(), false},
        {QStringLiteral("段落（<P>〜〜</P>）"), false},
        {QStringLiteral("Webフォント #5A3A45"), false},
        {QStringLiteral("Ελληνικά Кириллица"), false},
        {QStringLiteral("العربية"), true},               // joined letters
        {QStringLiteral("हिन्दी"), true},                 // reordered vowel signs
        {QStringLiteral("ภาษาไทย"), true},               // marks above and below
        {QStringLiteral("e\u0301"), true},               // a combining accent
        {QStringLiteral("葛\U000E0100"), true},          // an ideographic variation
        {QStringLiteral("\U0001F1EF\U0001F1F5"), true},  // a flag
        {QStringLiteral("👍\U0001F3FD"), true},           // a skin tone
        {QStringLiteral("a\u200Db"), true},              // a joiner
    };
    for (const auto& [text, shaped] : texts) QCOMPARE(needsShaping(text), shaped);

    const auto unshaped = [](const QWidget* w) { return (w->font().styleStrategy() & QFont::PreferNoShaping) != 0; };
    QVERIFY(unshaped(control("Check7", 0)));
    QVERIFY(unshaped(control<QTabWidget>("SSTab2")->tabBar()));
    // A box takes the shaper while its text needs it, whoever wrote it.
    auto* name = control<QComboBox>("Combo1", 0)->lineEdit();
    QVERIFY(unshaped(name));
    name->setText(QStringLiteral("Noto Naskh العربية"));
    QVERIFY(!unshaped(name));
    name->clear();
    QVERIFY(unshaped(name));
    // So do the captions that name a user's class.
    control<QTabWidget>("SSTab4")->setCurrentIndex(3);
    m_platform.promptReplies = {"عنوان"};
    m_window->renameCurrentClass();
    QVERIFY(!unshaped(control<QTabWidget>("SSTab4")->tabBar()));
    QVERIFY(!unshaped(control("Check12", 3)));
    QVERIFY(!unshaped(control("LabelClass", 3)));
    QVERIFY(unshaped(control("Check12", 2)));
    // Other windows may show a user's text (a message naming a file, the
    // file dialog, the recent files): they keep the shaper.
    const QDialog dialog(m_window.get());
    QVERIFY(!unshaped(&dialog));
    QVERIFY(!unshaped(m_window->findChild<QMenu*>()));
  }

  void imageBrowseFillsThePathAndWarns() {
    control<QCheckBox>("Check7", 1)->click();
    m_platform.fileChoices = {std::string("/home/me/pics/back.png"), std::nullopt};
    m_window->Command4_Click(1);
    QCOMPARE(control<QLineEdit>("Text6", 1)->text(), QStringLiteral("/home/me/pics/back.png"));
    QCOMPARE(m_platform.dialogs.back().filter,
             std::string("画像ファイル(*.jpg,*.jpeg,*.png,*.gif)|*.jpg;*.jpeg;*.png;*.gif|全てのファイル|*.*"));
    const auto& warning = m_platform.onlyMessage();
    QCOMPARE(warning.title, std::string("注意！！！"));
    QCOMPARE(warning.icon, MessageIcon::Critical);
    QVERIFY(warning.text.find("\r\n「http://www.・・・○○.jpg」") != std::string::npos);
    m_window->Command4_Click(1);  // cancelled: no warning
    QCOMPARE(m_platform.messages.size(), std::size_t(1));
  }

  void makeAndFolderButtonsGoThroughThePlatform() {
    m_window->Command6_Click();
    QCOMPARE(m_platform.onlyMessage().text, std::string("保存先を指定してください"));
    m_platform.folderChoices = {std::string("/srv/web"), std::nullopt};
    m_window->Command3_Click();
    QCOMPARE(control<QLineEdit>("Text9")->text(), QStringLiteral("/srv/web"));
    m_window->Command3_Click();  // cancelled keeps the text
    QCOMPARE(m_window->document().output.htmlFolder, std::string("/srv/web"));
    m_window->openhelp_Click();
    m_window->GOHP_Click();
    QCOMPARE(m_platform.opened.front(), std::string("/opt/quillane/help/index.html"));
    QCOMPARE(m_platform.opened.size(), std::size_t(2));
  }

  // Each new box writes its field of the document, and a file holding dark
  // colours and gradients shows them in the same boxes, through undo too.
  void darkAndGradientBoxesWriteAndShowTheDocument() {
    using Field = std::string& (*)(StyleDocument&);
    const std::tuple<const char*, int, Field> boxes[] = {
        {"Text3Dark", 18, [](StyleDocument& d) -> std::string& { return d.dark.colours[18]; }},
        {"Text3Dark", 12, [](StyleDocument& d) -> std::string& { return d.dark.colours[12]; }},
        {"Text13Dark", 2, [](StyleDocument& d) -> std::string& { return d.dark.classes[2].chromaColor; }},
        {"Text25Dark", 5, [](StyleDocument& d) -> std::string& { return d.dark.classes[5].specialColor1; }},
        {"Text24Dark", 5, [](StyleDocument& d) -> std::string& { return d.dark.classes[5].specialColor2; }},
        {"TextGradient2Dark", 1, [](StyleDocument& d) -> std::string& { return d.gradients[1].darkColours[0]; }},
        {"TextGradient3", 5, [](StyleDocument& d) -> std::string& { return d.gradients[5].colours[1]; }},
        {"TextAngle", 0, [](StyleDocument& d) -> std::string& { return d.gradients[0].angle; }},
    };
    StyleDocument& doc = m_window->document();
    for (const auto& [family, index, field] : boxes) {
      control<QLineEdit>(family, index)->setText(QStringLiteral("12AB34"));
      QCOMPARE(field(doc), std::string("12AB34"));
    }
    auto* kind = control<QComboBox>("ComboGradient", kSlotHover);
    kind->setCurrentIndex(2);
    QCOMPARE(doc.gradients[kSlotHover].kind, GradientKind::Radial);

    StyleDocument loaded;
    loaded.dark.enabled = 1;
    loaded.output.modern = 1;
    loaded.gradients[kSlotHover].kind = GradientKind::Linear;
    for (const auto& [family, index, field] : boxes) field(loaded) = std::string(family).substr(0, 4) + "55";
    std::string bytes;
    UnencodableCharacter bad;
    QVERIFY(encodeCp932(settingsFileText(loaded, Layout::Settings), bytes, bad));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("dark.qln"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    m_platform.answers = {MessageAnswer::Discard};  // the boxes typed above
    m_window->openFile(path.toStdString());
    QCOMPARE(m_window->openFilePath(), path.toStdString());
    for (const auto& [family, index, field] : boxes)
      QCOMPARE(control<QLineEdit>(family, index)->text(), QString::fromStdString(field(loaded)));
    QCOMPARE(kind->currentIndex(), 1);
    QVERIFY(control<QCheckBox>("CheckDark")->isChecked());

    // One step back: the box typed last shows its earlier text.
    type("Text3Dark", 18, "010203");
    QCOMPARE(doc.dark.colours[18], std::string("010203"));
    m_window->undoStack()->undo();
    QCOMPARE(control<QLineEdit>("Text3Dark", 18)->text(), QStringLiteral("Text55"));
    m_window->undoStack()->redo();
    QCOMPARE(control<QLineEdit>("Text3Dark", 18)->text(), QStringLiteral("010203"));
  }

  // The dark tab follows the modern output, which alone writes it, and its
  // colours the dark switch; a slot's gradient colours follow its kind, the
  // angle the linear kind.
  void darkAndGradientControlsFollowTheirSwitches() {
    const auto darkState = [this] {
      return std::tuple{enabled("CheckDark"), enabled("CommandDark"), enabled("Text3Dark", 0),
                        enabled("Command7Dark", 3), !control("CheckDark")->toolTip().isEmpty()};
    };
    QCOMPARE(darkState(), std::tuple(false, false, false, false, true));
    QCOMPARE(control("CheckDark")->toolTip(),
             QStringLiteral(
                 "ダークモードの色は、「出力」タブの「今のブラウザ向けに書き出す」を選んだときだけ書き出されます。"));
    control<QCheckBox>("Check28")->click();
    QCOMPARE(darkState(), std::tuple(true, false, false, false, false));
    control<QCheckBox>("CheckDark")->click();
    QCOMPARE(darkState(), std::tuple(true, true, true, true, false));
    control<QCheckBox>("Check28")->click();
    QCOMPARE(darkState(), std::tuple(false, false, false, false, true));

    control<QCheckBox>("Check7", kSlotA)->click();
    auto* kind = control<QComboBox>("ComboGradient", kSlotA);
    const auto gradientState = [&] {
      return std::tuple{enabled("ComboGradient", kSlotA), enabled("TextAngle", kSlotA),
                        enabled("TextGradient2", kSlotA), enabled("CommandGradient3", kSlotA)};
    };
    const std::pair<int, std::tuple<bool, bool, bool, bool>> kinds[] = {
        {0, {true, false, false, false}}, {1, {true, true, true, true}}, {2, {true, false, true, true}}};
    for (const auto& [position, state] : kinds) {
      kind->setCurrentIndex(position);
      QCOMPARE(gradientState(), state);
    }
    control<QCheckBox>("Check7", kSlotA)->click();
    QCOMPARE(gradientState(), std::tuple(false, false, false, false));
    control<QCheckBox>("Check7", kSlotA)->click();
    QCOMPARE(gradientState(), std::tuple(true, false, true, true));
  }

  // "自動で作る" fills every dark colour as one step, each tag's text
  // readable on its background as its light pair needed; colours already
  // filled in are replaced only when the user agrees.
  void deriveDarkColoursInOneStepAskingBeforeReplacing() {
    StyleDocument& doc = m_window->document();
    const std::pair<int, const char*> light[] = {{0, "333333"},  {5, "FFFFF0"},  {1, "0000EE"},
                                                 {6, "E8F0FF"},  {4, "FF6600"},  {9, "FFFFFF"},
                                                 {18, "202020"}, {19, "FAFAFA"}, {12, "C0C0C0"}};
    for (const auto& [box, text] : light) control<QLineEdit>("Text3", box)->setText(QString::fromLatin1(text));
    doc.slots[kSlotP].fontSize = "10";
    const int steps = m_window->undoStack()->count();
    m_window->deriveDarkColours();
    QCOMPARE(m_window->undoStack()->count(), steps + 1);
    QVERIFY(m_platform.messages.empty());
    const auto rgb = [](const std::string& text) {
      const BgrColour c = *swatchColourOf(text);
      return Rgb{redOf(c), greenOf(c), blueOf(c)};
    };
    for (int slot : {kSlotP, kSlotA, kSlotHover, kSlotBody}) {
      const std::string& fore = doc.dark.colours[static_cast<std::size_t>(foreColourIndex(slot))];
      const std::string& back = doc.dark.colours[static_cast<std::size_t>(backColourIndex(slot))];
      QVERIFY2(contrastRatio(rgb(fore), rgb(back)) >= requiredContrast(doc, slot), (fore + " on " + back).c_str());
      QCOMPARE(control<QLineEdit>("Text3Dark", foreColourIndex(slot))->text(), QString::fromStdString(fore));
    }
    QCOMPARE(doc.dark.colours[12].size(), std::size_t(6));
    QCOMPARE(doc.dark.colours[kSlotVisited], std::string());  // no light colour, no dark one
    m_window->undoStack()->undo();
    QCOMPARE(doc.dark, DarkVariant{});
    QCOMPARE(control<QLineEdit>("Text3Dark", 0)->text(), QString());

    // A colour typed by hand: a cancel keeps it and makes no step; agreeing
    // replaces it.
    control<QLineEdit>("Text3Dark", 19)->setText(QStringLiteral("123456"));
    const int typed = m_window->undoStack()->count();
    m_platform.answers = {MessageAnswer::Cancel};
    m_window->deriveDarkColours();
    QCOMPARE(m_platform.messages.size(), std::size_t(1));
    QCOMPARE(m_platform.messages[0].buttons, MessageButtons::OkCancel);
    QCOMPARE(doc.dark.colours[19], std::string("123456"));
    QCOMPARE(doc.dark.colours[0], std::string());
    QCOMPARE(m_window->undoStack()->count(), typed);
    m_platform.answers = {MessageAnswer::Ok};
    m_window->deriveDarkColours();
    QVERIFY(doc.dark.colours[19] != "123456" && !doc.dark.colours[0].empty());
    QCOMPARE(m_window->undoStack()->count(), typed + 1);

    // A page that is dark already is left alone, and the user told why.
    control<QCheckBox>("Check7", kSlotBody)->setChecked(true);
    control<QLineEdit>("Text3", 19)->setText(QStringLiteral("202020"));
    const StyleDocument dark = doc;
    const int before = m_window->undoStack()->count();
    m_platform.messages.clear();
    m_window->deriveDarkColours();
    QCOMPARE(m_platform.messages.size(), std::size_t(1));
    QCOMPARE(m_platform.messages[0].buttons, MessageButtons::Ok);
    QCOMPARE(doc, dark);
    QCOMPARE(m_window->undoStack()->count(), before);
  }

  void aLoadedDocumentShowsInEveryWidget() {
    StyleDocument loaded;
    loaded.slots[kSlotA].enabled = 1;
    loaded.slots[kSlotA].fontName = "Serif";
    loaded.colours[13] = "FF0000";
    loaded.scrollbarCheck(13) = 1;
    loaded.classes[4].className = "box";
    loaded.classes[1].moveOpacitySlider(10);
    loaded.output.modern = 1;
    std::string bytes;
    UnencodableCharacter bad;
    QVERIFY(encodeCp932(settingsFileText(loaded, Layout::Settings), bytes, bad));
    StyleDocument& doc = m_window->document();
    QVERIFY(loadSettings(doc, Layout::Settings, bytes).ok());
    m_window->refreshFromDocument();
    QCOMPARE(control<QComboBox>("Combo1", kSlotA)->currentText(), QStringLiteral("Serif"));
    QVERIFY(enabled("Combo1", kSlotA));
    QCOMPARE(control<QTabWidget>("SSTab2")->currentIndex(), kSlotA);
    QVERIFY(enabled("Text3", 13));
    QCOMPARE(swatchRgb("Shape1", 13), QRgb(0xFF0000));
    QCOMPARE(control<QTabWidget>("SSTab4")->tabText(4), QStringLiteral("box"));
    QCOMPARE(control<QCheckBox>("Check12", 4)->text(), QStringLiteral("box"));
    QCOMPARE(control<QTabWidget>("SSTab4")->currentIndex(), 5);
    QCOMPARE(control<QLineEdit>("Text2", 1)->text(), QStringLiteral("10"));
    QCOMPARE(pixel(0, 0), QRgb(0xFF0000));  // row 13 drawn from its ticked swatch
    QVERIFY(control<QCheckBox>("Check28")->isChecked());
  }

  void loadedTextLongerThanABoxAllowsIsKeptWhole() {
    StyleDocument& doc = m_window->document();
    doc.colours[0] = "1234567890ABCDEF12345";
    doc.classes[0].className = "A&B";
    m_window->refreshFromDocument();
    auto* edit = control<QLineEdit>("Text3", 0);
    QCOMPARE(edit->text(), QStringLiteral("1234567890ABCDEF12345"));
    QCOMPARE(doc.colours[0], std::string("1234567890ABCDEF12345"));
    QCOMPARE(control<QTabWidget>("SSTab4")->tabText(0), QStringLiteral("A&&B"));  // shown as "A&B"
    control<QCheckBox>("Check7", 0)->click();
    edit->setText(QStringLiteral("123"));
    QCOMPARE(edit->maxLength(), 20);  // typing is limited again
  }

  void fileDialogFiltersBecomeQtFilters() {
    // Each pattern once; "*.*" is every file, dotted or not.
    QCOMPARE(QtPlatform::qtFilter("Quillane設定ファイル(*.qlf)|*.qlf"), QStringLiteral("Quillane設定ファイル(*.qlf)"));
    QCOMPARE(QtPlatform::qtFilter("画像ファイル(*.jpg,*.png)|*.jpg;*.png|全てのファイル|*.*"),
             QStringLiteral("画像ファイル(*.jpg *.png);;全てのファイル (*)"));
    QCOMPARE(QtPlatform::qtFilter("(*.htm,*.html)|*.htm;*.html"), QStringLiteral("(*.htm *.html)"));
    QCOMPARE(QtPlatform::qtFilter("ページ(*.htm)|*.htm;*.html"), QStringLiteral("ページ(*.htm) (*.htm *.html)"));
    QCOMPARE(QtPlatform::qtFilter(""), QString());
  }

  void scrollbarPictureFollowsItsGeometry() {
    auto* picture = m_window->scrollbarPreview();
    QCOMPARE(picture->size(), QSize(15, 274));  // 225 x 4110 twips at 15 twips a pixel
    // Defaults: track, then the top button's two border rows and its face.
    QCOMPARE(pixel(7, 150), QRgb(0xEFEFEF));
    QCOMPARE(pixel(7, 0), QRgb(0xCFCFCF));
    QCOMPARE(pixel(7, 1), QRgb(0xFFFFFF));
    QCOMPARE(pixel(7, 2), QRgb(0xBFBFBF));
    QCOMPARE(pixel(14, 5), QRgb(0x000000));  // outer right edge
    QCOMPARE(pixel(13, 5), QRgb(0x808080));  // inner right edge
    // The bottom button has one border row: outer and inner share row H - W.
    QCOMPARE(pixel(7, 259), QRgb(0xFFFFFF));
    QCOMPARE(pixel(0, 259), QRgb(0xCFCFCF));
    QCOMPARE(pixel(7, 260), QRgb(0xBFBFBF));
    // The thumb runs from 1000 twips to W + 1500.
    QCOMPARE(pixel(7, 66), QRgb(0xCFCFCF));
    QCOMPARE(pixel(7, 90), QRgb(0xBFBFBF));
    QCOMPARE(pixel(7, 116), QRgb(0xEFEFEF));

    // A ticked row shows its swatch at the next redraw; typing redraws.
    control<QLineEdit>("Text3", 17)->setText("000080");  // set while the row is off: still grey
    QCOMPARE(pixel(7, 150), QRgb(0xEFEFEF));
    control<QCheckBox>("Check6", 17)->click();  // ticking redraws
    QCOMPARE(pixel(7, 150), QRgb(0x000080));
    type("Text3", 17, "000070");
    QCOMPARE(pixel(7, 150), QRgb(0x000070));
    QCOMPARE(pixel(7, 2), QRgb(0xBFBFBF));
    // Other colour boxes do not redraw the picture.
    control<QCheckBox>("Check6", 12)->click();
    control<QCheckBox>("Check7", 0)->click();
    const QImage before = picture->picture();
    type("Text3", 0, "FF0000");
    QCOMPARE(picture->picture(), before);
    // Clicking it changes nothing.
    QTest::mouseClick(picture, Qt::LeftButton);
    QCOMPARE(picture->picture(), before);

    // With the track unticked, it is the main colour halfway to white, as
    // the note says and the modern output writes; "00F" is blue, as in CSS.
    control<QCheckBox>("Check6", 17)->click();
    type("Text3", 12, "FF0000");
    QCOMPARE(pixel(7, 150), QRgb(0xFF7F7F));
    type("Text3", 12, "00F");
    QCOMPARE(pixel(7, 2), QRgb(0x0000FF));
    QCOMPARE(pixel(7, 150), QRgb(0x7F7FFF));
  }

  void scrollbarPictureKeepsOnePixelEdgesAtOtherResolutions() {
    ScrollbarPreview picture;
    picture.setTwipsPerPixel(12, 12);
    picture.redraw({});
    const QImage& image = picture.picture();
    QCOMPARE(image.size(), QSize(18, 342));
    QCOMPARE(image.pixel(8, 0) & 0xFFFFFF, QRgb(0xCFCFCF));
    QCOMPARE(image.pixel(8, 1) & 0xFFFFFF, QRgb(0xFFFFFF));
    QCOMPARE(image.pixel(8, 2) & 0xFFFFFF, QRgb(0xBFBFBF));
    QCOMPARE(image.pixel(8, 1000 / 12) & 0xFFFFFF, QRgb(0xCFCFCF));  // the thumb stays at 1000 twips
  }

  void resizeRuleBoundsTheWindowAndScrollsWhenSmaller() {
    const ResizeOutcome small = resizeRule(6000, 8000, 8625, 9800);
    QVERIFY(small.vertical.enabled && small.horizontal.enabled);
    QCOMPARE(small.vertical.maximum, 9800 - (8000 - 1275) + 100);
    QCOMPARE(small.horizontal.maximum, 8625 - (6000 - 570));
    QVERIFY(!small.setWindowHeight && !small.setWindowWidth);
    const ResizeOutcome large = resizeRule(12000, 13000, 8625, 9800);
    QCOMPARE(large.setWindowHeight, std::optional<int>(11175));
    QCOMPARE(large.setWindowWidth, std::optional<int>(9195));
    QCOMPARE(resizeRule(300, 300, 8625, 9800).stepsDone, 0);  // minimised: nothing changes

    m_window->resize(400, 500);
    QTRY_VERIFY(control<QScrollBar>("VScroll1")->isEnabled());
    auto* vertical = control<QScrollBar>("VScroll1");
    QVERIFY(control<QScrollBar>("HScroll1")->isEnabled());
    vertical->setValue(vertical->maximum());
    QVERIFY(control("SSTab1")->y() < 0);
    m_window->resize(401, 500);  // every resize scrolls back to the top
    QCOMPARE(vertical->value(), 0);
    QCOMPARE(control("SSTab1")->y(), 0);
    // The largest size shows the whole tab area: the design's height (11175
    // twips), and the width that the tag slots' captions need side by side.
    m_window->resize(2000, 2000);
    const QSize largest = m_window->frameGeometry().size();
    QCOMPARE(largest.height(), 745);
    QVERIFY(largest.width() >= 613);
    QVERIFY(largest.width() >= control<QTabWidget>("SSTab2")->tabBar()->sizeHint().width() + 38);
    QVERIFY(!vertical->isEnabled() && !control<QScrollBar>("HScroll1")->isEnabled());
    QCOMPARE(m_window->maximumSize() + (largest - m_window->size()), largest);
    // Maximising gives that size.
    m_window->showMaximized();
    QTRY_COMPARE(m_window->frameGeometry().size(), largest);
  }

  void everyPartOfTheTabAreaCanBeReached() {
    auto* vertical = control<QScrollBar>("VScroll1");
    auto* horizontal = control<QScrollBar>("HScroll1");
    auto* tabs = control("SSTab1");
    const auto barsInside = [&] {
      for (QScrollBar* bar : {vertical, horizontal})
        if (!m_window->rect().contains(bar->geometry())) return false;
      return true;
    };

    // Narrow and too tall: the height is set back, and the horizontal bar
    // is laid out for that height, not the one asked for.
    m_window->resize(400, 1000);
    QTRY_COMPARE(m_window->frameGeometry().height(), 745);
    QVERIFY(horizontal->isEnabled());
    QVERIFY(barsInside());

    // A track click moves a page, the arrows a line of text.
    QCOMPARE(horizontal->pageStep(), control("Frame2")->width() * 15);
    QVERIFY(horizontal->singleStep() >= 10 * 15);
    horizontal->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(horizontal->value(), qMin(horizontal->pageStep(), horizontal->maximum()));
    QCOMPARE(tabs->x(), -horizontal->value() / 15);

    // Widening until nothing is hidden brings the tab area back.
    horizontal->setValue(horizontal->maximum());
    QVERIFY(tabs->x() < -100);
    m_window->resize(900, 500);
    QTRY_VERIFY(!horizontal->isEnabled());
    QCOMPARE(horizontal->value(), 0);
    QCOMPARE(tabs->x(), 0);
    QVERIFY(barsInside());

    // The wheel scrolls the tab area. (A real wheel event over a control
    // that leaves it be travels up to the window; a sent one stays where
    // it is sent, so it is sent to the window.)
    m_window->resize(400, 500);
    QTRY_VERIFY(vertical->isEnabled());
    QWheelEvent down(QPointF(100, 100), m_window->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(m_window.get(), &down);
    QVERIFY(vertical->value() > 0);
    QVERIFY(tabs->y() < 0);

    // The tab area follows the keyboard: each control that takes it, on
    // through the page and back up, comes wholly into view (a tab strip
    // wider than the window, from its start).
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QWidget* frame = control("Frame2");
    vertical->setValue(vertical->maximum());
    if (QApplication::focusWidget() != nullptr) QApplication::focusWidget()->clearFocus();
    control<QTabWidget>("SSTab1")->tabBar()->setFocus(Qt::TabFocusReason);
    for (int k = 0; k < 40; ++k) {
      QWidget* now = QApplication::focusWidget();
      const QRect at(now->mapTo(frame, QPoint(0, 0)), now->size());
      const bool seen =
          frame->rect().contains(at) || (at.width() > frame->width() && frame->rect().contains(at.topLeft()));
      QVERIFY2(!tabs->isAncestorOf(now) || seen, qPrintable(now->objectName()));
      QTest::keyClick(now, Qt::Key_Tab, k < 20 ? Qt::NoModifier : Qt::ShiftModifier);
    }
    QVERIFY(vertical->value() > 0 || horizontal->value() > 0);
  }

  void titleWindowClosesOnAClickAndLeavesTheEditor() {
    auto* title = new TitleWindow(15, 15);
    QCOMPARE(title->size(), QSize(390, 314));
    title->show();
    QVERIFY(QTest::qWaitForWindowExposed(title));
    QPointer<TitleWindow> guard(title);
    QTest::mouseClick(title->findChild<QWidget*>(QStringLiteral("Image1")), Qt::LeftButton);
    QTRY_VERIFY(guard.isNull());
    QVERIFY(m_window->isVisible());
  }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
