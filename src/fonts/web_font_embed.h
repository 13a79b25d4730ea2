// The web fonts of the modern output, made before anything is written: each
// ticked tag slot's embedded font is read, its licence checked, cut to the
// characters the site shows and compressed as WOFF2, and handed to the
// writers as plain data (generation/web_font_faces.h).
//
// The editor has its web-font plug-in (fontwork/) run embedWebFonts off the
// editor's thread with a progress bar, and then, on its thread, "出力する"
// with the faces:
//   const EmbedResult made = embedWebFonts(doc, webFontFolder(doc), progress);   // worker thread
//   if (made.ok()) makeWithWebFonts(platform, doc, appFolder, made.faces);     // editor's thread
//   else if (made.refusal) platform.messageBox(*made.refusal, ...);            // nothing written
// The command line does the same in quillane-cli-fonts.
#pragma once

#include <string>
#include <vector>

#include "document/style_document.h"
#include "fonts/character_set.h"
#include "fonts/embed_result.h"
#include "generation/advice.h"
#include "generation/web_font_faces.h"

namespace quillane::fonts {

// The characters every web font of the document keeps: those of the .html
// and .htm files in `outputFolder` and its subfolders (none when empty), of
// the pages the output itself writes (titles, sample text), and of the
// named sets the document chooses (WebFonts::sets).
struct WantedCharacters {
  CharacterSet all;
  CharacterSet ofPages;  // the pages' and the written pages' alone, for reports and advice
  int pages = 0;
  std::vector<std::string> refused;
};
WantedCharacters wantedCharacters(const StyleDocument& doc, const std::string& outputFolder);

// Makes the web fonts of every ticked tag slot that embeds one, when the
// modern output is chosen (nothing to do otherwise: an empty, ok result).
// A slot's font that cannot be read, whose licence refuses embedding, or
// whose subset is larger than the document's limit refuses the whole
// output: `refusal` says which slot and font, and for a subset too large,
// its size and which named sets to drop. Nothing is written here.
EmbedResult embedWebFonts(const StyleDocument& doc, const std::string& outputFolder,
                          const EmbedProgressFunction& progress = {});

// The advice on the web fonts, cheap enough to run while editing: for each
// embedded font, the characters of the pages in `outputFolder` that the
// face's character map lacks, which visitors see in a fallback font. Only
// the character map is read (the file is mapped, not read whole), and
// nothing is cut. Nothing when no font is embedded or the modern output is
// not chosen; a font file that cannot be read is advised too.
std::vector<Advice> webFontAdvice(const StyleDocument& doc, const std::string& outputFolder);

}  // namespace quillane::fonts
