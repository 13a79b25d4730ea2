// Imports arbitrary bytes as a style sheet or a page (the first byte
// chooses), then checks what must hold whatever the input: every rule and
// declaration the parser reports lies inside the text, the document stores
// and reads back unchanged through a settings file, and both outputs can be
// built from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "css/css_parser.h"
#include "generation/output_choice.h"
#include "importing/style_import.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool page = (data[0] & 1) != 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  const quillane::css::StyleSheet sheet = quillane::css::parseStyleSheet(bytes);
  for (const auto& rule : sheet.rules) {
    if (rule.whole.begin > rule.whole.end || rule.whole.end > bytes.size()) std::abort();
    if (rule.hasBlock && (rule.block.begin > rule.block.end || rule.block.end > rule.whole.end)) std::abort();
    if (rule.hasBlock && rule.kind == quillane::css::Rule::Kind::Qualified) {
      for (const auto& d : quillane::css::parseDeclarations(bytes, rule.block).declarations)
        if (d.whole.begin < rule.block.begin || d.whole.end > rule.block.end) std::abort();
    }
  }

  const quillane::ImportResult imported = quillane::importStyle(bytes, page);
  if (!imported.ok()) return 0;
  const quillane::StyleDocument& doc = imported.document;
  if (!quillane::isValidUtf8(doc.keptStyle)) std::abort();
  if (!quillane::unstorableValue(doc)) {
    const std::string text = quillane::settingsFileText(doc, quillane::Layout::Settings);
    std::string bytesOut;
    quillane::UnencodableCharacter bad;
    if (quillane::encodeCp932(text, bytesOut, bad)) {
      quillane::StyleDocument back;
      const quillane::LoadResult loaded = quillane::loadSettings(back, quillane::Layout::Settings, bytesOut);
      if (!loaded.ok() || back.keptStyle != doc.keptStyle) std::abort();
    }
  }
  (void)quillane::styleSheetOutput(doc);
  (void)quillane::embeddedPageOutput(doc);
  return 0;
}
