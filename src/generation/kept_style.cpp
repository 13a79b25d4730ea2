#include "generation/kept_style.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <utility>

#include "css/css_tokenizer.h"
#include "generation/declaration_emitters.h"
#include "generation/modern_filters.h"

namespace quillane {

namespace {

bool closesStyleElement(std::string_view text, std::size_t at) {
  constexpr std::string_view kEnd = "</style";
  if (text.size() - at < kEnd.size()) return false;
  for (std::size_t k = 0; k < kEnd.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(text[at + k])) != kEnd[k]) return false;
  return true;
}

// The characters CP932 would write as other ones, and their CSS escapes.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kCp932Escapes = {{
    {"\xC2\xA5", "\\a5"},        // ¥, else "\"
    {"\xE2\x80\xBE", "\\203e"},  // ‾, else "~"
}};

// Whether a character after an escape would be read as part of it.
bool continuesEscape(std::string_view text, std::size_t at) {
  if (at >= text.size()) return true;
  const char c = text[at];
  return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ' ' || c == '\t' || c == '\r' || c == '\n' ||
         c == '\f';
}

void appendText(std::string_view kept, std::string& t, KeptTextFor output) {
  if (kept.empty()) return;
  std::size_t backslashes = 0;  // just before the character being written
  for (std::size_t k = 0; k < kept.size(); ++k) {
    // The filters' marker word with its "-" escaped, which CSS reads alike
    // in a name, a string or a URL: no comment of the kept text can be the
    // marked comment the link rewrite reads.
    if (kept.compare(k, kFilterBlockMarker.size(), kFilterBlockMarker) == 0) {
      t.append("quillane\\").append(kFilterBlockMarker.substr(8));
      k += kFilterBlockMarker.size() - 1;
      backslashes = 0;
      continue;
    }
    if (output == KeptTextFor::Cp932) {
      const auto escape = std::find_if(kCp932Escapes.begin(), kCp932Escapes.end(),
                                       [&](const auto& e) { return kept.substr(k).starts_with(e.first); });
      if (escape != kCp932Escapes.end()) {
        if (backslashes % 2 == 1) t.pop_back();  // "\¥" is the character itself
        t.append(escape->second);
        k += escape->first.size() - 1;
        if (continuesEscape(kept, k + 1)) t += ' ';
        backslashes = 0;
        continue;
      }
    }
    t += kept[k];
    backslashes = kept[k] == '\\' ? backslashes + 1 : 0;
    if (kept[k] == '<' && closesStyleElement(kept, k)) t += '\\';
  }
  if (kept.back() != '\n' && kept.back() != '\r') t.append(kCrLf);
}

}  // namespace

std::size_t keptStyleHeadLength(const std::string& kept) {
  // Only the statements at the start are read, token by token, so the
  // outputs do not read the whole text again each time they are written.
  css::Tokenizer tokens(kept);
  std::size_t end = 0;
  for (;;) {
    css::Token t = tokens.next();
    while (t.type == css::TokenType::Whitespace || t.type == css::TokenType::Cdo || t.type == css::TokenType::Cdc)
      t = tokens.next();
    if (t.type != css::TokenType::AtKeyword) break;
    const std::string name = css::asciiLower(css::tokenValue(kept, t));
    if (name != "import" && name != "namespace" && name != "layer") break;
    // Up to the ";" at this level; a block makes it a rule, not a statement.
    int depth = 0;
    do {
      t = tokens.next();
      if (t.type == css::TokenType::LeftParen || t.type == css::TokenType::Function ||
          t.type == css::TokenType::LeftSquare)
        ++depth;
      if (t.type == css::TokenType::RightParen || t.type == css::TokenType::RightSquare) --depth;
    } while (t.type != css::TokenType::EndOfFile && t.type != css::TokenType::LeftCurly &&
             !(t.type == css::TokenType::Semicolon && depth <= 0));
    if (t.type != css::TokenType::Semicolon) break;
    end = t.end;
  }
  if (end == 0) return 0;
  // With the line break after the last statement.
  if (kept.compare(end, 2, "\r\n") == 0) return end + 2;
  if (end < kept.size() && (kept[end] == '\n' || kept[end] == '\r')) return end + 1;
  return end;
}

void appendKeptStyleHead(const StyleDocument& doc, std::string& t, KeptTextFor output) {
  appendText(std::string_view(doc.keptStyle).substr(0, keptStyleHeadLength(doc.keptStyle)), t, output);
}

void appendKeptStyle(const StyleDocument& doc, std::string& t, KeptTextFor output) {
  appendText(std::string_view(doc.keptStyle).substr(keptStyleHeadLength(doc.keptStyle)), t, output);
}

}  // namespace quillane
