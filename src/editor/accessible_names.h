// What screen readers say about the form's controls, taken from the same
// tables that lay the form out (form_table.h) and the caption table of the
// core (spokenName in control_captions.h): "段落 フォントカラー", the button
// beside it "段落 フォントカラー 作る", its swatch "段落 フォントカラー 色見本"
// with the colour as its description ("赤 #FF0000").
#pragma once

#include <QComboBox>
#include <QRadioButton>

#include "document/style_document.h"

namespace quillane {

class ControlRegistry;

// Names every built control of the form, the class pages after the classes'
// names in `doc`: called after pages are built and after a class is renamed.
// A control that stores nothing takes the name of the box it serves (a
// colour's "作る" button and swatch, a browse button), or keeps its caption.
void nameControls(const ControlRegistry& controls, const StyleDocument& doc);

// Lets assistive technology see the editor's own widgets: a swatch as a
// picture whose description is its colour, a free list named by its label,
// an option button as a radio button.
// Harmless to call more than once.
void installAccessibleInterfaces();

// An editable list (the font, unit and cursor lists) whose value is exactly
// what the user typed or picked. Qt's inline completion would fill in the
// rest of the first match ("ミ" + Enter stored "ミリメートル"), and Enter
// would swap the text for an item that matches it ignoring case; suggestions
// come in a popup instead, and only a suggestion the user picks replaces the
// text. The completer is made when the list first takes the keyboard, the
// only way to type into it (Qt's own, made with the line edit, and its model
// cost start-up 0.7 M instructions a list).
// Qt's own interface for combo boxes says the current text as the name on
// Linux; this one says the accessible name and gives the text as the value.
class FreeList : public QComboBox {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FreeList)

 public:
  explicit FreeList(QWidget* parent = nullptr);
  void showPopup() override;

 Q_SIGNALS:
  // Before the list opens or takes the keyboard: a list whose items come
  // late gets them now.
  void aboutToBeUsed();

 protected:
  void focusInEvent(QFocusEvent* event) override;
};

// A list of fixed items (a gradient's kind), named and valued as a free list.
class FixedList : public QComboBox {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(FixedList)

 public:
  explicit FixedList(QWidget* parent = nullptr);
};

// An option button of a pair. The window keeps each pair exclusive itself
// (a file may select neither), and Qt's own interface calls a radio button
// that is not auto-exclusive a check box; this one stays a radio button.
class OptionButton : public QRadioButton {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(OptionButton)

 public:
  explicit OptionButton(const QString& text, QWidget* parent = nullptr);
};

}  // namespace quillane
