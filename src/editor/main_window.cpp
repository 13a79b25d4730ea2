#include "editor/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QSlider>
#include <QStringListModel>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>

#include "document/product.h"
#include "editor/accessible_names.h"
#include "editor/advice_marks.h"
#include "editor/colour_swatch.h"
#include "editor/form_table.h"
#include "editor/link_window.h"
#include "editor/live_view_window.h"
#include "editor/readable_colours.h"
#include "editor/resize_rule.h"
#include "editor/scrollbar_preview.h"
#include "editor/text_shaping.h"
#include "editor/typing_limit.h"
#include "generation/colour_scheme.h"
#include "generation/font_stacks.h"
#include "generation/make_command.h"
#include "generation/output_choice.h"
#include "generation/web_font_faces.h"
#include "platform/application_folder.h"
#include "preview/preview_commands.h"

namespace quillane {

namespace {

// Captions a user wrote (the classes' names) take the shaper where they need it.
void setCaption(QCheckBox* box, const QString& caption) {
  box->setText(caption);
  shapeAsNeeded(box, caption);
}

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The swatch family of each colour text family.
std::string_view swatchFamilyOf(std::string_view textFamily) {
  const ColourFamily* family = colourFamilyOf(textFamily);
  return family != nullptr ? family->swatch : std::string_view();
}

// The other button of an option pair.
std::string_view partnerOf(std::string_view option) {
  static const std::pair<std::string_view, std::string_view> kPairs[] = {{"Option3", "Option4"},
                                                                         {"Option9", "Option10"},
                                                                         {"Option12", "Option13"},
                                                                         {"Option5", "Option6"},
                                                                         {"Option7", "Option8"}};
  for (const auto& [a, b] : kPairs) {
    if (option == a) return b;
    if (option == b) return a;
  }
  return {};
}

// Check box states of the document (0, 1, 2 greyed) and of Qt.
Qt::CheckState toQt(int state) { return state == 1 ? Qt::Checked : state == 2 ? Qt::PartiallyChecked : Qt::Unchecked; }
int fromQt(int state) { return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0; }

// Counts the edit handlers running inside one another.
class EditScope {
 public:
  explicit EditScope(int& depth) : m_depth(depth) { ++m_depth; }
  ~EditScope() { --m_depth; }
  Q_DISABLE_COPY_MOVE(EditScope)

 private:
  int& m_depth;
};

// Twips to whole pixels, rounded up, so that the pixels hold all the twips.
int pixelsHolding(int twips, int twipsPerPixel) { return (twips + twipsPerPixel - 1) / twipsPerPixel; }

int twipsPerPixel(qreal dpi) { return dpi > 0 ? qMax(1, qRound(1440.0 / dpi)) : 15; }

// A class name as a tab or check-box caption, where "&" would mark a shortcut.
QString captionOf(const std::string& name) { return qs(name).replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

MainWindow::MainWindow(Platform& platform, const QString& applicationFolder, QWidget* parent)
    : QMainWindow(parent), m_platform(platform) {
  setObjectName(QStringLiteral("Form1"));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    m_tx = twipsPerPixel(screen->logicalDotsPerInchX());
    m_ty = twipsPerPixel(screen->logicalDotsPerInchY());
  }
  m_appFolder = applicationFolder.toStdString();
  installAccessibleInterfaces();
  // The window's captions are drawn without the shaper; boxes showing what
  // a user wrote take it where their text needs it.
  setFont(unshapedFont(font()));
  buildWindow();
  buildKeptStyleTab();
  Form_Load();
  resize(largestOuterSize());
  // Read as the menu opens: another editor running beside this one may
  // have added to the list.
  connect(m_recentMenu, &QMenu::aboutToShow, this, &MainWindow::loadRecentFiles);
  connectHistory();
  m_adviceMarks = new AdviceMarks(m_doc, m_controls, this);
  connect(this, &MainWindow::documentChanged, m_adviceMarks, &AdviceMarks::refresh);
  // The start-up state is where the history begins.
  m_history.restart();
  m_history.setFile({std::string(), settingsFileText(m_doc, Layout::Settings)});
  updateTitle();
}

MainWindow::~MainWindow() = default;

ScrollbarPreview* MainWindow::scrollbarPreview() const { return m_controls.get<ScrollbarPreview>("BarPic1"); }

ColourSwatch* MainWindow::swatch(std::string_view family, int index) const {
  return m_controls.get<ColourSwatch>(family, index);
}

// --- Start-up -------------------------------------------------------------

void MainWindow::Form_Load() {
  // 1. The application folder always ends in a separator.
  if (m_appFolder.empty() || m_appFolder.back() != '/') m_appFolder += '/';
  // 2. The installed typefaces, the same list in all six font boxes: the
  // first picture shows none of them, so they come after it.
  m_fonts = new QStringListModel(this);
  // 4. The class check boxes show the class names.
  for (UserClass& cls : m_doc.classes) cls.checkCaption = cls.className;
  settle(0);
  nameControls(m_controls, m_doc);
  m_startDoc = m_doc;
  // 11. The sample menu, read as it opens: a sample saved meanwhile, here
  // or by another editor, is there.
  connect(m_sampleMenu, &QMenu::aboutToShow, this, &MainWindow::SampleLoad);
}

void MainWindow::settle(qsizetype first) {
  const QList<QWidget*> made = m_controls.registeredFrom(first);
  const QSet<QWidget*> batch(made.begin(), made.end());
  const auto has = [&](std::string_view family, int index = kNoIndex) {
    QWidget* widget = m_controls.findBuilt({family, index});
    return widget != nullptr && batch.contains(widget);
  };
  // A stored field's control; the class names are the captions of SSTab4.
  const auto holds = [&](ControlId id) { return id.family == "SSTab4" ? has("SSTab4") : has(id.family, id.index); };
  const auto forEachField = [](const std::function<void(ControlId)>& f) {
    for (const FamilyRange& range : allFamilies())
      for (int i = range.first; i <= range.last; ++i) f({range.family, i});
  };

  // 2. The font name itself stays empty.
  for (int i = 0; i < kTagSlotCount; ++i)
    if (has("Combo1", i)) useFontList(m_controls.get<QComboBox>("Combo1", i));
  forEachField([&](ControlId id) {
    if (has(id.family, id.index)) bindField(id);
  });
  // As refreshFromDocument() does: the stored fields in file order, then
  // every field, so that each changed control runs its rule.
  for (const ControlId& id : layoutFields(Layout::Settings))
    if (holds(id)) refreshField(id);
  forEachField([&](ControlId id) {
    if (holds(id)) refreshField(id);
  });
  for (int c = 0; c < kUserClassCount; ++c)
    if (has("Check12", c))
      setCaption(m_controls.get<QCheckBox>("Check12", c),
                 captionOf(m_doc.classes[static_cast<std::size_t>(c)].checkCaption));
  if (has("SSTab4")) m_controls.get<QTabWidget>("SSTab4")->setCurrentIndex(m_doc.currentClassTab);
  if (has("BarPic1")) drawScrollbarPreview();
  if (has("CheckDark")) m_rules.darkVariant();
  for (int c = 0; c < kUserClassCount; ++c)
    if (has("LabelClass", c)) showClassName(c);

  // 3, 5. Output format and linking-page fields.
  if (has("Option5") || has("Check8")) m_rules.outputFormat();
  if (has("SSTab4")) m_controls.get<QTabWidget>("SSTab4")->setCurrentIndex(0);
  // 6. Swatches.
  for (const ColourFamily& colour : colourFamilies())
    forEachField([&](ControlId id) {
      if (id.family == colour.text && has(id.family, id.index)) updateSwatch(id.family, id.index);
    });
  // 7, 8, 9. Scrollbar rows, image rows, then every slot and class.
  if (has("Check6", kFirstScrollbarColour))
    for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k) m_rules.scrollbarRow(k);
  for (int j = 0; j < kTagSlotCount; ++j)
    if (has("Combo1", j)) m_rules.backgroundImage(j);
  for (int i = 0; i < kTagSlotCount; ++i) {
    if (has("Combo1", i)) m_rules.tagSlot(i);
    if (has("Check13", i)) m_rules.userClass(i);
  }
  // 10. The scrollbar picture.
  if (has("BarPic1")) drawScrollbarPreview();
  // The web fonts, which the field table does not hold.
  for (int i = 0; i < kTagSlotCount; ++i)
    if (has("WebFontFace", i)) showWebFont(i);
  if (has("WebFontLimit")) {
    showWebFontChoices();
    bindWebFontChoices();
  }
  // The task's cancel button waits for a task.
  if (has("WebFontCancel")) fontTask();
}

void MainWindow::useFontList(QComboBox* list) {
  if (auto* free = qobject_cast<FreeList*>(list))
    connect(free, &FreeList::aboutToBeUsed, this, &MainWindow::fillFontLists, Qt::UniqueConnection);
  if (!m_fontsFilled) return;
  // Taking the model selects its first item; the box keeps its text, and
  // the document its value.
  const QSignalBlocker quiet(list);
  const QString text = list->currentText();
  list->setModel(m_fonts);
  list->setCurrentIndex(-1);
  list->setEditText(text);
}

void MainWindow::fillFontLists() {
  if (m_fontsFilled) return;
  m_fontsFilled = true;
  // The names as browsers match them, without the foundry the toolkit adds.
  std::vector<std::string> families;
  for (const QString& family : QFontDatabase::families()) families.push_back(family.toStdString());
  QStringList names;
  for (const std::string& name : browserFamilyNames(families)) names << QString::fromStdString(name);
  m_fonts->setStringList(names);
  for (int i = 0; i < kTagSlotCount; ++i)
    if (auto* list = qobject_cast<QComboBox*>(m_controls.findBuilt({"Combo1", i}))) useFontList(list);
}

bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::Paint && !m_fontsFilled && !m_fontsQueued) {
    m_fontsQueued = true;
    QTimer::singleShot(0, this, &MainWindow::fillFontLists);
  }
  return QMainWindow::event(event);
}

// --- Binding --------------------------------------------------------------

void MainWindow::bindField(ControlId id) {
  QWidget* widget = m_controls.find(id);
  if (widget == nullptr) return;  // class names live in the tab captions
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textChanged, this, [this, id, edit](const QString& text) {
      const EditScope scope(m_editDepth);
      fitTypingLimit(edit, text.size());
      *fieldOf(m_doc, id)->text = text.toStdString();
      onTextChanged(id);
      recordEdit(id, true);
    });
  } else if (auto* kinds = qobject_cast<QComboBox*>(widget); kinds != nullptr && !kinds->isEditable()) {
    // A list of fixed items: the gradient kinds, in the order of GradientKind.
    connect(kinds, &QComboBox::currentIndexChanged, this, [this, id](int position) {
      if (position < 0) return;
      const EditScope scope(m_editDepth);
      *fieldOf(m_doc, id)->gradient = static_cast<GradientKind>(position);
      m_rules.gradient(id.index);
      recordEdit(id, false);
    });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::editTextChanged, this, [this, id](const QString& text) {
      const EditScope scope(m_editDepth);
      *fieldOf(m_doc, id)->text = text.toStdString();
      recordEdit(id, true);
    });
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    // Pairs are kept exclusive here, since a loaded file may select neither.
    radio->setAutoExclusive(false);
    connect(radio, &QRadioButton::toggled, this, [this, id, radio](bool on) {
      const EditScope scope(m_editDepth);
      if (!on) {
        // A click on the selected button keeps it selected.
        if (fieldOf(m_doc, id)->optionSelected()) radio->setChecked(true);
        return;
      }
      onOptionSelected(id);
      if (id.family == "Option3" || id.family == "Option4") m_rules.backgroundImage(id.index);
      if (id.family == "Option5" || id.family == "Option6") m_rules.outputFormat();
      if (id.family == "Option7" || id.family == "Option8") m_rules.linkPage();
      recordEdit(id, false);
    });
  } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    connect(check, &QCheckBox::stateChanged, this, [this, id](int state) {
      const EditScope scope(m_editDepth);
      *fieldOf(m_doc, id)->number = fromQt(state);
      if (id.family == "Check7") m_rules.tagSlot(id.index);
      if (id.family == "Check12") m_rules.userClass(id.index);
      if (id.family == "Check28" || id.family == "CheckDark") m_rules.darkVariant();
      // The opacity boxes' notes tell what the chosen output does; a class
      // page not built yet gets its note when it is.
      if (id.family == "Check28")
        for (int c = 0; c < kUserClassCount; ++c)
          if (m_controls.findBuilt({"Text2", c}) != nullptr) followOpacityText(c);
      if (id.family == "Check6") {
        m_rules.scrollbarRow(id.index);
        // The picture shows the ticked rows at once: a tick changes the
        // track's colour too, which follows the main colour when unticked.
        drawScrollbarPreview();
      }
      recordEdit(id, false);
    });
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    connect(slider, &QSlider::valueChanged, this, [this, id](int value) {
      const EditScope scope(m_editDepth);
      m_doc.classes[static_cast<std::size_t>(id.index)].moveOpacitySlider(value);
      refreshField({"Text2", id.index});
      // One drag, or a run of keys, is one step.
      recordEdit(id, true);
    });
    connect(slider, &QSlider::sliderReleased, this, [this] { m_history.endTyping(); });
  }
}

void MainWindow::recordEdit(ControlId id, bool typing) {
  // A change that an edit makes to another control (the slider's text) is
  // part of that edit's step.
  if (m_refreshing || m_editDepth > 1) return;
  if (typing)
    m_history.recordTyping(qs(id.toString()));
  else
    m_history.record();
}

void MainWindow::setAsOneStep(std::string_view family, int index, const QString& text) {
  m_history.endTyping();
  m_controls.get<QLineEdit>(family, index)->setText(text);
  m_history.endTyping();
}

void MainWindow::showDocument(const StyleDocument& target) {
  // The class page in view is the user's, not part of the step; the rules
  // that the refresh runs may still switch it, as they do for a load.
  const int classTab = m_doc.currentClassTab;
  m_doc = target;
  m_doc.currentClassTab = classTab;
  refreshFromDocument();
}

void MainWindow::connectHistory() {
  QUndoStack* stack = m_history.stack();
  connect(stack, &QUndoStack::canUndoChanged, m_undoAction, &QAction::setEnabled);
  connect(stack, &QUndoStack::canRedoChanged, m_redoAction, &QAction::setEnabled);
  m_undoAction->setEnabled(stack->canUndo());
  m_redoAction->setEnabled(stack->canRedo());
  connect(&m_history, &DocumentHistory::changed, this, &MainWindow::updateTitle);
  connect(&m_history, &DocumentHistory::changed, this, &MainWindow::documentChanged);
  m_history.takeUndoKeysFrom(this);
}

void MainWindow::onTextChanged(ControlId id) {
  if (id.family == "Text2") followOpacityText(id.index);
  if (!swatchFamilyOf(id.family).empty()) updateSwatch(id.family, id.index);
  // The dark counterpart's swatch, when built, shows a light colour its own box leaves empty.
  const std::string dark = std::string(id.family) + "Dark";
  if (const ColourFamily* family = colourFamilyOf(dark);
      family != nullptr && m_controls.findBuilt({family->swatch, id.index}) != nullptr)
    updateSwatch(family->text, id.index);
  if (id.family == "Text3" && id.index >= kFirstScrollbarColour && id.index <= kLastScrollbarColour)
    drawScrollbarPreview();
}

void MainWindow::followOpacityText(int c) {
  const UserClass& cls = m_doc.classes[static_cast<std::size_t>(c)];
  auto* slider = m_controls.get<QSlider>("Slider1", c);
  // Moving the slider rewrites the text with the same digits.
  if (const auto position = cls.opacityAsSlider(); position && *position != slider->value())
    slider->setValue(*position);
  auto* box = m_controls.get<QLineEdit>("Text2", c);
  markOpacityBox(c);
  if (cls.opacityAsSlider() == cls.opacitySlider) {
    box->setToolTip(QString());
    return;
  }
  box->setToolTip(QString::fromStdString(opacityBoxNote(m_doc, c)));
}

void MainWindow::markOpacityBox(int c) {
  auto* box = qobject_cast<QLineEdit*>(m_controls.findBuilt({"Text2", c}));
  if (box == nullptr) return;
  const UserClass& cls = m_doc.classes[static_cast<std::size_t>(c)];
  // Made from the palette the box stands in: the window's.
  box->setPalette(cls.opacityAsSlider() == cls.opacitySlider ? QPalette() : markedBoxPalette(palette()));
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::PaletteChange)
    for (int c = 0; c < kUserClassCount; ++c) markOpacityBox(c);
}

void MainWindow::onOptionSelected(ControlId id) {
  fieldOf(m_doc, id)->setOption(true);
  refreshField({partnerOf(id.family), id.index});
}

void MainWindow::refreshField(ControlId id) {
  const std::optional<FieldRef> field = fieldOf(m_doc, id);
  if (!field) return;
  if (field->kind == FieldKind::ClassName) {
    auto* classTabs = m_controls.get<QTabWidget>("SSTab4");
    classTabs->setTabText(id.index, captionOf(*field->text));
    shapeAsNeeded(classTabs->tabBar());
    return;
  }
  QWidget* widget = m_controls.find(id);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    const QString text = qs(*field->text);
    fitTypingLimit(edit, text.size());
    if (edit->text() != text) edit->setText(text);
  } else if (auto* kinds = qobject_cast<QComboBox*>(widget); kinds != nullptr && field->kind == FieldKind::Gradient) {
    kinds->setCurrentIndex(static_cast<int>(*field->gradient));
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    const QString text = qs(*field->text);
    if (combo->currentText() != text) combo->setEditText(text);
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    radio->setChecked(field->optionSelected());
  } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    check->setCheckState(toQt(*field->number));
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    slider->setValue(*field->number);
  }
}

void MainWindow::refreshFromDocument() {
  // The widgets' change signals write back what they are given; none of
  // that is an edit.
  const QScopedValueRollback<bool> refreshing(m_refreshing, true);
  buildWaitingPages();
  // The stored fields first, in file order, so rules run in that order.
  for (const ControlId& id : layoutFields(Layout::Settings)) refreshField(id);
  for (const FamilyRange& range : allFamilies())
    for (int i = range.first; i <= range.last; ++i) refreshField({range.family, i});
  // The class check boxes name the classes of the document shown, as at
  // start-up: a load, a sample or an undo may have renamed them.
  for (int c = 0; c < kUserClassCount; ++c) {
    UserClass& cls = m_doc.classes[static_cast<std::size_t>(c)];
    cls.checkCaption = cls.className;
    setCaption(m_controls.get<QCheckBox>("Check12", c), captionOf(cls.checkCaption));
    showClassName(c);
  }
  for (int i = 0; i < kTagSlotCount; ++i) showWebFont(i);
  showWebFontChoices();
  nameControls(m_controls, m_doc);
  m_controls.get<QTabWidget>("SSTab4")->setCurrentIndex(m_doc.currentClassTab);
  drawScrollbarPreview();
}

void MainWindow::showClassName(int c) {
  auto* label = qobject_cast<QLabel*>(m_controls.findBuilt({"LabelClass", c}));
  if (label == nullptr) return;
  // A long name is cut short, so that the colours beside it keep their place.
  constexpr int kWidest = 120;
  const QString name = qs(m_doc.classes[static_cast<std::size_t>(c)].className);
  const QString shown = label->fontMetrics().elidedText(name, Qt::ElideRight, kWidest);
  label->setMaximumWidth(kWidest);
  label->setText(shown);
  shapeAsNeeded(label, shown);
  label->setToolTip(shown == name ? QString() : name);
}

void MainWindow::updateSwatch(std::string_view textFamily, int index) {
  const std::optional<FieldRef> field = fieldOf(m_doc, {textFamily, index});
  ColourSwatch* shape = swatch(swatchFamilyOf(textFamily), index);
  if (!field || shape == nullptr) return;
  // An empty dark colour keeps its light one ("Text3Dark" of "Text3"), and
  // its swatch shows that.
  const std::string* text = field->text;
  if (text->empty() && textFamily.ends_with("Dark"))
    if (const auto light = fieldOf(m_doc, {textFamily.substr(0, textFamily.size() - 4), index})) text = light->text;
  // Text that is not hexadecimal leaves the swatch as it was.
  if (const auto bgr = swatchColourOf(*text)) shape->setColour(QColor(redOf(*bgr), greenOf(*bgr), blueOf(*bgr)));
}

void MainWindow::drawScrollbarPreview() {
  if (m_barPic == nullptr) return;
  ScrollbarPreview::RowColours colours;
  const auto row = [](int k) { return static_cast<std::size_t>(k - kFirstScrollbarColour); };
  for (int k = kFirstScrollbarColour; k <= kLastScrollbarColour; ++k)
    if (m_doc.scrollbarCheck(k) == 1) colours[row(k)] = swatch("Shape1", k)->colour();
  // As the note under the rows says, and as the modern output writes it: a
  // track left unticked is the main colour made lighter, halfway to white.
  const QColor face = colours[row(12)];
  if (m_doc.scrollbarCheck(17) != 1 && face.isValid())
    colours[row(17)] = QColor((face.red() + 255) / 2, (face.green() + 255) / 2, (face.blue() + 255) / 2);
  m_barPic->redraw(colours);
}

// --- Resize ---------------------------------------------------------------

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Form_Resize();
}

QSize MainWindow::largestOuterSize() const {
  return {pixelsHolding(largestWindowWidth(m_ssTab1->width() * m_tx), m_tx),
          pixelsHolding(largestWindowHeight(m_ssTab1->height() * m_ty), m_ty)};
}

void MainWindow::Form_Resize() {
  const QSize outer = frameGeometry().size();
  const QSize decoration = outer - size();
  // The window cannot be made larger than the size that shows everything:
  // maximising gives that size, and dragging a border further is refused
  // by the window manager rather than set back afterwards.
  const QSize largest = largestOuterSize() - decoration;
  if (maximumSize() != largest) setMaximumSize(largest);
  const ResizeOutcome r = settledResizeRule(outer.width() * m_tx, outer.height() * m_ty, m_ssTab1->width() * m_tx,
                                            m_ssTab1->height() * m_ty);
  if (r.stepsDone < 1) return;
  m_frame2->setGeometry(0, 0, r.frameWidth / m_tx, r.frameHeight / m_ty);
  if (r.stepsDone < 2) return;
  m_vScroll->setGeometry(r.vScrollLeft / m_tx, 0, m_vScroll->sizeHint().width(), r.vScrollHeight / m_ty);
  if (r.stepsDone < 3) return;
  // Every resize scrolls back to the start; a bar with nothing to scroll
  // holds no position, so no part of the tab area is left out of reach.
  setScrollRange(m_vScroll, r.vertical, r.frameHeight);
  if (r.setWindowHeight) {
    const int height = pixelsHolding(*r.setWindowHeight, m_ty) - decoration.height();
    if (height != this->height()) resize(width(), height);
  }
  if (r.stepsDone < 4) return;
  m_hScroll->setGeometry(0, r.hScrollTop / m_ty, r.hScrollWidth / m_tx, m_hScroll->sizeHint().height());
  if (r.stepsDone < 5) return;
  setScrollRange(m_hScroll, r.horizontal, r.frameWidth);
  if (r.setWindowWidth) {
    const int width = pixelsHolding(*r.setWindowWidth, m_tx) - decoration.width();
    if (width != this->width()) resize(width, height());
  }
}

void MainWindow::setScrollRange(QScrollBar* bar, ScrollState state, int visibleTwips) {
  bar->setEnabled(state.enabled);
  bar->setRange(0, state.enabled ? state.maximum : 0);
  // A click on the track moves a page, an arrow or a wheel notch a line.
  bar->setPageStep(qMax(1, visibleTwips));
  bar->setSingleStep(fontMetrics().lineSpacing() * (bar == m_vScroll ? m_ty : m_tx));
  bar->setValue(0);
  m_ssTab1->move(bar == m_hScroll ? 0 : m_ssTab1->x(), bar == m_vScroll ? 0 : m_ssTab1->y());
}

void MainWindow::scrollToControl(const QWidget* control) {
  if (control == nullptr || !m_ssTab1->isAncestorOf(control)) return;
  const QRect shown = m_frame2->rect();
  const QRect at(control->mapTo(m_frame2, QPoint(0, 0)), control->size());
  // The least move that shows the far edge, but never past the near one.
  const auto scroll = [](QScrollBar* bar, int nearEdge, int farEdge, int shownNear, int shownFar, int twips) {
    int move = 0;
    if (farEdge > shownFar) move = farEdge - shownFar;
    if (nearEdge - move < shownNear) move = nearEdge - shownNear;
    if (move != 0 && bar->isEnabled()) bar->setValue(bar->value() + move * twips);
  };
  scroll(m_vScroll, at.top(), at.bottom(), shown.top(), shown.bottom(), m_ty);
  scroll(m_hScroll, at.left(), at.right(), shown.left(), shown.right(), m_tx);
}

void MainWindow::wheelEvent(QWheelEvent* event) {
  // The wheel scrolls the tab area wherever no control takes it for itself:
  // the vertical bar, or the horizontal one for a sideways wheel or when
  // only that one can move.
  const QPoint delta = event->angleDelta();
  const bool sideways = qAbs(delta.x()) > qAbs(delta.y());
  QScrollBar* bar = sideways || !m_vScroll->isEnabled() ? m_hScroll : m_vScroll;
  if (bar->isEnabled())
    QCoreApplication::sendEvent(bar, event);
  else
    QMainWindow::wheelEvent(event);
}

// --- Commands -------------------------------------------------------------

void MainWindow::Command6_Click() {
  // An output with web fonts is made in two halves: the fonts on the font
  // task's thread, then the files on this one. Without a folder to write
  // to, the output is refused at once, before any font is cut.
  if (needsWebFonts(m_doc) && !webFontFolder(m_doc).empty())
    makeWebFonts(m_doc, true);
  else
    quillane::Command6_Click(m_platform, m_doc, m_appFolder);
}

void MainWindow::Command3_Click() { ChooseFolder("Text9"); }

void MainWindow::Command5_Click() { ChooseFolder("Text7"); }

void MainWindow::ChooseFolder(std::string_view folderBox) {
  if (const auto folder = m_platform.chooseFolder()) setAsOneStep(folderBox, kNoIndex, qs(*folder));
}

void MainWindow::pickColour(std::string_view textFamily, int index) {
  // The dialog starts from the colour in the box, when it holds one.
  const std::optional<BgrColour> start = swatchColourOf(*fieldOf(m_doc, {textFamily, index})->text);
  if (const auto colour = m_platform.colourDialog(start)) setAsOneStep(textFamily, index, qs(colourTextOf(*colour)));
}

void MainWindow::deriveDarkColours() {
  StyleDocument derived = m_doc;
  if (!deriveDarkVariant(derived)) {
    m_platform.messageBox(
        "「ページ本体」の背景がもう暗い色なので、暗いときの色は作りませんでした。"
        "暗いときの色が空の所は、明るいときの色のまま書き出されます。",
        "自動で作る", MessageIcon::Information, MessageButtons::Ok);
    return;
  }
  // The dark colours filled in (by hand, or derived from light colours that
  // have changed since) that the derivation would replace.
  int replaced = 0;
  for (const FamilyRange& range : allFamilies()) {
    if (!range.family.starts_with("Text") || !range.family.ends_with("Dark")) continue;
    for (int i = range.first; i <= range.last; ++i) {
      const std::string& now = *fieldOf(m_doc, {range.family, i})->text;
      if (!now.empty() && now != *fieldOf(derived, {range.family, i})->text) ++replaced;
    }
  }
  if (replaced > 0 &&
      m_platform.messageBox("入力してある暗いときの色のうち " + std::to_string(replaced) +
                                " 色が、明るいときの色から作った色に置き換わります。よろしいですか？",
                            "自動で作る", MessageIcon::Exclamation, MessageButtons::OkCancel) != MessageAnswer::Ok)
    return;
  if (derived == m_doc) return;
  m_history.endTyping();
  m_doc = std::move(derived);
  refreshFromDocument();
  m_history.record();
}

void MainWindow::Command4_Click(int slot) {
  const auto path = m_platform.fileDialog(
      FileDialogMode::Open, "画像ファイル(*.jpg,*.jpeg,*.png,*.gif)|*.jpg;*.jpeg;*.png;*.gif|全てのファイル|*.*");
  if (!path) return;
  setAsOneStep("Text6", slot, qs(*path));
  m_platform.messageBox(
      "画像ファイルの場所は、「C:\\・・・・\\○○.jpg」等のままだと、アップロードした時に画像が正しく表示されません\r\n"
      "「http://www.・・・○○.jpg」や「○○.jpg」のように書きかえてください。",
      "注意！！！", MessageIcon::Critical);
}

void MainWindow::renameCurrentClass() {
  const std::string name = m_platform.prompt("クラスの名前を入力してください", "クラスの名前を変更");
  if (name.empty()) return;
  const int c = m_controls.get<QTabWidget>("SSTab4")->currentIndex();
  auto& cls = m_doc.classes[static_cast<std::size_t>(c)];
  cls.className = name;
  cls.checkCaption = name;
  refreshField({"SSTab4", c});
  setCaption(m_controls.get<QCheckBox>("Check12", c), captionOf(name));
  showClassName(c);
  nameControls(m_controls, m_doc);
  m_history.record();
}

void MainWindow::MenuEnd_Click() { close(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!maySetChangesAside()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
  // The editor goes first, then the title window and the link window.
  for (const QString& name : {QStringLiteral("Form2"), QStringLiteral("Form4"), QStringLiteral("LiveView")})
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->objectName() == name && window->isVisible()) window->close();
}

void MainWindow::openhelp_Click() { m_platform.shellOpen(m_appFolder + "help/index.html"); }

void MainWindow::GOHP_Click() { m_platform.shellOpen(kHomePageAddress); }

void MainWindow::NormalPre_Click() { quillane::NormalPre_Click(m_platform, m_doc, previewHome(m_appFolder)); }

void MainWindow::GaibuPre_Click() {
  quillane::GaibuPre_Click(m_platform, m_doc, m_previewFiles, linkWindow()->injector());
  m_linkWindow->showInjectorText();
}

void MainWindow::Command8_Click() { quillane::Command8_Click(m_platform, m_doc, previewHome(m_appFolder)); }

LinkWindow* MainWindow::linkWindow() {
  if (m_linkWindow == nullptr) m_linkWindow = new LinkWindow(m_platform, m_tx, m_ty, this);
  return m_linkWindow;
}

LiveViewWindow* MainWindow::liveViewWindow() {
  if (m_liveView == nullptr) {
    // The pictures resolve where the "標準" preview's page lies.
    const QString previewFolder = qs(previewHome(m_appFolder)) + QStringLiteral("preview/");
    m_liveView =
        new LiveViewWindow(m_doc, previewFolder, liveViewPluginFolders(QCoreApplication::applicationDirPath()), this);
    connect(this, &MainWindow::documentChanged, m_liveView, &LiveViewWindow::followDocument);
    m_liveView->placeBeside(this);
  }
  return m_liveView;
}

void MainWindow::LiveView_Click() {
  // The view opens beside the editor and leaves the keyboard where it was,
  // so that typing goes on while the view follows. Once open, the key takes
  // the keyboard over to the view and back.
  LiveViewWindow* view = liveViewWindow();
  if (view->isVisible()) {
    QWidget* next = QApplication::activeWindow() == view ? static_cast<QWidget*>(this) : view;
    next->raise();
    next->activateWindow();
    return;
  }
  view->setAttribute(Qt::WA_ShowWithoutActivating);
  view->show();
  view->raise();
}

void MainWindow::JointCSS_Click() {
  if (!linkWindow()->isVisible()) m_linkWindow->placeOver(this);
  m_linkWindow->show();
  m_linkWindow->raise();
  m_linkWindow->activateWindow();
}

}  // namespace quillane
