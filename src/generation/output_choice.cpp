#include "generation/output_choice.h"

#include "generation/modern_pages.h"
#include "generation/modern_stylesheet.h"
#include "generation/stylesheet_text.h"
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

OutputText styleSheetOutput(const StyleDocument& doc) {
  if (writesModern(doc)) return modernOutput(buildModernStyleSheet(doc));
  BuiltText built = buildStyleSheet(doc);
  return legacyOutput(std::move(built.text), built.error);
}

OutputText linkPageOutput(const StyleDocument& doc, std::string_view styleSheet) {
  if (writesModern(doc)) return modernOutput({buildModernLinkPage(doc, styleSheet), std::nullopt});
  return legacyOutput(buildLinkPage(doc, styleSheet), std::nullopt);
}

OutputText embeddedPageOutput(const StyleDocument& doc) {
  if (writesModern(doc)) return modernOutput(buildModernEmbeddedPage(doc));
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
