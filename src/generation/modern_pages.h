// The pages of the modern output: the embedded-style page, the page that
// links a style sheet, and the class preview. Pure functions of the
// document, written as HTML that current browsers read in standards mode:
//   <!DOCTYPE html>
//   <html lang="ja">
//   <head>
//   <meta charset="UTF-8">
//   <meta name="viewport" content="width=device-width, initial-scale=1">
//   <title>untitle</title>
//   ...
// with CR LF after every line. A page whose classes use SVG filters holds
// them at the start of its body (modernFilterBlock). Texts are escaped where they stand, so a
// title or a class name cannot close the element it is in.
#pragma once

#include <string>
#include <string_view>

#include "document/style_document.h"
#include "generation/modern_values.h"
#include "generation/web_font_faces.h"

namespace quillane {

// The page with the whole style in a style element; the title is Text11,
// the sample content follows Check8 and Check9. Web fonts are as in
// appendModernStyleRules, their files beside the page.
ModernText buildModernEmbeddedPage(const StyleDocument& doc, const WebFontFaces& fonts = {});

// The page that links `styleSheet` (a file name beside it):
//   <link rel="stylesheet" href="style.css">
// Its title is Text12; the sample content follows Check11 and Check10.
std::string buildModernLinkPage(const StyleDocument& doc, std::string_view styleSheet);

// The preview page of class i: its rule, then two large sample paragraphs
// (a text class) or pal.png (an image class) carrying the class.
ModernText buildModernClassPreview(const StyleDocument& doc, int i);

}  // namespace quillane
