// Which generator writes an output: the legacy one (CP932, the fixed bytes
// of every earlier version) or, when the document's "今のブラウザ向けに書き出す"
// (Check28) is ticked, the modern one (UTF-8, standard CSS).
//
// Every command that writes output asks here, so the choice is made in one
// place: "出力する", the three previews and the command-line tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document/style_document.h"
#include "generation/filter_emitters.h"
#include "generation/modern_values.h"
#include "generation/web_font_faces.h"
#include "platform/cp932.h"
#include "platform/platform.h"

namespace quillane {

enum class OutputEncoding { Cp932, Utf8 };

// One output's text (UTF-8 inside), the encoding of its file, or the reason
// nothing may be written.
struct OutputText {
  std::string text;
  std::optional<std::string> refusal;  // in the user's words, as describe() gives it
  OutputEncoding encoding = OutputEncoding::Cp932;
  bool ok() const { return !refusal; }
};

// Whether the document asks for the modern output.
inline bool writesModern(const StyleDocument& doc) { return doc.output.modern == 1; }

// What the chosen output does with the opacity text of class `c` when the
// slider cannot show it (the settings file keeps the slider's position), as
// the opacity box's tooltip says it; "" when the slider shows the text.
//   legacy "9.5" -> "スライダーでは表せない値です。出力には入力したとおりに書き出しますが、
//                    設定ファイルにはスライダーの値（9）が保存されます。"
//   modern "abc" -> "スライダーでは表せない値です。数値ではないため、今のブラウザ向けの出力では
//                    「出力する」がこの値を知らせて止まります。設定ファイルにはスライダーの値（50）が保存されます。"
std::string opacityBoxNote(const StyleDocument& doc, int c);

// The chosen generator's .css file, linking page and embedded-style page.
// The legacy output never carries web fonts; the modern one carries those
// given (web_font_faces.h).
OutputText styleSheetOutput(const StyleDocument& doc, const WebFontFaces& fonts = {});
OutputText linkPageOutput(const StyleDocument& doc, std::string_view styleSheet);
OutputText embeddedPageOutput(const StyleDocument& doc, const WebFontFaces& fonts = {});

// The same output from an already built legacy or modern text.
OutputText legacyOutput(std::string text, const std::optional<NumberFieldError>& error);
OutputText modernOutput(ModernText built);

// The bytes of the output's file: CP932 (false, with `bad` set, when a
// character cannot be held) or the UTF-8 text itself (false when it is not
// valid UTF-8; `bad` is then left empty).
bool encodeOutput(const OutputText& output, std::string& bytes, UnencodableCharacter& bad);

// Writes the output to `path` in its encoding (saveTextFile or
// saveUtf8TextFile). The output must be ok().
bool saveOutput(Platform& platform, const std::string& path, const OutputText& output);

}  // namespace quillane
