// The form's tables against the document's tables: every stored setting is
// made once, on the tab, page and in the frames the caption table names it by.
#include "editor/form_table.h"

#include <QTest>
#include <map>
#include <string>
#include <vector>

#include "document/control_captions.h"

using namespace quillane;

namespace {

struct Page {
  const FormTable* table;
  int index;
  std::string_view tab;  // empty for the parking area
  CaptionPage kind;
};

std::vector<Page> everyPage() {
  std::vector<Page> pages = {{&kBasicTab, kNoIndex, kMainTabCaptions[0], CaptionPage::None},
                             {&kScrollbarTab, kNoIndex, kMainTabCaptions[1], CaptionPage::None},
                             {&kEffectsTab, kNoIndex, kMainTabCaptions[2], CaptionPage::None},
                             {&kOutputTab, kNoIndex, kMainTabCaptions[3], CaptionPage::None},
                             {&kDarkTab, kNoIndex, kMainTabCaptions[4], CaptionPage::None},
                             {&kParking, kNoIndex, {}, CaptionPage::None}};
  for (int i = 0; i < kTagSlotCount; ++i) pages.push_back({&kSlotPage, i, kMainTabCaptions[0], CaptionPage::Slot});
  for (int c = 0; c < kUserClassCount; ++c) pages.push_back({&kClassPage, c, kMainTabCaptions[2], CaptionPage::Class});
  return pages;
}

struct Made {
  Page page;
  std::vector<std::string_view> frames;  // the titles of the frames around it
};

// Walks `table` as the window builds it, keeping the frames around each control.
void walk(const FormTable& table, const Page& page, int each, std::vector<std::string_view>& frames,
          std::map<std::string, std::vector<Made>>& made) {
  forEachPlacement(table, page.index, each, [&](const FormPlacement& at) {
    const FormCell& cell = *at.cell;
    const int index = indexOf(cell, page.index, at.each);
    if (cell.kind == CellKind::Group) {
      frames.push_back(frameTitleOf(cell, page.index, at.each, static_cast<int>(frames.size())));
      walk(*cell.nested, page, at.each, frames, made);
      frames.pop_back();
    } else if (cell.kind == CellKind::Nest) {
      walk(*cell.nested, page, at.each, frames, made);
    } else if (!cell.family.empty()) {
      made[ControlId{cell.family, index}.toString()].push_back({page, frames});
    }
  });
}

}  // namespace

class FormTableTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void everyStoredSettingIsMadeOnceWhereItsWordsSay() {
    std::map<std::string, std::vector<Made>> made;
    for (const Page& page : everyPage()) {
      std::vector<std::string_view> frames;
      walk(*page.table, page, 0, frames, made);
    }
    for (const auto& [name, places] : made) QVERIFY2(places.size() == 1, name.c_str());

    for (const FamilyRange& range : allFamilies()) {
      if (range.family == "SSTab4") continue;  // the class names are the tab captions
      for (int i = range.first; i <= range.last; ++i) {
        const ControlId id{range.family, i};
        const auto it = made.find(id.toString());
        QVERIFY2(it != made.end(), id.toString().c_str());
        const Made& where = it->second.front();
        const CaptionRow* row = captionRowOf(id);
        QVERIFY2(row != nullptr, id.toString().c_str());
        QCOMPARE(row->tab, where.page.tab);
        if (row->page == CaptionPage::Slot || row->page == CaptionPage::Class) {
          QCOMPARE(row->page, where.page.kind);
          QCOMPARE(row->pageOfFirst + (i - row->first), where.page.index);
        }
        // The frames on the screen come first in the words; a caption like
        // "属性" that heads a group without a frame may follow.
        QVERIFY2(row->frames.size() >= where.frames.size(), id.toString().c_str());
        for (std::size_t k = 0; k < where.frames.size(); ++k) QCOMPARE(row->frames[k], where.frames[k]);
      }
    }
  }

  void eachColourBoxHasItsButtonAndSwatch() {
    // "Text13" -> Command7 and Shape2, and so on.
    for (const ColourFamily& family : colourFamilies()) {
      QVERIFY(colourFamilyOf(family.text) == &family);
      QVERIFY(!family.button.empty() && !family.swatch.empty());
    }
    QCOMPARE(colourFamilyOf("Text13")->swatch, std::string_view("Shape2"));
    QCOMPARE(colourFamilyOf("Text25")->button, std::string_view("Command11"));
    QVERIFY(colourFamilyOf("Text14") == nullptr);
  }

  void repeatedCellsWrapAndLinesCount() {
    // Check7(0..5), three to a row of the slot check boxes' grid.
    std::vector<std::pair<int, int>> places;
    const FormCell& checks = kBasicTab.lines[0].cells[0];
    forEachPlacement(*checks.nested, kNoIndex, 0, [&](const FormPlacement& at) {
      QCOMPARE(indexOf(*at.cell, kNoIndex, at.each), static_cast<int>(places.size()));
      places.emplace_back(at.row, at.column);
    });
    QCOMPARE(places, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}));

    // The slot page: a cell only some pages have keeps the columns of the
    // cells after it, and every line is the next grid row.
    std::vector<int> noteRows;
    int lastRow = -1;
    forEachPlacement(kSlotPage, kSlotHover, 0, [&](const FormPlacement& at) {
      QVERIFY(at.row >= lastRow);
      lastRow = at.row;
      if (at.cell->family.empty() && at.cell->kind == CellKind::Label) noteRows.push_back(at.column);
    });
    QCOMPARE(noteRows, std::vector<int>{3});
    QCOMPARE(lastRow, 10);
    noteRows.clear();
    forEachPlacement(kSlotPage, kSlotP, 0, [&](const FormPlacement& at) {
      if (at.cell->family.empty() && at.cell->kind == CellKind::Label) noteRows.push_back(at.column);
    });
    QVERIFY(noteRows.empty());
  }
};

QTEST_APPLESS_MAIN(FormTableTest)
#include "form_table_test.moc"
