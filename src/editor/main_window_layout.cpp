// Building Form1: tabs, frames, captions and menus. Control families are
// made by loops and registered under their design names.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/colour_swatch.h"
#include "editor/main_window.h"
#include "editor/resize_rule.h"
#include "editor/scrollbar_preview.h"
#include "editor/typing_limit.h"
#include "generation/declaration_emitters.h"

namespace quillane {

namespace {

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A check box the user toggles between 0 and 1; only a settings file sets
// the greyed state 2, and a click from there clears it.
class StateCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override { setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked); }
};

// The row below everything in `grid`. An empty grid already counts one
// row, so rowCount() alone would leave row 0 empty and let a row placed
// by number land on top of another.
int nextRow(const QGridLayout* grid) { return grid->count() == 0 ? 0 : grid->rowCount(); }

// An editable list whose value is exactly what the user typed or picked.
// Qt's inline completion would fill in the rest of the first match ("ミ" +
// Enter stored "ミリメートル"), and Enter would swap the text for an item
// that matches it ignoring case; suggestions come in a popup instead, and
// only a suggestion the user picks replaces the text.
void makeFreeList(QComboBox* list) {
  list->setEditable(true);
  list->setInsertPolicy(QComboBox::NoInsert);
  list->completer()->setCompletionMode(QCompleter::PopupCompletion);
  list->completer()->setCaseSensitivity(Qt::CaseSensitive);
}

constexpr const char* kSlotTabCaptions[] = {"段落（<P>～</P>）",      "リンク(<A>～</A>)",
                                            "表示したリンク",         "選択されてアクティブなリンク",
                                            "マウスが上にあるリンク", "ページ本体"};
constexpr const char* kSlotCheckCaptions[] = {
    "段落", "リンク", "表示したリンク", "選択されたリンク", "マウスが上にあるリンク", "ページ本体"};
constexpr const char* kScrollbarRowLabels[] = {"矢印の色       #",  "メインの色      #", "枠（左上、外）  #",
                                               "枠（左上、内）　#", "枠（右下、外）　#", "枠（右下、内 　#",
                                               "バックの色 　　#"};

}  // namespace

void MainWindow::buildWindow() {
  setWindowTitle(QStringLiteral("Quillane"));
  auto* central = new QWidget(this);
  setCentralWidget(central);

  m_frame2 = m_controls.add("Frame2", new QWidget(central));
  m_ssTab1 = m_controls.add("SSTab1", new QTabWidget(m_frame2));
  m_ssTab1->addTab(buildBasicTab(), QStringLiteral("基本"));
  m_ssTab1->addTab(buildScrollbarTab(), QStringLiteral("スクロールバー"));
  m_ssTab1->addTab(buildEffectsTab(), QStringLiteral("エフェクト"));
  m_ssTab1->addTab(buildOutputTab(), QStringLiteral("出力"));
  // The tab area is exactly as large as the window's bounded size shows.
  m_ssTab1->setFixedSize((kEditorMaxWidthTwips - 570) / m_tx, (kEditorMaxHeightTwips - 1275 - 100) / m_ty);
  m_ssTab1->move(0, 0);

  m_vScroll = m_controls.add("VScroll1", new QScrollBar(Qt::Vertical, central));
  m_hScroll = m_controls.add("HScroll1", new QScrollBar(Qt::Horizontal, central));
  // Values are twips, as the rule sets the ranges in twips.
  connect(m_vScroll, &QScrollBar::valueChanged, this, [this](int v) { m_ssTab1->move(m_ssTab1->x(), -v / m_ty); });
  connect(m_hScroll, &QScrollBar::valueChanged, this, [this](int v) { m_ssTab1->move(-v / m_tx, m_ssTab1->y()); });

  buildParking()->setParent(central);
  buildMenus();
}

QWidget* MainWindow::buildBasicTab() {
  auto* page = m_controls.add("Frame1", new QWidget);
  auto* layout = new QVBoxLayout(page);

  auto* frame10 = m_controls.add("Frame10", new QGroupBox(QStringLiteral("変更する所")));
  auto* checks = new QGridLayout(frame10);
  for (int i = 0; i < kTagSlotCount; ++i)
    checks->addWidget(m_controls.add("Check7", i, new StateCheckBox(qs(kSlotCheckCaptions[i]))), i / 3, i % 3);
  layout->addWidget(frame10);

  auto* ssTab2 = m_controls.add("SSTab2", new QTabWidget);
  ssTab2->setUsesScrollButtons(true);
  for (int i = 0; i < kTagSlotCount; ++i) ssTab2->addTab(buildSlotPage(i), qs(kSlotTabCaptions[i]));
  layout->addWidget(ssTab2, 1);
  return page;
}

void MainWindow::addColourRow(QGridLayout* grid, int row, std::string_view labelFamily, int labelIndex,
                              const QString& caption, std::string_view textFamily, int index, QWidget* parent) {
  static const std::pair<std::string_view, std::pair<std::string_view, std::string_view>> kFamilies[] = {
      {"Text3", {"Command2", "Shape1"}},   {"Text13", {"Command7", "Shape2"}}, {"Text21", {"Command9", "Shape3"}},
      {"Text23", {"Command10", "Shape4"}}, {"Text24", {"Command1", "Shape5"}}, {"Text25", {"Command11", "Shape6"}}};
  std::string_view button, shape;
  for (const auto& [text, pair] : kFamilies)
    if (text == textFamily) std::tie(button, shape) = pair;

  grid->addWidget(m_controls.add(labelFamily, labelIndex, new QLabel(caption, parent)), row, 0);
  auto* edit = m_controls.add(textFamily, index, new QLineEdit(parent));
  limitTyping(edit, 6);
  edit->setFixedWidth(54);
  grid->addWidget(edit, row, 1);
  auto* make = m_controls.add(button, index, new QPushButton(QStringLiteral("作る"), parent));
  make->setFixedWidth(36);
  connect(make, &QPushButton::clicked, this, [this, textFamily, index] { pickColour(textFamily, index); });
  grid->addWidget(make, row, 2);
  grid->addWidget(m_controls.add(shape, index, new ColourSwatch(parent)), row, 3);
}

QWidget* MainWindow::buildSlotPage(int i) {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->setVerticalSpacing(3);
  const auto label = [&](std::string_view family, const char* text) {
    return m_controls.add(family, i, new QLabel(QString::fromUtf8(text)));
  };

  grid->addWidget(label("Label1", "フォント名"), 0, 0);
  auto* font = m_controls.add("Combo1", i, new QComboBox);
  makeFreeList(font);
  grid->addWidget(font, 0, 1, 1, 4);

  grid->addWidget(label("Label2", "フォントサイズ"), 1, 0);
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(m_controls.add("Text1", i, new QLineEdit));
  auto* unit = m_controls.add("Combo3", i, new QComboBox);
  makeFreeList(unit);
  for (const auto& u : sizeUnitLabels()) unit->addItem(qs(u));
  sizeRow->addWidget(unit);
  grid->addLayout(sizeRow, 1, 1, 1, 4);

  addColourRow(grid, 2, "Label6", i, QStringLiteral("フォントカラー　#"), "Text3", foreColourIndex(i), page);
  addColourRow(grid, 3, "Label9", i, QStringLiteral("バックの色 　　#"), "Text3", backColourIndex(i), page);

  grid->addWidget(label("Label7", "属性"), 4, 0);
  auto* attributes = new QGridLayout;
  const char* attributeCaptions[] = {"斜体", "下線", "上線", "取り消し線", "点滅（IEでは動作しません）"};
  for (int k = 0; k < 5; ++k) {
    static const std::string_view kFamilies[] = {"Check1", "Check2", "Check3", "Check4", "Check5"};
    attributes->addWidget(m_controls.add(kFamilies[k], i, new StateCheckBox(QString::fromUtf8(attributeCaptions[k]))),
                          k / 4, k % 4, 1, k == 4 ? 4 : 1);
  }
  grid->addLayout(attributes, 4, 1, 1, 4);

  grid->addWidget(label("Label8", "文字の太さ　100～900（400が標準）"), 5, 0, 1, 2);
  grid->addWidget(m_controls.add("Text4", i, new QLineEdit), 5, 2, 1, 3);

  grid->addWidget(label("Label24", "マウスポインターの形"), 6, 0);
  auto* cursor = m_controls.add("Combo2", i, new QComboBox);
  makeFreeList(cursor);
  for (const auto& c : cursorLabels()) cursor->addItem(qs(c));
  grid->addWidget(cursor, 6, 1, 1, 2);
  if (i == kSlotActive || i == kSlotHover) grid->addWidget(new QLabel(QStringLiteral("←利用価値なし？")), 6, 3, 1, 2);

  auto* frame4 = m_controls.add("Frame4", i, new QGroupBox(QStringLiteral("背景画像")));
  auto* image = new QGridLayout(frame4);
  image->addWidget(m_controls.add("Option4", i, new QRadioButton(QStringLiteral("使用する"))), 0, 0);
  image->addWidget(m_controls.add("Option3", i, new QRadioButton(QStringLiteral("使用しない"))), 0, 1);
  image->addWidget(m_controls.add("Label10", i, new QLabel(QStringLiteral("画像ファイルの場所"))), 1, 0);
  image->addWidget(m_controls.add("Text6", i, new QLineEdit), 1, 1, 1, 2);
  auto* browse = m_controls.add("Command4", i, new QPushButton(QStringLiteral("参照")));
  connect(browse, &QPushButton::clicked, this, [this, i] { Command4_Click(i); });
  image->addWidget(browse, 1, 3);
  if (i == kSlotBody)
    image->addWidget(m_controls.add("Check27", new StateCheckBox(QStringLiteral("背景画像をスクロールさせない"))), 2, 0,
                     1, 4);
  grid->addWidget(frame4, 7, 0, 1, 5);

  auto* hint = label("Label22", "変更したくない項目は、空白のままにしておいてください。");
  grid->addWidget(hint, 8, 0, 1, 5);
  grid->setRowStretch(9, 1);
  grid->setColumnStretch(4, 1);
  return page;
}

QWidget* MainWindow::buildScrollbarTab() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->addWidget(m_controls.add("Label3", new QLabel(QStringLiteral("スクロールバーの色を変更出来ます"))), 0, 0, 1, 2);
  auto* pictureColumn = new QVBoxLayout;
  pictureColumn->addWidget(m_controls.add("Label23", new QLabel(QStringLiteral("サンプル（目安）"))));
  m_barPic = m_controls.add("BarPic1", new ScrollbarPreview);
  m_barPic->setTwipsPerPixel(m_tx, m_ty);
  pictureColumn->addWidget(m_barPic, 0, Qt::AlignHCenter);
  pictureColumn->addStretch(1);
  grid->addLayout(pictureColumn, 1, 0);

  auto* frame5 = m_controls.add("Frame5", new QGroupBox(QStringLiteral("設定")));
  auto* rows = new QGridLayout(frame5);
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k) {
    const int row = k - kFirstScrollbarColour;
    auto* rowGrid = new QGridLayout;
    rows->addWidget(m_controls.add("Check6", k, new StateCheckBox), row, 0);
    addColourRow(rowGrid, 0, "Label9", k - 5, qs(kScrollbarRowLabels[row]), "Text3", k, frame5);
    rows->addLayout(rowGrid, row, 1);
  }
  rows->addWidget(m_controls.add("Label20", new QLabel(QStringLiteral("変更するものにチェックをいれる"))), 7, 0, 1, 2);
  auto* advice = m_controls.add(
      "Label21", new QLabel(QStringLiteral("バックの色を指定しないと、メインの色を薄くしたものに自動でなります。")));
  advice->setWordWrap(true);
  rows->addWidget(advice, 8, 0, 1, 2);
  grid->addWidget(frame5, 1, 1, Qt::AlignTop);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(2, 1);
  return page;
}

QWidget* MainWindow::buildEffectsTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  // The three columns of a class page need every pixel of the tab's width.
  layout->setContentsMargins(4, 6, 4, 4);
  layout->setSpacing(2);
  const auto note = [&](std::string_view family, const QString& text) {
    auto* l = m_controls.add(family, new QLabel(text));
    l->setWordWrap(true);
    layout->addWidget(l);
  };
  note("Label27",
       QStringLiteral(
           "エフェクトを利用するには、ＨＴＭＬファイルをテキストエディターで開き、以下のように変更してください"));
  note("Label28",
       QStringLiteral("例：変更したい　<P>～</P>　の部分を<P class=\"efect\">～</P>　のように書き換えてください。"));
  note("Label29", QStringLiteral("また、efect の部分はタブの名前に合わせてください"));
  m_controls.get<QLabel>("Label28")->setTextFormat(Qt::PlainText);

  auto* ssTab4 = m_controls.add("SSTab4", new QTabWidget);
  for (int c = 0; c < kUserClassCount; ++c)
    ssTab4->addTab(buildClassPage(c), qs(m_doc.classes[static_cast<std::size_t>(c)].className));
  connect(ssTab4, &QTabWidget::currentChanged, this, [this](int index) { m_doc.currentClassTab = index; });
  connect(ssTab4->tabBar(), &QTabBar::tabBarDoubleClicked, this, [this](int) { renameCurrentClass(); });
  layout->addWidget(ssTab4, 1);

  auto* bottom = new QHBoxLayout;
  auto* frame11 = m_controls.add("Frame11", new QGroupBox(QStringLiteral("変更させるタグ")));
  auto* checks = new QGridLayout(frame11);
  for (int c = 0; c < kUserClassCount; ++c)
    checks->addWidget(m_controls.add("Check12", c, new StateCheckBox(QStringLiteral("Check12"))), 0, c);
  bottom->addWidget(frame11, 1);
  auto* preview = m_controls.add("Command8", new QPushButton(QStringLiteral("プレビュー")));
  connect(preview, &QPushButton::clicked, this, [this] { Command8_Click(); });
  bottom->addWidget(preview, 0, Qt::AlignBottom);
  layout->addLayout(bottom);
  return page;
}

QWidget* MainWindow::buildClassPage(int c) {
  auto* page = new QWidget;
  auto* columns = new QHBoxLayout(page);
  columns->setContentsMargins(0, 4, 0, 2);
  columns->setSpacing(3);
  QVBoxLayout* column = nullptr;
  const auto nextColumn = [&] {
    column = new QVBoxLayout;
    column->setSpacing(2);
    columns->addLayout(column, columns->count() == 0 ? 0 : 1);  // the filter list keeps its width
  };
  const auto frame = [&](std::string_view family, const char* title) {
    auto* group = m_controls.add(family, c, new QGroupBox(QString::fromUtf8(title)));
    column->addWidget(group);
    return group;
  };
  const auto grid = [](QWidget* parent) {
    auto* g = new QGridLayout(parent);
    g->setContentsMargins(3, 2, 2, 4);
    g->setSpacing(3);
    return g;
  };
  const auto label = [&](std::string_view family, const char* text) {
    return m_controls.add(family, c, new QLabel(QString::fromUtf8(text)));
  };
  const auto box = [&](std::string_view family, int maxLength = 0) {
    auto* e = m_controls.add(family, c, new QLineEdit);
    if (maxLength > 0) limitTyping(e, maxLength);
    e->setFixedWidth(40);
    return e;
  };
  const auto check = [&](std::string_view family, const QString& caption) {
    return m_controls.add(family, c, new StateCheckBox(caption));
  };

  // Target, the filter list and opacity.
  nextColumn();
  auto* target = grid(frame("Frame14", "対象"));
  target->addWidget(m_controls.add("Option9", c, new QRadioButton(QStringLiteral("文字列"))), 0, 0);
  target->addWidget(m_controls.add("Option10", c, new QRadioButton(QStringLiteral("画像"))), 0, 1);

  auto* filters = grid(frame("Frame13", "適応させるフィルター"));
  filters->setVerticalSpacing(0);
  const std::pair<std::string_view, QString> filterBoxes[] = {
      {"Check13", QStringLiteral("半透明にする")},
      {"Check14", QStringLiteral("特定の色を消す")},
      {"Check15", QStringLiteral("ぶれる")},
      {"Check16", QStringLiteral("波立たせる")},
      {"Check17", QStringLiteral("反転")},
      {"Check20", QStringLiteral("光る")},
      {"Check21", QStringLiteral("色調")},
      {"Check25", QStringLiteral("影を落とす")},
      {"Check26", c == 0 ? QStringLiteral("スペシャル(いろいろ試して)") : QStringLiteral("スペシャル")}};
  int row = 0;
  for (const auto& [family, caption] : filterBoxes) filters->addWidget(check(family, caption), row++, 0);

  auto* alpha = grid(frame("Frame3", "半透明にする"));
  alpha->addWidget(label("Label5", "不透明度"), 0, 0);
  alpha->addWidget(box("Text2", 3), 0, 1);
  auto* slider = m_controls.add("Slider1", c, new QSlider(Qt::Horizontal));
  slider->setRange(0, 100);
  alpha->addWidget(slider, 1, 0, 1, 2);
  column->addStretch(1);

  // Chroma, blur, wave and flips.
  nextColumn();
  auto* frame15 = frame("Frame15", "特定の色を消す");
  addColourRow(grid(frame15), 0, "Label30", c, QStringLiteral("消す色#"), "Text13", c, frame15);

  auto* blur = grid(frame("Frame12", "ぶれる"));
  blur->addWidget(label("Label31", "角度"), 0, 0);
  blur->addWidget(box("Text14", 3), 0, 1);
  blur->addWidget(label("Label32", "強さ"), 0, 2);
  blur->addWidget(box("Text15", 3), 0, 3);

  auto* wave = grid(frame("Frame16", "波立たせる"));
  auto* frame17 = m_controls.add("Frame17", c, new QGroupBox(QStringLiteral("上書き描画")));
  auto* overlay = grid(frame17);
  overlay->addWidget(m_controls.add("Option12", c, new QRadioButton(QStringLiteral("する"))), 0, 0);
  overlay->addWidget(m_controls.add("Option13", c, new QRadioButton(QStringLiteral("しない"))), 0, 1);
  wave->addWidget(frame17, 0, 0, 1, 2);
  wave->addWidget(label("Label33", "波の数"), 1, 0);
  wave->addWidget(box("Text16"), 1, 1);
  wave->addWidget(label("Label36", "波の強さ"), 2, 0);
  wave->addWidget(box("Text19"), 2, 1);
  wave->addWidget(label("Label34", "影の強さ"), 3, 0);
  wave->addWidget(box("Text17"), 3, 1);
  wave->addWidget(label("Label35", "影の形"), 4, 0);
  wave->addWidget(box("Text18", 3), 4, 1);

  auto* flip = grid(frame("Frame18", "反転"));
  flip->addWidget(check("Check18", QStringLiteral("縦")), 0, 0);
  flip->addWidget(check("Check19", QStringLiteral("横")), 0, 1);
  column->addStretch(1);

  // Tone, glow, shadow and the special combination.
  nextColumn();
  auto* tone = grid(frame("Frame20", "色調"));
  tone->addWidget(check("Check22", QStringLiteral("反転")), 0, 0);
  tone->addWidget(check("Check23", QStringLiteral("レントゲン")), 0, 1);
  tone->addWidget(check("Check24", QStringLiteral("グレー")), 1, 0);

  auto* frame19 = frame("Frame19", "光る");
  auto* glow = grid(frame19);
  glow->addWidget(label("Label37", "強さ"), 0, 0);
  glow->addWidget(box("Text20", 3), 0, 1);
  addColourRow(glow, 1, "Label38", c, QStringLiteral("色#"), "Text21", c, frame19);

  auto* frame21 = frame("Frame21", "影を落とす");
  auto* shadow = grid(frame21);
  shadow->addWidget(label("Label39", "方向"), 0, 0);
  shadow->addWidget(box("Text22", 3), 0, 1);
  addColourRow(shadow, 1, "Label40", c, QStringLiteral("色#"), "Text23", c, frame21);

  auto* frame22 = frame("Frame22", "スペシャル（ほぼ文字列用）");
  auto* special = grid(frame22);
  addColourRow(special, 0, "Label41", c, QStringLiteral("色1#"), "Text24", c, frame22);
  addColourRow(special, 1, "Label42", c, QStringLiteral("色2#"), "Text25", c, frame22);
  special->addWidget(label("Label43", "強さ#"), 2, 0);
  special->addWidget(box("Text26", 6), 2, 1);
  column->addStretch(1);
  return page;
}

QWidget* MainWindow::buildOutputTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  // Four frames and the make button share the tab's fixed height.
  layout->setContentsMargins(6, 6, 6, 4);
  layout->setSpacing(4);
  const auto text = [&](std::string_view family) { return m_controls.add(family, new QLineEdit); };
  const auto label = [&](std::string_view family, const QString& caption) {
    return m_controls.add(family, new QLabel(caption));
  };

  auto* frame6 = m_controls.add("Frame6", new QGroupBox(QStringLiteral("出力形式")));
  auto* format = new QGridLayout(frame6);
  format->setVerticalSpacing(3);
  format->addWidget(m_controls.add("Option6", new QRadioButton(QStringLiteral("スタイルシート"))), 0, 0);
  format->addWidget(m_controls.add("Option5", new QRadioButton(QStringLiteral("HTML形式"))), 0, 1);
  for (const auto& [family, caption] :
       {std::pair<std::string_view, QString>{
            "Label15",
            QStringLiteral(
                "HTML形式で保存した場合そのファイルでのみの適用となりますが、スタイルシート形式にすると、スタイ"
                "ルシートを読みこむようにしてあるすべてのファイルに適用させる事が出来ます。")},
        {"Label16",
         QStringLiteral(
             "よって、1つのページにしかスタイル適用させる予定がない場合はHTML形式、複数のファイルに適応させる場"
             "合はスタイルシート形式で保存する事をお勧めします。またスタイルシート形式にした場合はスタイルシー"
             "トファイル（*.css）を1つ変更するだけで全てのファイルの見た目を一気に変える事が出来ます。")}}) {
    auto* l = label(family, caption);
    l->setWordWrap(true);
    format->addWidget(l, nextRow(format), 0, 1, 2);
  }
  format->addWidget(m_controls.add("Check28", new QCheckBox(QStringLiteral("今のブラウザ向けに書き出す"))),
                    format->rowCount(), 0, 1, 2);
  layout->addWidget(frame6);

  // A caption and its text box on the next row of `grid`; the folder row
  // also has its "参照" button.
  const auto row = [&](QGridLayout* grid, std::string_view labelFamily, const QString& caption,
                       std::string_view textFamily) {
    const int at = nextRow(grid);
    grid->addWidget(label(labelFamily, caption), at, 0);
    grid->addWidget(text(textFamily), at, 1);
    return at;
  };
  const auto folderRow = [&](QGridLayout* grid, std::string_view labelFamily, std::string_view textFamily,
                             std::string_view buttonFamily, void (MainWindow::*command)()) {
    const int at = row(grid, labelFamily, QStringLiteral("保存先(フォルダを選択)"), textFamily);
    auto* browse = m_controls.add(buttonFamily, new QPushButton(QStringLiteral("参照")));
    connect(browse, &QPushButton::clicked, this, command);
    grid->addWidget(browse, at, 2);
  };

  auto* frame7 = m_controls.add("Frame7", new QGroupBox(QStringLiteral("HTML形式")));
  auto* html = new QGridLayout(frame7);
  html->setVerticalSpacing(3);
  folderRow(html, "Label13", "Text9", "Command3", &MainWindow::Command3_Click);
  row(html, "Label14", QStringLiteral("ファイルの名前"), "Text10");
  row(html, "Label17", QStringLiteral("ページタイトル"), "Text11");
  layout->addWidget(frame7);

  auto* frame8 = m_controls.add("Frame8", new QGroupBox(QStringLiteral("スタイルシート")));
  auto* sheet = new QGridLayout(frame8);
  sheet->setVerticalSpacing(3);
  folderRow(sheet, "Label11", "Text7", "Command5", &MainWindow::Command5_Click);
  row(sheet, "Label12", QStringLiteral("ファイルの名前"), "Text8");
  auto* frame9 = m_controls.add("Frame9", new QGroupBox(QStringLiteral("スタイルシートを読みこむHTMLファイル")));
  auto* link = new QGridLayout(frame9);
  link->setVerticalSpacing(3);
  link->addWidget(m_controls.add("Option7", new QRadioButton(QStringLiteral("作成する"))), 0, 0);
  link->addWidget(m_controls.add("Option8", new QRadioButton(QStringLiteral("作成しない"))), 0, 1);
  row(link, "Label18", QStringLiteral("ファイル名"), "Text5");
  row(link, "Label19", QStringLiteral("ページタイトル"), "Text12");
  sheet->addWidget(frame9, nextRow(sheet), 0, 1, 3);
  layout->addWidget(frame8);

  auto* make = m_controls.add("Command6", new QPushButton(QStringLiteral("出力する")));
  connect(make, &QPushButton::clicked, this, [this] { Command6_Click(); });
  layout->addWidget(make, 0, Qt::AlignRight);
  layout->addStretch(1);
  return page;
}

// The parking area under the visible window: controls that hold values
// but are never shown.
QWidget* MainWindow::buildParking() {
  auto* parking = new QWidget;
  parking->hide();
  auto* layout = new QVBoxLayout(parking);
  layout->addWidget(new QLabel(QStringLiteral("ごみ捨て場")));
  auto* reserved = new QHBoxLayout;
  reserved->addWidget(m_controls.add("Text3", 10, new QLineEdit));
  reserved->addWidget(m_controls.add("Shape1", 10, new ColourSwatch));
  layout->addLayout(reserved);
  const std::pair<std::string_view, const char*> parked[] = {
      {"Check8", "サンプル用の文字を入れる"},
      {"Check9", "改行を大量に挿入する（スクロールバーを表示させるため。）"},
      {"Check10", "改行を大量に挿入する（スクロールバーを表示させるため。）"},
      {"Check11", "サンプル用の文字を入れる"}};
  for (const auto& [family, caption] : parked)
    layout->addWidget(m_controls.add(family, new StateCheckBox(QString::fromUtf8(caption))));
  return parking;
}

void MainWindow::buildMenus() {
  const auto entry = [&](QMenu* menu, const char* name, const QString& caption, auto handler,
                         const QList<QKeySequence>& keys = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  // Access keys in parentheses after the caption, as Japanese programs show them.
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  entry(file, "MenuOpenFile", QStringLiteral("設定ファイルを開く"), [this] { MenuOpenFile_Click(); },
        {QKeySequence::Open});
  entry(file, "MenuSaveFile", QStringLiteral("設定ファイルを保存"), [this] { MenuSaveFile_Click(); },
        {QKeySequence::Save});
  entry(file, "MenuOpenFileQL", QStringLiteral("QuillaneVer1の設定を開く"), [this] { MenuOpenFileQL_Click(); });
  entry(file, "MenuSaveSumple", QStringLiteral("サンプルとして出力"), [this] { MenuSaveSumple_Click(); });
  file->addSeparator();
  m_recentMenu = file->addMenu(QStringLiteral("最近使ったファイル"));
  m_recentMenu->setObjectName(QStringLiteral("MenuRecentFiles"));
  file->addSeparator();
  entry(file, "MenuEnd", QStringLiteral("終了"), [this] { MenuEnd_Click(); }, {QKeySequence(Qt::CTRL | Qt::Key_Q)});

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  m_undoAction =
      entry(edit, "MenuUndo", QStringLiteral("元に戻す"), [this] { m_history.stack()->undo(); }, {QKeySequence::Undo});
  m_redoAction = entry(edit, "MenuRedo", QStringLiteral("やり直し"), [this] { m_history.stack()->redo(); },
                       {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

  QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
  entry(tools, "JointCSS", QStringLiteral("CSSをHtmlに適用する"), [this] { JointCSS_Click(); });

  QMenu* preview = menuBar()->addMenu(QStringLiteral("プレビュー(&P)"));
  entry(preview, "NormalPre", QStringLiteral("標準"), [this] { NormalPre_Click(); }, {QKeySequence(Qt::Key_F5)});
  entry(preview, "GaibuPre", QStringLiteral("ファイルを指定"), [this] { GaibuPre_Click(); });
  entry(preview, "LiveView", QStringLiteral("ライブビュー"), [this] { LiveView_Click(); }, {QKeySequence(Qt::Key_F6)});

  m_sampleMenu = menuBar()->addMenu(QStringLiteral("サンプル(&S)"));
  m_sampleMenu->setObjectName(QStringLiteral("MenuSample"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  entry(help, "openhelp", QStringLiteral("ヘルプ"), [this] { openhelp_Click(); }, {QKeySequence::HelpContents});
  entry(help, "GOHP", QStringLiteral("Hollowmere"), [this] { GOHP_Click(); });

  // F10 opens the menu bar, as on other desktops.
  auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(menuKey, &QShortcut::activated, this, [this] {
    QMenuBar* bar = menuBar();
    bar->setActiveAction(bar->actions().constFirst());
  });
}

}  // namespace quillane
