// What an embed of web fonts hands back: its progress while it runs, and
// what each font became. Plain data with nothing compiled behind it, so that
// the editor, which has the work done by its web-font plug-in
// (editor/font_work.h), reads the results without linking the font
// libraries.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "fonts/character_set.h"
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

}  // namespace quillane::fonts
