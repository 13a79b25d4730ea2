#include "generation/output_choice.h"

#include "document/message_text.h"
#include "generation/modern_filters.h"
#include "generation/modern_pages.h"
#include "generation/modern_stylesheet.h"
#include "generation/stylesheet_text.h"
#include "generation/value_checks.h"
#include "platform/text_file.h"

namespace quillane {

OutputText legacyOutput(std::string text, const std::optional<NumberFieldError>& error) {
  OutputText output{std::move(text), std::nullopt, OutputEncoding::Cp932};
  if (error) output.refusal = error->describe();
  return output;
}

OutputText modernOutput(ModernText built) {
  OutputText output{std::move(built.text), std::nullopt, OutputEncoding::Utf8};
  if (built.refusal) output.refusal = built.refusal->describe();
  return output;
}

std::string opacityBoxNote(const StyleDocument& doc, int c) {
  const UserClass& cls = doc.classes[static_cast<std::size_t>(c)];
  if (cls.opacityAsSlider() == cls.opacitySlider) return {};
  const std::string kept =
      "設定ファイルにはスライダーの値（" + std::to_string(cls.opacitySlider) + "）が保存されます。";
  std::string note = "スライダーでは表せない値です。";
  if (const auto part = refusedPart(ValueKind::CssValue, cls.opacity))
    return note + "「" + shownText(*part) + "」を使えないため、「出力する」がこの値を知らせて止まります。" + kept;
  if (!writesModern(doc)) return note + "出力には入力したとおりに書き出しますが、" + kept;
  if (const auto percent = parseNumber(cls.opacity))
    return note + "今のブラウザ向けの出力には opacity: " + opacityValue(*percent) + " と書き出しますが、" + kept;
  return note + "数値ではないため、今のブラウザ向けの出力では「出力する」がこの値を知らせて止まります。" + kept;
}

OutputText styleSheetOutput(const StyleDocument& doc, const WebFontFaces& fonts) {
  if (writesModern(doc)) return modernOutput(buildModernStyleSheet(doc, fonts));
  BuiltText built = buildStyleSheet(doc);
  return legacyOutput(std::move(built.text), built.error);
}

OutputText linkPageOutput(const StyleDocument& doc, std::string_view styleSheet) {
  if (writesModern(doc)) return modernOutput({buildModernLinkPage(doc, styleSheet), std::nullopt});
  return legacyOutput(buildLinkPage(doc, styleSheet), std::nullopt);
}

OutputText embeddedPageOutput(const StyleDocument& doc, const WebFontFaces& fonts) {
  if (writesModern(doc)) return modernOutput(buildModernEmbeddedPage(doc, fonts));
  BuiltText built = buildEmbeddedPage(doc);
  return legacyOutput(std::move(built.text), built.error);
}

bool encodeOutput(const OutputText& output, std::string& bytes, UnencodableCharacter& bad) {
  if (output.encoding == OutputEncoding::Cp932) return encodeCp932(output.text, bytes, bad);
  bad = {};
  if (!isValidUtf8(output.text)) return false;
  bytes = output.text;
  return true;
}

bool saveOutput(Platform& platform, const std::string& path, const OutputText& output) {
  return output.encoding == OutputEncoding::Cp932 ? saveTextFile(platform, path, output.text)
                                                  : saveUtf8TextFile(platform, path, output.text);
}

}  // namespace quillane
