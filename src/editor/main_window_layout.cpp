// Building Form1 from its tables (form_table.h), and its menus. Every control
// is registered under its design name as it is made.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>

#include "document/control_captions.h"
#include "editor/accessible_names.h"
#include "editor/advice_marks.h"
#include "editor/colour_swatch.h"
#include "editor/form_table.h"
#include "editor/main_window.h"
#include "editor/resize_rule.h"
#include "editor/scrollbar_preview.h"
#include "editor/text_shaping.h"
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

  // A box without words (the scrollbar rows') has no label for the style to
  // outline: the keyboard focus is a 2-pixel frame in the highlight colour.
  void paintEvent(QPaintEvent* event) override {
    QCheckBox::paintEvent(event);
    if (!hasFocus() || !text().isEmpty()) return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
  }
};

// A page hidden at start-up: its controls are made when it is first shown
// (or looked up, see ControlRegistry), before it becomes visible, so it
// shows them as a page built at start-up would.
class PageOnFirstShow : public QWidget {
 public:
  explicit PageOnFirstShow(std::function<void()> build) : m_build(std::move(build)) {}

  void setVisible(bool visible) override {
    if (visible && m_build) std::exchange(m_build, {})();
    QWidget::setVisible(visible);
  }

 private:
  std::function<void()> m_build;
};

// Applies a table's margins and spacing; -1 keeps what the layout has.
void space(QLayout* layout, const FormSpacing& s) {
  if (s.left >= 0) layout->setContentsMargins(s.left, s.top, s.right, s.bottom);
  if (s.spacing >= 0) layout->setSpacing(s.spacing);
  if (s.vertical >= 0) static_cast<QGridLayout*>(layout)->setVerticalSpacing(s.vertical);
}

QLayout* layoutFor(const FormTable& table, QWidget* host) {
  QLayout* layout = nullptr;
  switch (table.layout) {
    case FormLayout::Grid:
      layout = new QGridLayout(host);
      break;
    case FormLayout::Column:
      layout = new QVBoxLayout(host);
      break;
    case FormLayout::Line:
      layout = new QHBoxLayout(host);
      break;
  }
  space(layout, table.spacing);
  return layout;
}

// Puts a widget or a nested layout at its place in `layout`.
void put(QLayout* layout, const FormPlacement& at, QWidget* widget, int columnOffset = 0) {
  const FormCell& cell = *at.cell;
  if (auto* grid = qobject_cast<QGridLayout*>(layout))
    grid->addWidget(widget, at.row, at.column + columnOffset, 1, cell.kind == CellKind::Colour ? 1 : cell.span,
                    cell.align);
  else
    static_cast<QBoxLayout*>(layout)->addWidget(widget, cell.stretch, cell.align);
}
void put(QLayout* layout, const FormPlacement& at, QLayout* nested) {
  const FormCell& cell = *at.cell;
  if (auto* grid = qobject_cast<QGridLayout*>(layout))
    grid->addLayout(nested, at.row, at.column, 1, cell.span, cell.align);
  else
    static_cast<QBoxLayout*>(layout)->addLayout(nested, cell.stretch);
}

// The class tabs' context menu: for a click, on the tab under the pointer;
// from the keyboard (the menu key, Shift+F10), on the current tab.
class ClassTabMenu : public QObject {
 public:
  ClassTabMenu(QTabWidget* tabs, QAction* rename) : QObject(tabs), m_tabs(tabs), m_rename(rename) {
    tabs->tabBar()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ContextMenu) return QObject::eventFilter(watched, event);
    const auto* request = static_cast<QContextMenuEvent*>(event);
    if (request->reason() == QContextMenuEvent::Mouse) {
      const int tab = m_tabs->tabBar()->tabAt(request->pos());
      if (tab < 0) return true;
      m_tabs->setCurrentIndex(tab);
    }
    QMenu menu(m_tabs);
    menu.addAction(m_rename);
    menu.exec(request->globalPos());
    return true;
  }

 private:
  QTabWidget* m_tabs;
  QAction* m_rename;
};

// The commands of the buttons that take no index.
using Command = void (MainWindow::*)();
constexpr std::pair<std::string_view, Command> kCommands[] = {
    {"Command3", &MainWindow::Command3_Click},        {"Command5", &MainWindow::Command5_Click},
    {"Command6", &MainWindow::Command6_Click},        {"Command8", &MainWindow::Command8_Click},
    {"WebFontMeasure", &MainWindow::measureWebFonts}, {"CommandDark", &MainWindow::deriveDarkColours}};

}  // namespace

void MainWindow::buildWindow() {
  setWindowTitle(QStringLiteral("Quillane"));
  auto* central = new QWidget(this);
  setCentralWidget(central);

  // Only what the window shows first is built now: the basic tab with the
  // first slot's page. The rest waits for its first use.
  m_deferPages = true;
  m_frame2 = m_controls.add("Frame2", new QWidget(central));
  m_ssTab1 = m_controls.add("SSTab1", new QTabWidget(m_frame2));
  auto* basic = m_controls.add("Frame1", new QWidget);
  buildPage(kBasicTab, basic, kNoIndex);
  m_ssTab1->addTab(basic, qs(kMainTabCaptions[0]));
  const FormTable* tabs[] = {&kScrollbarTab, &kEffectsTab, &kOutputTab, &kDarkTab, &kWebFontTab};
  for (std::size_t t = 0; t < std::size(tabs); ++t)
    m_ssTab1->addTab(pageOnFirstUse(*tabs[t], kNoIndex), qs(kMainTabCaptions[t + 1]));
  fitTabArea();
  m_ssTab1->move(0, 0);

  m_vScroll = m_controls.add("VScroll1", new QScrollBar(Qt::Vertical, central));
  m_hScroll = m_controls.add("HScroll1", new QScrollBar(Qt::Horizontal, central));
  // Values are twips, as the rule sets the ranges in twips.
  connect(m_vScroll, &QScrollBar::valueChanged, this, [this](int v) { m_ssTab1->move(m_ssTab1->x(), -v / m_ty); });
  connect(m_hScroll, &QScrollBar::valueChanged, this, [this](int v) { m_ssTab1->move(-v / m_tx, m_ssTab1->y()); });
  // The tab area scrolls to the control that takes the keyboard.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { scrollToControl(now); });

  // The parking area under the visible window: controls that hold values
  // but are never shown. It waits with the hidden pages.
  auto* parking = new QWidget;
  parking->hide();
  parking->setParent(central);
  m_waiting.push_back({parking, [this](QWidget* page) { buildPage(kParking, page, kNoIndex); }});
  m_deferPages = false;
  m_controls.buildOnMiss([this] { buildWaitingPages(); });
  buildMenus();
}

void MainWindow::fitTabArea() {
  // The design's size, or larger where the font in use needs more room:
  // every page whole, every caption of the tag slots' tabs in view.
  m_ssTab1->ensurePolished();
  const QSize design((kEditorMaxWidthTwips - kTabAreaMarginWidthTwips) / m_tx,
                     (kEditorMaxHeightTwips - kTabAreaMarginHeightTwips) / m_ty);
  // A page taller than the design is given the height it asks for, not its
  // least: at its least, a grid squeezes its boxes below a line of text.
  const QSize wanted(m_ssTab1->minimumSizeHint().width(),
                     std::max(m_ssTab1->minimumSizeHint().height(), m_ssTab1->sizeHint().height()));
  const QSize size = wanted.expandedTo(design).expandedTo(m_ssTab1->size());
  if (size == m_ssTab1->size() && m_ssTab1->minimumSize() == size) return;
  // A window at its largest grows with the tab area.
  const QSize decoration = frameGeometry().size() - this->size();
  const bool largest = isVisible() && frameGeometry().size() == largestOuterSize();
  m_ssTab1->setFixedSize(size);
  if (!isVisible()) return;
  Form_Resize();
  if (largest) resize(largestOuterSize() - decoration);
}

void MainWindow::buildPage(const FormTable& table, QWidget* page, int index) {
  // A page is built before it joins the window: it is measured in the
  // window's font from the start, or it would be measured twice.
  page->setFont(font());
  QLayout* layout = layoutFor(table, page);
  fillLayout(layout, page, table, index, 0, 0);
}

QWidget* MainWindow::pageOnFirstUse(const FormTable& table, int index) {
  return pageOnFirstUse([this, &table, index](QWidget* page) { buildPage(table, page, index); });
}

QWidget* MainWindow::pageOnFirstUse(std::function<void(QWidget*)> fill) {
  auto* page = new PageOnFirstShow([this] { buildWaitingPages(); });
  m_waiting.push_back({page, std::move(fill)});
  return page;
}

void MainWindow::buildWaitingPages() {
  if (m_waiting.empty()) return;
  // Building shows the document; nothing of it is an edit or a step.
  const QScopedValueRollback<bool> refreshing(m_refreshing, true);
  const std::vector<WaitingPage> pages = std::exchange(m_waiting, {});
  m_controls.buildOnMiss({});
  const qsizetype first = m_controls.count();
  for (const WaitingPage& page : pages) page.fill(page.page);
  fitTabArea();
  // Nothing has touched these controls since start-up, so they first show
  // the document as start-up left it, as controls built then would; the
  // caller then brings them up to date as it does every other control.
  std::swap(m_doc, m_startDoc);
  settle(first);
  std::swap(m_doc, m_startDoc);
  // A dark colour's swatch also shows the light colour its box leaves
  // empty, which may have been edited since: as it would have followed.
  for (const FamilyRange& range : allFamilies())
    if (range.family.ends_with("Dark") && colourFamilyOf(range.family) != nullptr)
      for (int i = range.first; i <= range.last; ++i) updateSwatch(range.family, i);
  nameControls(m_controls, m_doc);
  if (m_adviceMarks != nullptr) m_adviceMarks->refresh();
}

void MainWindow::fillLayout(QLayout* layout, QWidget* host, const FormTable& table, int page, int each, int depth) {
  forEachPlacement(table, page, each, [&](const FormPlacement& at) {
    const FormCell& cell = *at.cell;
    const int index = indexOf(cell, page, at.each);
    const QString words = qs(wordsOf(at, page, depth));
    const auto add = [&](QWidget* widget) {
      if (!cell.family.empty()) m_controls.add(cell.family, index, widget);
      put(layout, at, widget);
      return widget;
    };
    switch (cell.kind) {
      case CellKind::Label:
      case CellKind::Note: {
        auto* label = new QLabel(words, host);
        if (cell.kind == CellKind::Note) label->setWordWrap(true);
        if (cell.plainText) label->setTextFormat(Qt::PlainText);
        add(label);
        break;
      }
      case CellKind::Text: {
        auto* edit = new QLineEdit(host);
        shapeAsTyped(edit);
        if (cell.maxLength > 0) limitTyping(edit, cell.maxLength);
        if (cell.width > 0) edit->setFixedWidth(cell.width);
        add(edit);
        break;
      }
      case CellKind::Colour: {
        const ColourFamily& family = *colourFamilyOf(cell.family);
        auto* edit = m_controls.add(family.text, index, new QLineEdit(host));
        shapeAsTyped(edit);
        // Room for the forms CSS reads beyond six digits: "#RRGGBBAA" and
        // the longest colour keyword, "lightgoldenrodyellow".
        limitTyping(edit, 20);
        edit->setFixedWidth(54);
        put(layout, at, edit);
        auto* make = m_controls.add(family.button, index, new QPushButton(QStringLiteral("作る"), host));
        make->setFixedWidth(36);
        connect(make, &QPushButton::clicked, this, [this, text = family.text, index] { pickColour(text, index); });
        put(layout, at, make, 1);
        put(layout, at, m_controls.add(family.swatch, index, new ColourSwatch(host)), 2);
        break;
      }
      case CellKind::Swatch:
        add(new ColourSwatch(host));
        break;
      case CellKind::FreeList: {
        auto* list = new FreeList(host);
        shapeAsTyped(list->lineEdit());
        // A font list spans to the page's right edge: sizing it to the
        // longest installed family name would measure every name at start-up.
        if (cell.items == Items::Fonts) list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        if (cell.items == Items::Units)
          for (const auto& u : sizeUnitLabels()) list->addItem(qs(u));
        if (cell.items == Items::Cursors)
          for (const auto& c : cursorLabels()) list->addItem(qs(c));
        add(list);
        break;
      }
      case CellKind::List: {
        auto* list = new FixedList(host);
        if (cell.items == Items::GradientKinds)
          for (const char* kind : {"なし", "線形", "円形"}) list->addItem(QString::fromUtf8(kind));
        add(list);
        break;
      }
      case CellKind::Check:
        add(new StateCheckBox(words, host));
        break;
      case CellKind::Switch:
        add(new QCheckBox(words, host));
        break;
      case CellKind::Option:
        add(new OptionButton(words, host));
        break;
      case CellKind::Button: {
        auto* button = static_cast<QPushButton*>(add(new QPushButton(words, host)));
        if (cell.family == "Command4")
          connect(button, &QPushButton::clicked, this, [this, index] { Command4_Click(index); });
        if (cell.family == "WebFontChoose")
          connect(button, &QPushButton::clicked, this, [this, index] { chooseWebFont(index); });
        if (cell.family == "WebFontStop")
          connect(button, &QPushButton::clicked, this, [this, index] { stopWebFont(index); });
        for (const auto& [family, command] : kCommands)
          if (cell.family == family) connect(button, &QPushButton::clicked, this, command);
        break;
      }
      case CellKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, host);
        slider->setRange(0, 100);
        add(slider);
        break;
      }
      case CellKind::Number: {
        // The web fonts' size limit, in kilobytes of 1,000 bytes.
        auto* number = new QSpinBox(host);
        number->setRange(1, 99999);
        number->setSuffix(QStringLiteral(" KB"));
        add(number);
        break;
      }
      case CellKind::Shown: {
        auto* shown = new QLineEdit(host);
        shown->setReadOnly(true);
        shapeAsTyped(shown);
        add(shown);
        break;
      }
      case CellKind::Progress: {
        auto* bar = new QProgressBar(host);
        bar->setRange(0, 1);
        bar->setValue(0);
        bar->setTextVisible(false);
        add(bar);
        break;
      }
      case CellKind::Report: {
        auto* report = new QPlainTextEdit(host);
        report->setReadOnly(true);
        shapeAsTyped(report);
        report->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        report->setFixedHeight(report->fontMetrics().lineSpacing() * 5 + 2 * report->frameWidth() + 8);
        add(report);
        break;
      }
      case CellKind::Picture:
        m_barPic = new ScrollbarPreview(host);
        m_barPic->setTwipsPerPixel(m_tx, m_ty);
        add(m_barPic);
        break;
      case CellKind::Group: {
        auto* group = new QGroupBox(qs(frameTitleOf(cell, page, at.each, depth)), host);
        add(group);
        fillLayout(layoutFor(*cell.nested, group), group, *cell.nested, page, at.each, depth + 1);
        break;
      }
      case CellKind::Nest: {
        QLayout* nested = layoutFor(*cell.nested, nullptr);
        put(layout, at, nested);
        fillLayout(nested, host, *cell.nested, page, at.each, depth);
        break;
      }
      case CellKind::Tabs:
        add(buildTabs(cell));
        break;
      case CellKind::Stretch:
        static_cast<QBoxLayout*>(layout)->addStretch(cell.stretch);
        break;
      case CellKind::None:
        break;
    }
  });
  if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
    if (table.stretchColumn >= 0) grid->setColumnStretch(table.stretchColumn, 1);
    if (table.stretchBelow) grid->setRowStretch(grid->rowCount(), 1);
  }
}

// The tag slots' tab strip (SSTab2) and the user classes' (SSTab4), whose
// captions are the class names and whose current page is stored.
QTabWidget* MainWindow::buildTabs(const FormCell& cell) {
  auto* tabs = new QTabWidget;
  tabs->setFont(font());  // measured in the window's font, as a page is
  const bool classes = cell.family == "SSTab4";
  // The tag slots' captions are shown whole, side by side: the tab area is
  // made wide enough for them.
  if (!classes) {
    tabs->setUsesScrollButtons(false);
    tabs->setElideMode(Qt::ElideNone);
  }
  for (int p = 0; p < (classes ? kUserClassCount : kTagSlotCount); ++p) {
    const bool now = !m_deferPages || p == 0;
    QWidget* page = now ? new QWidget : pageOnFirstUse(*cell.nested, p);
    if (now) buildPage(*cell.nested, page, p);
    tabs->addTab(page, classes ? qs(m_doc.classes[static_cast<std::size_t>(p)].className)
                               : qs(kSlotTabCaptions[static_cast<std::size_t>(p)]));
  }
  if (classes) {
    shapeAsNeeded(tabs->tabBar());
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) { m_doc.currentClassTab = index; });
    connect(tabs->tabBar(), &QTabBar::tabBarDoubleClicked, this, [this](int) { renameCurrentClass(); });
    // From the keyboard: F2 on the tab strip, or its context menu (the menu
    // key or Shift+F10).
    auto* rename = new QAction(QStringLiteral("名前の変更(&M)…"), tabs);
    rename->setObjectName(QStringLiteral("RenameClass"));
    rename->setShortcut(QKeySequence(Qt::Key_F2));
    rename->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(rename, &QAction::triggered, this, [this] { renameCurrentClass(); });
    tabs->addAction(rename);
    new ClassTabMenu(tabs, rename);
  }
  return tabs;
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
  // Access keys in parentheses after the caption (before a closing "…"), as
  // Japanese programs show them; none repeats within a menu.
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  entry(file, "MenuOpenFile", QStringLiteral("設定ファイルを開く(&O)"), [this] { MenuOpenFile_Click(); },
        {QKeySequence::Open});
  entry(file, "MenuOverwriteFile", QStringLiteral("上書き保存(&S)"), [this] { MenuOverwriteFile_Click(); },
        {QKeySequence::Save});
  entry(file, "MenuSaveFile", QStringLiteral("名前を付けて保存(&A)…"), [this] { MenuSaveFile_Click(); },
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
  entry(file, "MenuOpenFileQL", QStringLiteral("QuillaneVer1の設定を開く(&V)"), [this] { MenuOpenFileQL_Click(); });
  entry(file, "MenuSaveSumple", QStringLiteral("サンプルとして出力(&E)"), [this] { MenuSaveSumple_Click(); });
  entry(file, "MenuImportStyle", QStringLiteral("スタイルシートを取り込む(&I)…"), [this] { MenuImportStyle_Click(); });
  file->addSeparator();
  m_recentMenu = file->addMenu(QStringLiteral("最近使ったファイル(&R)"));
  m_recentMenu->setObjectName(QStringLiteral("MenuRecentFiles"));
  file->addSeparator();
  entry(file, "MenuEnd", QStringLiteral("終了(&X)"), [this] { MenuEnd_Click(); }, {QKeySequence(Qt::CTRL | Qt::Key_Q)});

  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  m_undoAction = entry(edit, "MenuUndo", QStringLiteral("元に戻す(&U)"), [this] { m_history.stack()->undo(); },
                       {QKeySequence::Undo});
  m_redoAction = entry(edit, "MenuRedo", QStringLiteral("やり直し(&R)"), [this] { m_history.stack()->redo(); },
                       {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

  QMenu* tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
  entry(tools, "JointCSS", QStringLiteral("CSSをHtmlに適用する(&C)"), [this] { JointCSS_Click(); });

  QMenu* preview = menuBar()->addMenu(QStringLiteral("プレビュー(&P)"));
  entry(preview, "NormalPre", QStringLiteral("標準(&N)"), [this] { NormalPre_Click(); }, {QKeySequence(Qt::Key_F5)});
  entry(preview, "GaibuPre", QStringLiteral("ファイルを指定(&F)"), [this] { GaibuPre_Click(); });
  entry(preview, "LiveView", QStringLiteral("ライブビュー(&L)"), [this] { LiveView_Click(); },
        {QKeySequence(Qt::Key_F6)});

  m_sampleMenu = menuBar()->addMenu(QStringLiteral("サンプル(&S)"));
  m_sampleMenu->setObjectName(QStringLiteral("MenuSample"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  entry(help, "openhelp", QStringLiteral("ヘルプ(&H)"), [this] { openhelp_Click(); }, {QKeySequence::HelpContents});
  entry(help, "GOHP", QStringLiteral("Hollowmere(&W)"), [this] { GOHP_Click(); });

  // The program's own keys work from its other windows too (the live view,
  // the link window): ending, undo, help and the previews.
  for (const char* name : {"MenuEnd", "MenuUndo", "MenuRedo", "NormalPre", "LiveView", "openhelp"})
    findChild<QAction*>(QString::fromLatin1(name))->setShortcutContext(Qt::ApplicationShortcut);

  // F10 opens the menu bar, as on other desktops.
  auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
  connect(menuKey, &QShortcut::activated, this, [this] {
    QMenuBar* bar = menuBar();
    bar->setActiveAction(bar->actions().constFirst());
  });
}

}  // namespace quillane
