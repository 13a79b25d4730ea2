#include "editor/form_table.h"

#include <algorithm>

#include "document/control_captions.h"

namespace quillane {

namespace {

// The light families first, in the design's order; the dark counterpart of
// each is named after it.
constexpr ColourFamily kColourFamilies[] = {
    {"Text3", "Command2", "Shape1"},
    {"Text13", "Command7", "Shape2"},
    {"Text21", "Command9", "Shape3"},
    {"Text23", "Command10", "Shape4"},
    {"Text24", "Command1", "Shape5"},
    {"Text25", "Command11", "Shape6"},
    {"TextGradient2", "CommandGradient2", "ShapeGradient2"},
    {"TextGradient3", "CommandGradient3", "ShapeGradient3"},
    {"Text3Dark", "Command2Dark", "Shape1Dark"},
    {"Text13Dark", "Command7Dark", "Shape2Dark"},
    {"Text21Dark", "Command9Dark", "Shape3Dark"},
    {"Text23Dark", "Command10Dark", "Shape4Dark"},
    {"Text24Dark", "Command1Dark", "Shape5Dark"},
    {"Text25Dark", "Command11Dark", "Shape6Dark"},
    {"TextGradient2Dark", "CommandGradient2Dark", "ShapeGradient2Dark"},
    {"TextGradient3Dark", "CommandGradient3Dark", "ShapeGradient3Dark"},
};

bool onPage(const FormCell& cell, int page) { return page < 0 || page >= 8 || (cell.pages >> page & 1u) != 0; }

// A colour cell fills three grid columns: the box, "作る" and the swatch.
int columnsOf(const FormCell& cell) { return cell.kind == CellKind::Colour ? 3 : cell.span; }

using Visit = std::function<void(const FormControl&)>;

void visitCell(const FormPlacement& at, int page, int depth, Follows inherited, const Visit& visit);

void visitTable(const FormTable& table, int page, int each, int depth, Follows inherited, const Visit& visit) {
  forEachPlacement(table, page, each,
                   [&](const FormPlacement& at) { visitCell(at, page, depth, inherited | table.follows, visit); });
}

void visitCell(const FormPlacement& at, int page, int depth, Follows inherited, const Visit& visit) {
  const FormCell& cell = *at.cell;
  const int index = indexOf(cell, page, at.each);
  const Follows follows = cell.follows | inherited;
  switch (cell.kind) {
    case CellKind::Colour: {
      const ColourFamily* family = colourFamilyOf(cell.family);
      visit({{family->text, index}, &cell, CellKind::Text, follows, depth});
      visit({{family->button, index}, &cell, CellKind::Button, follows, depth});
      visit({{family->swatch, index}, &cell, CellKind::Swatch, follows, depth});
      return;
    }
    case CellKind::Group:
      visit({{cell.family, index}, &cell, cell.kind, cell.follows, depth});
      visitTable(*cell.nested, page, at.each, depth + 1, inherited, visit);
      return;
    case CellKind::Nest:
      visitTable(*cell.nested, page, at.each, depth, inherited, visit);
      return;
    case CellKind::None:
    case CellKind::Stretch:
      return;
    default:
      if (!cell.family.empty()) visit({{cell.family, index}, &cell, cell.kind, follows, depth});
  }
}

// The first control after `from` in `line` that the caption table holds.
std::optional<ControlId> storedAfter(const FormPlacement& from, int page) {
  std::optional<ControlId> found;
  for (std::size_t k = from.cellInLine + 1; k < from.line->cells.size() && !found; ++k) {
    const FormPlacement next{&from.line->cells[k], from.line, k, from.row, 0, from.each};
    if (next.cell->kind == CellKind::None || !onPage(*next.cell, page)) continue;
    visitCell(next, page, 0, Follows::Nothing, [&](const FormControl& c) {
      if (!found && captionRowOf(c.id) != nullptr) found = c.id;
    });
  }
  return found;
}

std::string_view captionWords(ControlId id) {
  const CaptionRow* row = captionRowOf(id);
  if (row == nullptr || row->caption.empty()) return {};
  if (row->caption.size() == 1) return row->caption.front();
  return row->caption[static_cast<std::size_t>(id.index - row->first)];
}

std::string_view frameWords(ControlId id, int depth) {
  const CaptionRow* row = captionRowOf(id);
  if (row == nullptr || depth >= static_cast<int>(row->frames.size())) return {};
  return row->frames[static_cast<std::size_t>(depth)];
}

}  // namespace

std::span<const ColourFamily> colourFamilies() { return kColourFamilies; }

const ColourFamily* colourFamilyOf(std::string_view textFamily) {
  const auto* it = std::find_if(std::begin(kColourFamilies), std::end(kColourFamilies),
                                [&](const ColourFamily& f) { return f.text == textFamily; });
  return it == std::end(kColourFamilies) ? nullptr : it;
}

int indexOf(const FormCell& cell, int page, int each) {
  switch (cell.index) {
    case Index::None:
      return kNoIndex;
    case Index::Fixed:
      return cell.offset;
    case Index::Page:
      return page + cell.offset;
    case Index::Fore:
      return foreColourIndex(page);
    case Index::Back:
      return backColourIndex(page);
    case Index::Each:
      return each + cell.offset;
    case Index::EachFore:
      return foreColourIndex(each);
    case Index::EachBack:
      return backColourIndex(each);
  }
  return kNoIndex;
}

void forEachPlacement(const FormTable& table, int page, int each,
                      const std::function<void(const FormPlacement&)>& place) {
  int row = 0;
  for (const FormLine& line : table.lines) {
    const bool repeated = line.last > line.first;
    for (int n = line.first; n <= line.last; ++n) {
      int column = 0;
      int rowsUsed = 0;
      for (std::size_t k = 0; k < line.cells.size(); ++k) {
        const FormCell& cell = line.cells[k];
        if (cell.kind == CellKind::None) continue;
        if (!onPage(cell, page)) {
          column += columnsOf(cell);
          continue;
        }
        // A repeated cell, Check7(0..5) three to a row: (0,0) (0,1) (0,2) (1,0)...
        for (int i = 0; i < cell.count; ++i) {
          const int wrap = cell.perLine > 0 ? cell.perLine : cell.count;
          const int count = cell.count > 1 ? i : repeated ? n : each;
          place({&cell, &line, k, row + i / wrap, column + (i % wrap) * columnsOf(cell), count});
          rowsUsed = std::max(rowsUsed, i / wrap + 1);
        }
        column += columnsOf(cell) * std::min(cell.count, cell.perLine > 0 ? cell.perLine : cell.count);
      }
      row += rowsUsed;
    }
  }
}

void forEachControl(const FormTable& table, int page, const Visit& visit) {
  visitTable(table, page, 0, 0, Follows::Nothing, visit);
}

std::string_view wordsOf(const FormPlacement& placement, int page, int depth) {
  const FormCell& cell = *placement.cell;
  if (!cell.caption.empty()) return cell.caption;
  switch (cell.words) {
    case Words::Own:
      return captionWords({cell.family, indexOf(cell, page, placement.each)});
    case Words::Beside:
    case Words::FrameOf: {
      const auto id = storedAfter(placement, page);
      if (!id) return {};
      return cell.words == Words::Beside ? captionWords(*id) : frameWords(*id, depth);
    }
    case Words::SlotName:
      return captionWords({"Check7", indexOf(cell, page, placement.each)});
    case Words::None:
    case Words::ClassName:
      break;
  }
  return {};
}

std::string_view frameTitleOf(const FormCell& group, int page, int each, int depth) {
  std::optional<ControlId> found;
  visitTable(*group.nested, page, each, 0, Follows::Nothing, [&](const FormControl& c) {
    if (!found && captionRowOf(c.id) != nullptr) found = c.id;
  });
  return found ? frameWords(*found, depth) : std::string_view();
}

}  // namespace quillane
