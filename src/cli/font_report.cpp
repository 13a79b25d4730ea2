#include "cli/font_report.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "css/css_tokenizer.h"
#include "document/message_text.h"
#include "fonts/character_set.h"
#include "fonts/font_file.h"
#include "fonts/font_licence.h"
#include "fonts/font_subset.h"
#include "fonts/web_font_embed.h"

namespace quillane::cli {

namespace {

int refuse(Console& console, const std::string& line) {
  console.writeError("quillane-cli: " + line + "\n");
  return kExitRefused;
}

}  // namespace

int fontReport(const FontsRequest& request, Console& console) {
  std::error_code error;
  if (request.pages && !std::filesystem::is_directory(*request.pages, error))
    return refuse(console, shownPath(*request.pages) + ": not a folder of pages");
  auto file = std::make_unique<const fonts::FontFile>(fonts::openFontFile(request.fontFile));
  std::string why;
  const auto face = fonts::chooseFace(*file, request.face.value_or(""), why);
  if (!face) return refuse(console, shownPath(request.fontFile) + ": " + why);
  const fonts::FontLicence licence = fonts::licenceOf(*file, *face);
  std::string report = "フォント: " + shownText(face->name(), 200) + "（" + std::to_string(file->faces.size()) +
                       " 個のうち " + std::to_string(face->index + 1) + " 番目）\n";
  report += "埋め込み: " + fonts::embeddingMessage(licence.embedding) + "\n";
  if (!licence.description.empty()) {
    report += "ライセンス: ";
    for (const char c : licence.description) report += c == '\n' ? std::string("\n  ") : std::string(1, c);
    report += "\n";
  }
  if (!licence.address.empty()) report += "ライセンスの URL: " + shownText(licence.address, 200) + "\n";
  if (!fonts::mayEmbed(licence.embedding)) {
    console.writeOutput(report);
    return refuse(console, shownPath(request.fontFile) + ": " + fonts::embeddingMessage(licence.embedding));
  }
  fonts::CharacterSet wanted;
  fonts::CharacterSet ofPages;
  if (request.sets) {
    std::string_view list = *request.sets;
    for (std::size_t comma = 0;; list.remove_prefix(comma + 1)) {
      comma = list.find(',');
      fonts::addNamedSet(wanted, *fonts::namedSetOfKey(list.substr(0, comma)));
      if (comma == std::string_view::npos) break;
    }
  }
  if (request.pages) {
    const fonts::PagesCharacters pages = fonts::charactersOfPages(*request.pages);
    for (const std::string& line : pages.refused) console.writeError("quillane-cli: " + shownText(line, 400) + "\n");
    ofPages = pages.characters;
    wanted.insert(ofPages.begin(), ofPages.end());
    report += "ページ: " + std::to_string(pages.pages) + " 個、" + countText(ofPages.size()) + " 字\n";
  }
  // The file's pages are let go before the compression, whose memory is the
  // larger.
  const std::size_t fileBytes = file->bytes.size();
  fonts::FontSubset subset = fonts::cutFont(*file, *face, wanted);
  file.reset();
  fonts::compressFont(subset, fonts::kDefaultSubsetLimit);
  report +=
      "文字: " + countText(wanted.size()) + " 字のうちフォントにあるのは " + countText(subset.kept.size()) + " 字\n";
  if (subset.woff2Bytes > 0)
    report += "大きさ: " + byteCountText(fileBytes) + " → " + byteCountText(subset.woff2Bytes) + "（WOFF2）\n";
  std::string lacking;
  std::size_t lackingCount = 0;
  for (const char32_t c : subset.lacking) {
    if (!ofPages.contains(c)) continue;
    ++lackingCount;
    std::string text;
    css::appendUtf8(text, c);
    lacking += text;
  }
  report += "ページの文字でフォントにないもの: " + countText(lackingCount) + " 字" +
            (lacking.empty() ? "" : " " + shownText(lacking, lacking.size())) + "\n";
  if (!console.writeOutput(report)) return refuse(console, "(standard output): write failed");
  if (!subset.ok()) return refuse(console, shownPath(request.fontFile) + ": " + subset.refused);
  return kExitOk;
}

std::optional<std::string> embedFonts(const StyleDocument& doc, const std::string& folder, WebFontFaces& faces,
                                      Console& console) {
  fonts::EmbedResult made = fonts::embedWebFonts(doc, folder);
  for (const std::string& line : made.pagesRefused) console.writeError("quillane-cli: " + shownText(line, 400) + "\n");
  if (made.refusal) return made.refusal;
  faces = std::move(made.faces);
  return std::nullopt;
}

}  // namespace quillane::cli
