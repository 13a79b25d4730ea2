// The web fonts an output carries, as the modern generator takes them.
//
// The fonts layer (fonts/web_font_embed.h) reads the font files, cuts them
// and compresses them; what it hands over is plain data, so that the
// generator and the writers need nothing of the font libraries. With no
// faces given, every output is exactly what it is without web fonts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "document/style_document.h"
#include "platform/platform.h"

namespace quillane {

// One embedded font, ready to write.
struct WebFontFace {
  int slot = 0;              // the tag slot whose font stack it starts
  std::string family;        // "Noto Sans CJK JP", as font-family names it
  std::string fileName;      // "fonts/noto-sans-cjk-jp-1b2c3d4e.woff2", relative to the written file
  std::string unicodeRange;  // "U+20-7E, U+3041-3096"
  std::string woff2;         // the file's bytes; faces of one font share a file name and bytes

  friend bool operator==(const WebFontFace&, const WebFontFace&) = default;
};

using WebFontFaces = std::vector<WebFontFace>;

// Whether the output "出力する" writes would carry web fonts: the modern
// output is chosen and a ticked tag slot embeds a font.
bool needsWebFonts(const StyleDocument& doc);

// The folder of the file "出力する" writes (the page for "HTML形式", the
// style sheet for "スタイルシート"): the pages in it give the characters
// kept, and the fonts go into its fonts/ folder. Empty when no format or no
// folder is chosen.
std::string webFontFolder(const StyleDocument& doc);

// The @font-face rules of the faces, each file once, in the order given.
std::string fontFaceRules(const WebFontFaces& fonts);

// The family of `slot` when a face starts its stack; nothing otherwise.
const WebFontFace* webFontOfSlot(const WebFontFaces& fonts, int slot);

// Writes each face's file under `folder` (making fonts/ when missing), each
// through a temporary file and a rename. False after a message box naming
// the file that failed; the files written before it stay, and they are
// named by their bytes' hash, so no earlier font is ever replaced by
// different bytes.
bool saveWebFonts(Platform& platform, std::string_view folder, const WebFontFaces& fonts);

}  // namespace quillane
