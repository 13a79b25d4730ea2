#include "editor/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCompleter>
#include <QLineEdit>
#include <utility>

#include "document/control_captions.h"
#include "editor/colour_swatch.h"
#include "editor/control_registry.h"
#include "editor/form_table.h"
#include "editor/text_shaping.h"

namespace quillane {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Every page of the form, with the index its tables take.
struct FormPage {
  const FormTable* table;
  int first;
  int last;
};
const FormPage kPages[] = {{&kBasicTab, kNoIndex, kNoIndex},      {&kSlotPage, 0, kTagSlotCount - 1},
                           {&kScrollbarTab, kNoIndex, kNoIndex},  {&kEffectsTab, kNoIndex, kNoIndex},
                           {&kClassPage, 0, kUserClassCount - 1}, {&kOutputTab, kNoIndex, kNoIndex},
                           {&kDarkTab, kNoIndex, kNoIndex},       {&kParking, kNoIndex, kNoIndex}};

// The controls the tables do not make (the tab strips, the tab area's
// scroll bars and the box of the kept rules), and those of a task that
// stores nothing (the web fonts' progress and report).
const std::pair<std::string_view, const char*> kOwnNames[] = {{"SSTab1", "タブ"},
                                                              {"SSTab2", "タグのページ"},
                                                              {"SSTab4", "クラスのページ"},
                                                              {"VScroll1", "タブの領域 縦スクロールバー"},
                                                              {"HScroll1", "タブの領域 横スクロールバー"},
                                                              {"KeptStyle", "そのほかのスタイルの規則"},
                                                              {"WebFontProgress", "Webフォント 進み具合"},
                                                              {"WebFontReport", "Webフォント 大きさと足りない文字"}};

void setName(QWidget* widget, const QString& name) {
  if (widget->accessibleName() != name) widget->setAccessibleName(name);
  // The box inside an editable list says the same as the list.
  if (auto* list = qobject_cast<QComboBox*>(widget); list != nullptr && list->lineEdit() != nullptr)
    list->lineEdit()->setAccessibleName(name);
}

// A swatch: a picture whose description is its colour.
class SwatchInterface : public QAccessibleWidget {
 public:
  explicit SwatchInterface(QWidget* swatch) : QAccessibleWidget(swatch, QAccessible::Graphic) {}
};

// A free list or a fixed one: named by its accessible name, its text as the
// value, its popup list and edit box (a free list's) as children, as Qt's own
// combo box has them.
class FreeListInterface : public QAccessibleWidget {
 public:
  explicit FreeListInterface(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {
    addControllingSignal(QStringLiteral("activated(int)"));
  }

  QComboBox* list() const { return static_cast<QComboBox*>(object()); }

  int childCount() const override { return list()->lineEdit() != nullptr ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(list()->view());
    if (index == 1 && list()->lineEdit() != nullptr) return QAccessible::queryAccessibleInterface(list()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    if (child->object() == list()->view()) return 0;
    if (list()->lineEdit() != nullptr && child->object() == list()->lineEdit()) return 1;
    return -1;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return list()->currentText();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = list()->isEditable();
    s.expandable = true;
    s.expanded = list()->view()->isVisible();
    return s;
  }
  QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
  void doAction(const QString& action) override {
    if (action == showMenuAction() || action == pressAction()) list()->showPopup();
  }
};

// An option button: a radio button, checked or not, that a press selects.
class OptionButtonInterface : public QAccessibleWidget {
 public:
  explicit OptionButtonInterface(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}

  QAbstractButton* button() const { return static_cast<QAbstractButton*>(object()); }

  QString text(QAccessible::Text t) const override {
    const QString own = QAccessibleWidget::text(t);
    if (t == QAccessible::Name && own.isEmpty()) return button()->text().remove(QLatin1Char('&'));
    return own;
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = button()->isChecked();
    return s;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction()) button()->click();
  }
};

QAccessibleInterface* editorInterfaces(const QString& className, QObject* object) {
  if (className == QLatin1String("quillane::ColourSwatch")) return new SwatchInterface(static_cast<QWidget*>(object));
  if (className == QLatin1String("quillane::FreeList") || className == QLatin1String("quillane::FixedList"))
    return new FreeListInterface(static_cast<QComboBox*>(object));
  if (className == QLatin1String("quillane::OptionButton"))
    return new OptionButtonInterface(static_cast<QAbstractButton*>(object));
  return nullptr;
}

// Stands in for a list's completer while the list takes its line edit, so
// that Qt makes none of its own. Inline, it needs no popup view.
QCompleter* placeholderCompleter() {
  static QCompleter* const placeholder = [] {
    auto* completer = new QCompleter;
    completer->setCompletionMode(QCompleter::InlineCompletion);
    return completer;
  }();
  return placeholder;
}

}  // namespace

// A line edit given directly instead of setEditable(true), which would also
// make the popup's view at once; the view comes when the list first needs it.
FreeList::FreeList(QWidget* parent) : QComboBox(parent) {
  auto* edit = new QLineEdit(this);
  edit->setCompleter(placeholderCompleter());
  setLineEdit(edit);
  edit->setCompleter(nullptr);
  setInsertPolicy(QComboBox::NoInsert);
}

FixedList::FixedList(QWidget* parent) : QComboBox(parent) {}

void FreeList::showPopup() {
  Q_EMIT aboutToBeUsed();
  // The items are a user's (font names): shaped where they need it.
  view()->setFont(shapedFont(font()));
  QComboBox::showPopup();
}

void FreeList::focusInEvent(QFocusEvent* event) {
  Q_EMIT aboutToBeUsed();
  if (completer() == nullptr) {
    auto* suggestions = new QCompleter(model(), lineEdit());
    suggestions->setCompletionColumn(modelColumn());
    suggestions->setCompletionMode(QCompleter::PopupCompletion);
    suggestions->setCaseSensitivity(Qt::CaseSensitive);
    setCompleter(suggestions);
  }
  QComboBox::focusInEvent(event);
}

OptionButton::OptionButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {}

void installAccessibleInterfaces() { QAccessible::installFactory(&editorInterfaces); }

void nameControls(const ControlRegistry& controls, const StyleDocument& doc) {
  for (const FormPage& page : kPages) {
    for (int p = page.first; p <= page.last; ++p) {
      // The stored box most recently named at each depth: the buttons and
      // the swatch after it in its frame serve it.
      QString box;
      int boxDepth = -1;
      forEachControl(*page.table, p, [&](const FormControl& c) {
        QWidget* widget = controls.findBuilt(c.id);
        if (c.depth != boxDepth) box.clear();
        // A page not built yet is named when it is: its controls are built
        // together, so no built control here follows a box that is not.
        if (widget == nullptr) return;
        const QString name = qs(spokenName(c.id, doc));
        if (!name.isEmpty()) {
          setName(widget, name);
          if (c.kind == CellKind::Text || c.kind == CellKind::Shown) {
            box = name;
            boxDepth = c.depth;
          }
          return;
        }
        if (box.isEmpty()) return;
        if (c.kind == CellKind::Swatch) setName(widget, box + QStringLiteral(" 色見本"));
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) setName(widget, box + u' ' + button->text());
      });
    }
  }
  for (const auto& [family, name] : kOwnNames)
    if (QWidget* widget = controls.findBuilt({family, kNoIndex})) setName(widget, QString::fromUtf8(name));
}

}  // namespace quillane
