#include "generation/kept_style.h"

#include <cctype>
#include <string_view>

#include "css/css_parser.h"
#include "generation/declaration_emitters.h"

namespace quillane {

namespace {

bool closesStyleElement(std::string_view text, std::size_t at) {
  constexpr std::string_view kEnd = "</style";
  if (text.size() - at < kEnd.size()) return false;
  for (std::size_t k = 0; k < kEnd.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(text[at + k])) != kEnd[k]) return false;
  return true;
}

void appendText(std::string_view kept, std::string& t) {
  if (kept.empty()) return;
  for (std::size_t k = 0; k < kept.size(); ++k) {
    t += kept[k];
    if (kept[k] == '<' && closesStyleElement(kept, k)) t += '\\';
  }
  if (kept.back() != '\n' && kept.back() != '\r') t.append(kCrLf);
}

}  // namespace

std::size_t keptStyleHeadLength(const std::string& kept) {
  if (kept.find('@') == std::string::npos) return 0;
  std::size_t end = 0;
  for (const css::Rule& rule : css::parseStyleSheet(kept).rules) {
    const std::string name = css::asciiLower(rule.atName);
    const bool statement = rule.kind == css::Rule::Kind::At && !rule.hasBlock &&
                           (name == "import" || name == "namespace" || name == "layer");
    if (!statement) break;
    end = rule.whole.end;
  }
  if (end == 0) return 0;
  // With the line break after the last statement.
  if (kept.compare(end, 2, "\r\n") == 0) return end + 2;
  if (end < kept.size() && (kept[end] == '\n' || kept[end] == '\r')) return end + 1;
  return end;
}

void appendKeptStyleHead(const StyleDocument& doc, std::string& t) {
  appendText(std::string_view(doc.keptStyle).substr(0, keptStyleHeadLength(doc.keptStyle)), t);
}

void appendKeptStyle(const StyleDocument& doc, std::string& t) {
  appendText(std::string_view(doc.keptStyle).substr(keptStyleHeadLength(doc.keptStyle)), t);
}

}  // namespace quillane
