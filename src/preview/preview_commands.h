// The three previews: the embedded-style page ("標準"), the style applied to
// a page the user picks ("ファイルを指定"), and one user class ("プレビュー"
// on the effects tab).
#pragma once

#include <string>
#include <string_view>

#include "document/style_document.h"
#include "generation/output_choice.h"
#include "generation/stylesheet_text.h"
#include "linking/link_injector.h"
#include "platform/platform.h"
#include "platform/preview_files.h"

namespace quillane {

inline constexpr std::string_view kPreviewStyleSheet = "essepreviewcss.css";
inline constexpr std::string_view kPreviewPageCopy = "esspreviewhtml.html";

// The class preview page of class `i`: its rule in a style block, then two
// sample paragraphs (a text class) or the picture pal.png (an image class).
// The title and the class name are escaped where they stand in HTML text
// and attributes; the rule keeps the name as typed, so check it first
// (checkValues with Output::ClassPreview).
BuiltText buildClassPreview(const StyleDocument& doc, int i);

// The class preview page from the generator the document chooses
// (output_choice.h): buildClassPreview, or the modern page.
OutputText classPreviewOutput(const StyleDocument& doc, int i);

// NormalPre_Click: writes the preview page and opens it.
void NormalPre_Click(Platform& platform, const StyleDocument& doc, std::string_view appFolder);

// GaibuPre_Click: writes the style sheet and a linked copy of a chosen page
// beside it and opens the copy. The two temporary files stay in `files`
// until the next such preview or the end of the program. The link window's
// "コメントの挿入" decides the marker comment, and the rewritten page is
// left in its text box, as its own preview leaves it.
void GaibuPre_Click(Platform& platform, const StyleDocument& doc, PreviewFiles& files, LinkInjector& linkWindow);

// Command8_Click: writes the class preview page of the current class tab,
// opens it, then opens the home page. A refused value writes nothing.
void Command8_Click(Platform& platform, const StyleDocument& doc, std::string_view appFolder);

}  // namespace quillane
