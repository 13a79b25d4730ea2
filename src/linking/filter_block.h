// The SVG filters a linked style sheet needs, given to the page that links
// it. A modern style sheet whose classes use SVG filters carries them in a
// marked comment (modern_filters.h); every engine applies url(#id) from a
// linked sheet only when the page itself holds the <filter> elements.
//
// The sheet may come from anyone, and what goes into the page is markup, so
// the block is never copied: it is read into the elements and attributes
// the modern output writes, each value checked, and written anew.
#pragma once

#include <string>
#include <string_view>

namespace quillane {

struct FilterBlock {
  std::string block;    // "<svg ...>" ... "</svg>", lines ending in CR LF; empty when the sheet carries none
  std::string refused;  // why the sheet's block cannot go into a page, in the user's words; empty otherwise
  bool ok() const { return refused.empty(); }
};

// The block of the sheet's marked comment, rebuilt. Only a comment where
// the modern output writes it counts: in a sheet that starts with
// `@charset "UTF-8";` (after a byte-order mark, if any) and is UTF-8
// throughout, a comment between rules (not inside a rule, a string or
// another comment) that starts "/* quillane-svg-filters:". Its first line
// is advice; the rest, up to "*/", must be one <svg> of <filter> elements
// holding the filter primitives the modern output writes, with their
// attributes, each value of its kind (a number, a list of numbers, a
// percentage, a colour "#hex", a result name, one of a few words, an id
// "quillane-<effect>-<eight hex digits>"). Anything else (another element
// or attribute, a value of another form, text, a tag left open) refuses
// the block, naming what was refused.
FilterBlock filterBlockOfStyleSheet(std::string_view css);

// `page` with `block` at the start of its body (bodyStart: right after the
// body start tag; in a page without one, before its first content). The
// page stays as it is when the block is empty or every filter id of the
// block is in the page already, so a page linked again holds the filters once.
std::string withFilterBlock(std::string_view page, std::string_view block);

}  // namespace quillane
