#include "fonts/web_font_embed.h"

namespace quillane::fonts {

WantedCharacters wantedCharacters(const StyleDocument& doc, const std::string& outputFolder) {
  static_cast<void>(doc);
  static_cast<void>(outputFolder);
  return {};
}

EmbedResult embedWebFonts(const StyleDocument& doc, const std::string& outputFolder,
                          const EmbedProgressFunction& progress) {
  static_cast<void>(doc);
  static_cast<void>(outputFolder);
  static_cast<void>(progress);
  return {};
}

std::vector<Advice> webFontAdvice(const StyleDocument& doc, const std::string& outputFolder) {
  static_cast<void>(doc);
  static_cast<void>(outputFolder);
  return {};
}

}  // namespace quillane::fonts
