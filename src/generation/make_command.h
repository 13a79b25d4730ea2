// The writers and the "出力する" (make) command.
//
// Each writer checks its inputs (the target unless previewing; always the
// values it writes, see value_checks.h), builds its text with the generator
// the document chooses (output_choice.h), saves it and reports through the
// platform's message box. A refused value or filter number writes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/style_document.h"
#include "generation/output_choice.h"
#include "generation/web_font_faces.h"
#include "platform/platform.h"

namespace quillane {

// Writes the style sheet `file` (".css" added when missing) into `apath`
// and, unless previewing, the linking page when Option7 is selected, then
// says "保存完了". `file` is Text8 (or a preview's own name). Returns
// whether the style sheet was written. Web fonts (the modern output's, made
// by fonts/web_font_embed.h) are written into apath's fonts/ before the
// style sheet that names them; a font that cannot be written writes no
// style sheet.
bool EXStyle(Platform& platform, const StyleDocument& doc, std::string_view apath, std::string_view file, bool pre,
             const WebFontFaces& fonts = {});

// Writes the embedded-style page: to Text9 + Text10 when making, to
// appFolder + "preview/pre.html" when previewing. Returns whether it was written.
// Web fonts go beside the page as EXStyle writes them beside the sheet.
bool EXHtml(Platform& platform, const StyleDocument& doc, std::string_view appFolder, bool pre,
            const WebFontFaces& fonts = {});

// The preview page's path inside the application folder.
std::string previewPagePath(std::string_view appFolder);

// What "出力する" would write now, without writing anything: the target
// path and the text of the embedded-style page ("HTML形式") or of the style
// sheet ("スタイルシート"; the linking page written after it is not part of
// it). The values are checked as the writers check them; `output.refusal`
// then holds the message of the first refused value, and the command would
// write nothing. Nothing when neither format is selected. The target folder
// is not checked: with none chosen, the path is the file name alone.
struct MadeFile {
  std::string path;
  OutputText output;
};
std::optional<MadeFile> madeFile(const StyleDocument& doc);

// The make command: the HTML page when "HTML形式" is selected, then the
// style sheet when "スタイルシート" is.
void Command6_Click(Platform& platform, const StyleDocument& doc, std::string_view appFolder);

// The same with the web fonts given: when needsWebFonts(doc), made by
// fonts::embedWebFonts beforehand (off the editor's thread).
void makeWithWebFonts(Platform& platform, const StyleDocument& doc, std::string_view appFolder,
                      const WebFontFaces& fonts);

}  // namespace quillane
