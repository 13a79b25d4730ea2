// Imports arbitrary bytes as a style sheet or a page (the first byte
// chooses), then checks what must hold whatever the input: every rule and
// declaration the parser reports lies inside the text; the import ends in a
// document or a refusal, never in a fault of its own; and the document
// goes through what the editor and the command-line tool do with it. It
// stores and reads back unchanged through a settings file, the output it
// chose passes the writers' checks and is written, in its encoding (a
// document the import makes that cannot be written is a fault), and the
// other outputs and the link step on a small page, given the style sheet
// written, run whatever they answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "css/css_parser.h"
#include "generation/output_choice.h"
#include "generation/value_checks.h"
#include "importing/style_import.h"
#include "linking/link_rewrite.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

namespace {

using namespace quillane;

constexpr std::string_view kPage =
    "<!DOCTYPE html>\r\n<html><head><meta charset=\"UTF-8\"><title>t</title></head>\r\n"
    "<body onload=\"if (a >= 4) init()\"><p>text</p></body></html>\r\n";

void checkParser(std::string_view bytes) {
  const css::StyleSheet sheet = css::parseStyleSheet(bytes);
  for (const auto& rule : sheet.rules) {
    if (rule.whole.begin > rule.whole.end || rule.whole.end > bytes.size()) std::abort();
    if (rule.hasBlock && (rule.block.begin > rule.block.end || rule.block.end > rule.whole.end)) std::abort();
    if (rule.hasBlock && rule.kind == css::Rule::Kind::Qualified) {
      for (const auto& d : css::parseDeclarations(bytes, rule.block).declarations)
        if (d.whole.begin < rule.block.begin || d.whole.end > rule.block.end) std::abort();
    }
  }
}

// The settings file the command-line tool writes, read back as the editor reads it.
void checkSettingsFile(const StyleDocument& doc) {
  if (unstorableValue(doc)) std::abort();
  const std::string text = settingsFileText(doc, Layout::Settings);
  std::string bytes;
  UnencodableCharacter bad;
  if (!encodeCp932(text, bytes, bad)) std::abort();
  StyleDocument back;
  const LoadResult loaded = loadSettings(back, Layout::Settings, bytes);
  if (!loaded.ok() || back.keptStyle != doc.keptStyle) std::abort();
}

// The bytes of an output; when `chosen`, the output must be written.
std::string written(const OutputText& output, bool chosen) {
  std::string bytes;
  UnencodableCharacter bad;
  if (!output.ok() || !encodeOutput(output, bytes, bad)) {
    if (chosen) std::abort();
    return {};
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool page = (data[0] & 1) != 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  checkParser(bytes);

  const ImportResult imported = importStyle(bytes, page);
  if (imported.fault) std::abort();
  if (!imported.ok()) return 0;
  const StyleDocument& doc = imported.document;
  if (!isValidUtf8(doc.keptStyle)) std::abort();
  checkSettingsFile(doc);

  // The output the import chose, then the other one: css, html, and the link step.
  for (const bool modern : {writesModern(doc), !writesModern(doc)}) {
    const bool chosen = modern == writesModern(doc);
    StyleDocument output = doc;
    output.output.modern = modern ? 1 : 0;
    for (const Output kind : {Output::StyleRules, Output::EmbeddedPage})
      if (chosen && checkValues(output, kind)) std::abort();
    const std::string sheet = written(styleSheetOutput(output), chosen);
    (void)written(embeddedPageOutput(output), chosen);
    const LinkedPage linked = linkPage(kPage, "style.css", true, sheet);
    if (!linked.ok()) std::abort();  // the page is one the link step takes
  }
  return 0;
}
