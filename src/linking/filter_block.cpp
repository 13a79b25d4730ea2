#include "linking/filter_block.h"

#include <algorithm>
#include <cctype>

#include "generation/modern_filters.h"

namespace quillane {

namespace {

bool equalIgnoringCase(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

std::size_t findIgnoringCase(std::string_view text, std::string_view part, std::size_t from = 0) {
  if (from > text.size()) return std::string_view::npos;
  const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), part.begin(), part.end(),
                              equalIgnoringCase);
  return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

bool isNameCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == ':'; }

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Only svg, filter and fe... elements, with attributes that neither run
// script nor load anything, and quoted values without markup in them.
bool holdsOnlyFilters(std::string_view block) {
  const bool ascii = std::all_of(block.begin(), block.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 0x20 && u < 0x7F) || c == '\r' || c == '\n' || c == '\t';
  });
  if (!ascii) return false;
  std::size_t k = 0;
  const auto skipBlanks = [&] {
    while (k < block.size() && std::isspace(static_cast<unsigned char>(block[k])) != 0) ++k;
  };
  while ((k = block.find('<', k)) != std::string_view::npos) {
    ++k;
    if (k < block.size() && block[k] == '/') ++k;
    const std::size_t nameStart = k;
    while (k < block.size() && isNameCharacter(block[k])) ++k;
    const std::string name = lowered(block.substr(nameStart, k - nameStart));
    if (name != "svg" && name != "filter" && !(name.size() > 2 && name.starts_with("fe"))) return false;
    for (;;) {
      skipBlanks();
      if (k >= block.size()) return false;
      if (block[k] == '>') break;
      if (block[k] == '/') {
        ++k;
        continue;
      }
      const std::size_t attributeStart = k;
      while (k < block.size() && isNameCharacter(block[k])) ++k;
      const std::string attribute = lowered(block.substr(attributeStart, k - attributeStart));
      if (attribute.empty() || attribute.starts_with("on") || attribute.find("href") != std::string::npos) return false;
      skipBlanks();
      if (k >= block.size() || block[k] != '=') return false;
      ++k;
      skipBlanks();
      if (k >= block.size() || (block[k] != '"' && block[k] != '\'')) return false;
      const std::size_t end = block.find(block[k], k + 1);
      if (end == std::string_view::npos) return false;
      const std::string_view value = block.substr(k + 1, end - k - 1);
      if (value.find_first_of("<>") != std::string_view::npos ||
          findIgnoringCase(value, "url(") != std::string_view::npos)
        return false;
      k = end + 1;
    }
  }
  return true;
}

// The block with CR LF line ends.
std::string withCrLf(std::string_view text) {
  std::string out;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\r') continue;
    if (text[k] == '\n') out += '\r';
    out += text[k];
  }
  return out;
}

}  // namespace

std::string filterBlockOfStyleSheet(std::string_view css) {
  const std::size_t marker = css.find(std::string("/* ").append(kFilterBlockMarker));
  if (marker == std::string_view::npos) return {};
  const std::size_t commentEnd = css.find("*/", marker);
  const std::string_view comment = css.substr(marker, commentEnd == std::string_view::npos ? 0 : commentEnd - marker);
  // The block starts on the line after the advice, which names the tags too.
  const std::size_t start = findIgnoringCase(comment, "<svg", comment.find('\n'));
  const std::size_t end = findIgnoringCase(comment, "</svg>", start);
  if (start == std::string_view::npos || end == std::string_view::npos) return {};
  const std::string_view block = comment.substr(start, end + 6 - start);
  if (!holdsOnlyFilters(block)) return {};
  return withCrLf(block) + "\r\n";
}

std::string withFilterBlock(std::string_view page, std::string_view block) {
  bool allThere = true;
  for (std::size_t at = 0; (at = block.find("id='", at)) != std::string_view::npos;) {
    at += 4;
    const std::string_view id = block.substr(at, block.find('\'', at) - at);
    allThere = allThere && page.find(id) != std::string_view::npos;
  }
  if (block.empty() || allThere) return std::string(page);
  std::size_t at = std::string_view::npos;
  for (std::size_t body = 0; (body = findIgnoringCase(page, "<body", body)) != std::string_view::npos; body += 5) {
    const char next = body + 5 < page.size() ? page[body + 5] : '>';
    if (next != '>' && next != '/' && std::isspace(static_cast<unsigned char>(next)) == 0) continue;
    if (const std::size_t close = page.find('>', body); close != std::string_view::npos) at = close + 1;
    break;
  }
  std::string inserted(block);
  if (at != std::string_view::npos) {
    inserted.insert(0, "\r\n");
    if (inserted.ends_with("\r\n") && page.substr(at).starts_with("\r\n")) inserted.resize(inserted.size() - 2);
  } else if ((at = findIgnoringCase(page, "</html")) == std::string_view::npos) {
    at = page.size();
  }
  std::string result(page.substr(0, at));
  return result.append(inserted).append(page.substr(at));
}

}  // namespace quillane
