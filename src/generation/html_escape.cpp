#include "generation/html_escape.h"

namespace quillane {

namespace {

std::string escaped(std::string_view text, bool singleQuote) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += singleQuote ? "&#39;" : "'";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string escapeHtmlText(std::string_view text) { return escaped(text, false); }

std::string escapeHtmlAttribute(std::string_view text) { return escaped(text, true); }

}  // namespace quillane
