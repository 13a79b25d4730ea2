// Reading back the rules the legacy writers write: the declarations of a
// tag slot line by line, and the visual filters of a user class.
#pragma once

#include <string_view>

#include "document/style_document.h"

namespace quillane {

// The slot of a legacy selector as the writers spell it ("BODY", "P", "A",
// "A:VISITED", "A:HOVER", "A:ACTIVE"); -1 for any other text.
int legacySlotOf(std::string_view selector);

// Reads the block (the text between the braces) of a slot rule exactly as
// the legacy writers write it into `doc`: the slot's fields, and for BODY
// the scrollbar colours on the block's last line. False, with `doc` in an
// unspecified state, when any line is not one the writers write.
bool readLegacySlotBlock(std::string_view block, int slot, StyleDocument& doc);

// Reads the block of a class rule exactly as the legacy writer writes it:
// the optional "  Width=100%;", "  Filter:" and one filter group a line.
bool readLegacyClassBlock(std::string_view block, UserClass& cls);

// Reads a list of legacy filters, as written by hand:
//   "Alpha(opacity=50) progid:DXImageTransform.Microsoft.Blur(Direction=90, Strength=4) FlipH"
// Names and keys in any case; colours with or without "#". Sets the groups
// it names (and turns on nothing else); false for a filter or a value the
// form has no place for.
bool readLegacyFilters(std::string_view list, UserClass& cls);

}  // namespace quillane
