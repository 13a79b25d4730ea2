// The web fonts of the modern output, made before anything is written: each
// ticked tag slot's embedded font is read, its licence checked, cut to the
// characters the site shows and compressed as WOFF2, and handed to the
// writers as plain data (generation/web_font_faces.h).
//
// The editor runs embedWebFonts off its own thread with a progress bar and
// then, on its thread, "出力する" with the faces:
//   const EmbedResult made = embedWebFonts(doc, webFontFolder(doc), progress);   // worker thread
//   if (made.ok()) makeWithWebFonts(platform, doc, appFolder, made.faces);     // editor's thread
//   else if (made.refusal) platform.messageBox(*made.refusal, ...);            // nothing written
// The command line does the same in quillane-cli-fonts.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/style_document.h"
#include "fonts/character_set.h"
#include "generation/advice.h"
#include "generation/web_font_faces.h"

namespace quillane::fonts {

// Where the embed is, for a progress bar: `done` of `total` steps, and the
// step about to start in the user's words ("「Noto Sans CJK JP」を圧縮しています").
// The steps are the reading of the pages, then for each font file its
// reading, its cut (HarfBuzz's subsetter) and its compression (the WOFF2
// encoder, by far the longest: seconds for a large CJK font).
struct EmbedProgress {
  int done = 0;
  int total = 0;
  std::string step;
};

// Called before each step and once more at the end (done == total), from the
// thread that runs the embed. Returning false cancels: the embed stops
// before the next step. Neither HarfBuzz's subsetter nor the WOFF2 encoder
// can be stopped inside a call, so a cancel during a cut or a compression
// takes effect when that step ends.
using EmbedProgressFunction = std::function<bool(const EmbedProgress&)>;

// What one embedded font became, for the output tab.
struct EmbeddedFontReport {
  std::vector<int> slots;          // the tag slots that use it
  std::string family;              // as the style sheet names it
  std::string fileName;            // "fonts/noto-sans-cjk-jp-1b2c3d4e.woff2"
  std::size_t fontFileBytes = 0;   // the font file before the cut
  std::size_t woff2Bytes = 0;      // the written file
  std::size_t keptCharacters = 0;  // characters in the subset
  CharacterSet lackingOfPages;     // characters of the pages and the form's texts the face lacks
  std::string licenceNote;         // the licence's warning (preview & print); empty when none
};

struct EmbedResult {
  WebFontFaces faces;                     // for the writers, one a slot
  std::vector<EmbeddedFontReport> fonts;  // one a distinct font (file and face)
  int pages = 0;                          // pages read in the output folder
  std::vector<std::string> pagesRefused;  // one line a page that could not be read
  std::optional<std::string> refusal;     // why nothing may be written, in the user's words
  bool cancelled = false;

  bool ok() const { return !refusal && !cancelled; }
};

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
