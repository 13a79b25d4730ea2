// `quillane-cli fonts`: what embedding a font as a web font would give. It
// lives in the helper quillane-cli-fonts, which links the font libraries.
#pragma once

#include "cli/cli.h"

namespace quillane::cli {

// Writes the report to the console's output and nothing else: the face, its
// embedding permission and licence, the size before and after the cut, and
// the characters of the pages the font lacks. A refusal is one line on the
// error stream, after the report so far.
int fontReport(const FontsRequest& request, Console& console);

// The EmbedCommand of `css` and `html` (cli.h): fonts::embedWebFonts.
std::optional<std::string> embedFonts(const StyleDocument& doc, const std::string& folder, WebFontFaces& faces,
                                      Console& console);

}  // namespace quillane::cli
