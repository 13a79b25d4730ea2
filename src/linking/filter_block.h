// The SVG filters a linked style sheet needs, given to the page that links
// it. A modern style sheet whose classes use SVG filters carries them in a
// marked comment (modern_filters.h); every engine applies url(#id) from a
// linked sheet only when the page itself holds the <filter> elements.
#pragma once

#include <string>
#include <string_view>

namespace quillane {

// The <svg> ... </svg> block of the sheet's marked comment, with CR LF line
// ends; empty when the sheet has none, or when the block holds anything but
// SVG filter elements and their attributes (no script, no event attribute,
// no link, nothing outside ASCII), so a sheet cannot put more into a page.
std::string filterBlockOfStyleSheet(std::string_view css);

// `page` with `block` at the start of its body (right after the <body> tag;
// before </html>, or at the end, in a page without one). The page stays as
// it is when the block is empty or every filter id of the block is in the
// page already, so a page linked again holds the filters once.
std::string withFilterBlock(std::string_view page, std::string_view block);

}  // namespace quillane
