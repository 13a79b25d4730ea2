// The editor's form as data: every page is a table of lines, and each line
// holds cells (a control by its design name, its kind, its column span...).
// One loop (main_window_layout.cpp) turns a table into widgets and layouts;
// nothing places a control by a row number written by hand. The enable rules
// and the colour-box -> swatch map read the same tables, and the words on the
// screen come from the caption table of the core (control_captions.h), so that
// each fact is written once.
//
// A line of a grid is a grid row; its cells take the next columns, as wide as
// their spans. In a column (QVBoxLayout) or a line layout (QHBoxLayout) every
// cell is the next item. For example the slot page's line
//   {label("Label8").spanning(2), text("Text4", Index::Page).spanning(3)}
// puts Label8(i) at columns 0-1 and Text4(i) at columns 2-4 of the next row.
#pragma once

#include <Qt>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>

#include "document/field_table.h"

namespace quillane {

struct FormTable;

// The kind of control a cell makes.
enum class CellKind : std::uint8_t {
  None,      // an empty place in a line of fewer cells
  Label,     // QLabel
  Note,      // QLabel whose words wrap
  Text,      // QLineEdit
  Colour,    // colour text (6 characters), its "作る" button and its swatch: three grid columns
  Swatch,    // a swatch alone (the parked colour)
  FreeList,  // editable QComboBox that keeps exactly what was typed
  List,      // QComboBox of fixed items, whose position is the value
  Check,     // check box the user toggles between 0 and 1 (a file may set it greyed)
  Switch,    // plain two-state check box
  Option,    // radio button
  Button,    // push button
  Slider,    // horizontal slider, 0..100
  Number,    // spin box
  Shown,     // read-only QLineEdit: a value the window shows and sets by its own commands
  Progress,  // progress bar of a task that runs beside the editor
  Report,    // read-only QPlainTextEdit: what such a task found
  Picture,   // the scrollbar picture
  Group,     // QGroupBox around a nested table; its title is the frame the caption table names
  Nest,      // a nested table laid out in place, without a frame
  Tabs,      // a tab strip whose pages are built from a nested table
  Stretch,   // stretch in a column or a line layout
};

// Which index a control has, from the page it is on.
enum class Index : std::uint8_t {
  None,      // kNoIndex
  Fixed,     // the cell's offset itself
  Page,      // the page's index: the tag slot or the user class
  Fore,      // the text colour of the page's slot, foreColourIndex()
  Back,      // its background colour, backColourIndex()
  Each,      // the count of a repeated cell or line, plus the offset
  EachFore,  // the text colour of that count's slot
  EachBack,  // its background colour
};

// Which words a cell shows.
enum class Words : std::uint8_t {
  Own,        // the control's own caption in the caption table, or `caption` when set
  Beside,     // a label: the caption of the first stored control after it in its line
  FrameOf,    // a label: the frame the caption table puts around the controls after it
  None,       // no words (the scrollbar rows' check boxes, named by their labels)
  SlotName,   // a label: the tag slot of its index, as that slot's check box names it
  ClassName,  // a label: the name of the user class of its index, which the window keeps up to date
};

// Which switches a control follows: their enable rules set it on or off.
// Flags, since the image path follows both its slot and the image option.
enum class Follows : std::uint16_t {
  Nothing = 0,
  Page = 1,        // the tag slot's or the user class's check box (Check7, Check12)
  Row = 2,         // the scrollbar row's check box (Check6)
  Image = 4,       // the background image option (Option4 "使用する")
  StyleSheet = 8,  // the style-sheet output format (Option6)
  Html = 16,       // the HTML output format (Option5)
  LinkPage = 32,   // the linking page of the style sheet (Option7)
  Modern = 64,     // the modern output (Check28), which alone writes the dark variant
  Dark = 128,      // the dark variant's switch (CheckDark), with the modern output on
  Gradient = 256,  // a slot's gradient kind other than "なし"
  Linear = 512,    // ... which is "線形"
};
constexpr Follows operator|(Follows a, Follows b) {
  return static_cast<Follows>(static_cast<std::uint16_t>(a) | static_cast<std::uint16_t>(b));
}
constexpr bool followsAny(Follows set, Follows these) {
  return (static_cast<std::uint16_t>(set) & static_cast<std::uint16_t>(these)) != 0;
}

// The items of a free list: the size units, the cursor names, or the
// installed typefaces (one list shared by the six font lists, set at start-up);
// the gradient kinds of a fixed list, in the order of GradientKind.
enum class Items : std::uint8_t { None, Units, Cursors, Fonts, GradientKinds };

// A set of page indexes (bit i: page i); a cell not on every page of its
// tab strip is made only on those.
using PageSet = std::uint8_t;
inline constexpr PageSet kEveryPage = 0xFF;
constexpr PageSet onPages(std::initializer_list<int> pages) {
  PageSet set = 0;
  for (int p : pages) set = static_cast<PageSet>(set | (1u << p));
  return set;
}

struct FormCell {
  CellKind kind = CellKind::None;
  std::string_view family;  // the design name; empty for a cell that registers nothing
  Index index = Index::None;
  int offset = 0;            // added to the index: the scrollbar rows' Label9(k - 5)
  std::string_view caption;  // words the caption table does not hold (button captions, notes)
  Words words = Words::Own;
  int span = 1;     // columns, in a grid
  int stretch = 0;  // in a column or line layout
  Qt::Alignment align = {};
  Follows follows = Follows::Nothing;
  PageSet pages = kEveryPage;
  int count = 1;    // a repeated cell: indexes 0..count-1 of its family
  int perLine = 0;  // ... wrapping to the next grid row after that many (0: never)
  int maxLength = 0;
  int width = 0;  // a fixed width in pixels
  bool plainText = false;
  Items items = Items::None;
  const FormTable* nested = nullptr;  // Group, Nest, Tabs

  // Modifiers, so a table line reads as one expression.
  constexpr FormCell spanning(int columns) const { return with(&FormCell::span, columns); }
  constexpr FormCell stretched(int factor) const { return with(&FormCell::stretch, factor); }
  constexpr FormCell aligned(Qt::Alignment a) const { return with(&FormCell::align, a); }
  constexpr FormCell following(Follows f) const { return with(&FormCell::follows, f); }
  constexpr FormCell only(PageSet set) const { return with(&FormCell::pages, set); }
  constexpr FormCell limited(int length) const { return with(&FormCell::maxLength, length); }
  constexpr FormCell repeated(int times, int wrapAfter = 0) const {
    FormCell c = *this;
    c.count = times;
    c.perLine = wrapAfter;
    return c;
  }

 private:
  template <class T>
  constexpr FormCell with(T FormCell::*member, T value) const {
    FormCell c = *this;
    c.*member = value;
    return c;
  }
};

// A line of a table: up to six cells. A repeated line is made once for
// each index first..last, which its cells of Index::Each take.
struct FormLine {
  std::array<FormCell, 6> cells{};
  int first = 0;
  int last = 0;
};

enum class FormLayout : std::uint8_t { Grid, Column, Line };

// Margins -1 keep the style's. Spacing -1 keeps the layout's own.
struct FormSpacing {
  int left = -1, top = -1, right = -1, bottom = -1;
  int spacing = -1;
  int vertical = -1;  // a grid's vertical spacing
};

struct FormTable {
  FormLayout layout = FormLayout::Grid;
  std::span<const FormLine> lines;
  FormSpacing spacing{};
  int stretchColumn = -1;     // a grid column that takes the spare width
  bool stretchBelow = false;  // a grid row after the last one takes the spare height
  // What every control made in this table and the tables inside it follows,
  // as well as its own; not the frames, which say their own.
  Follows follows = Follows::Nothing;
};

// The pages of the form.
extern const FormTable kBasicTab;  // Frame1: the slot check boxes and the slot tab strip
extern const FormTable kSlotPage;  // one page of SSTab2, for tag slot i
extern const FormTable kScrollbarTab;
extern const FormTable kEffectsTab;  // the notes, the class tab strip and the class check boxes
extern const FormTable kClassPage;   // one page of SSTab4, for user class c
extern const FormTable kOutputTab;
extern const FormTable kDarkTab;     // "ダークモード": its switch and the dark colours
extern const FormTable kWebFontTab;  // "Webフォント": the sets kept, the limit, the measuring
extern const FormTable kParking;     // controls that hold values but are never shown

// A colour text family with the "作る" button and the swatch beside each box.
struct ColourFamily {
  std::string_view text;
  std::string_view button;
  std::string_view swatch;
};
// Every colour text family, Text3 first.
std::span<const ColourFamily> colourFamilies();
// The family of `textFamily` ("Text13" -> Command7, Shape2), or nothing.
const ColourFamily* colourFamilyOf(std::string_view textFamily);

// One control a table makes on page `page`, with the cell that makes it.
// A colour cell makes three: the text, the button and the swatch.
struct FormControl {
  ControlId id;
  const FormCell* cell;
  CellKind kind;    // the control's own kind: a colour cell's are Text, Button and Swatch
  Follows follows;  // the cell's own switches and those its tables give it
  int depth;        // the frames around it within the page
};

// Calls `visit` for every control `table` makes on page `page`, nested
// tables included, in the order they are made (a frame before its contents).
// Tab strips are visited, not the pages inside them.
void forEachControl(const FormTable& table, int page, const std::function<void(const FormControl&)>& visit);

// Where a cell goes: the grid row and column (in a column or line layout,
// only the order counts) and the count of its repeated line or cell.
struct FormPlacement {
  const FormCell* cell;
  const FormLine* line;
  std::size_t cellInLine;
  int row;
  int column;
  int each;
};

// The one loop over a table: calls `place` for every cell made on page
// `page`, line by line, a repeated cell once per index. Nested tables are
// left to the caller. `each` is the count of the enclosing repeated line.
void forEachPlacement(const FormTable& table, int page, int each,
                      const std::function<void(const FormPlacement&)>& place);

// The index of the control `cell` makes at that place.
int indexOf(const FormCell& cell, int page, int each);

// The words `placement` shows at `depth` frames within its page: its own
// caption, or a label's words from the control after it (see Words).
std::string_view wordsOf(const FormPlacement& placement, int page, int depth);
// The title of a frame at `depth`: the frame the caption table puts around
// the first stored control inside it.
std::string_view frameTitleOf(const FormCell& group, int page, int each, int depth);

}  // namespace quillane
