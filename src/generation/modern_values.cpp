#include "generation/modern_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "document/colour_text.h"
#include "document/message_text.h"
#include "generation/filter_emitters.h"

namespace quillane {

namespace {

constexpr std::string_view kIdeographicSpace = "\u3000";

// A colour keyword as hexadecimal: "Red" -> "#FF0000", "transparent" -> "#00000000".
std::optional<std::string> namedColourHex(std::string_view text) {
  const auto rgba = cssColourKeyword(text);
  if (!rgba) return std::nullopt;
  if ((*rgba)[3] == 0) return "#00000000";
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", static_cast<unsigned>((*rgba)[0]),
                static_cast<unsigned>((*rgba)[1]), static_cast<unsigned>((*rgba)[2]));
  return buffer;
}

// "\3C " for '<': the space ends the escape, so any character may follow.
void appendHexEscape(std::string& out, unsigned char c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\%X ", static_cast<unsigned>(c));
  out += buffer;
}

}  // namespace

std::string ModernRefusal::describe() const {
  return place + "の「" + field + "」には" + expected + "を入れてください（今は「" + shownText(text) + "」）。";
}

std::string_view trimmedBlanks(std::string_view text) {
  for (;;) {
    if (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
      text.remove_prefix(1);
    else if (text.starts_with(kIdeographicSpace))
      text.remove_prefix(kIdeographicSpace.size());
    else
      break;
  }
  for (;;) {
    if (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
      text.remove_suffix(1);
    else if (text.ends_with(kIdeographicSpace))
      text.remove_suffix(kIdeographicSpace.size());
    else
      break;
  }
  return text;
}

std::optional<std::string> cssColour(std::string_view text) {
  text = trimmedBlanks(text);
  if (cssHexColour(text)) return "#" + std::string(text.starts_with('#') ? text.substr(1) : text);
  return namedColourHex(text);
}

std::array<int, 3> rgbOf(std::string_view text) {
  const auto written = cssColour(text);
  const auto rgba = written ? cssHexColour(*written) : std::nullopt;
  if (!rgba) return {0, 0, 0};
  return {(*rgba)[0], (*rgba)[1], (*rgba)[2]};
}

std::optional<double> parseNumber(std::string_view text) {
  // The legacy filters' own check decides what counts as a number.
  const auto formatted = formatFilterNumber(text);
  if (!formatted) return std::nullopt;
  constexpr double kLimit = 1e6;
  return std::clamp(std::strtod(formatted->c_str(), nullptr), -kLimit, kLimit);
}

std::string cssNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

std::string cssString(std::string_view text) {
  std::string out = "\"";
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\')
      out.append("\\").push_back(ch);
    else if (c < 0x20 || c == 0x7F || c == '<' || c == '>')
      appendHexEscape(out, c);
    else
      out.push_back(ch);
  }
  return out + "\"";
}

std::string cssImageUrl(std::string_view path) {
  const bool drive = path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
  const bool windows = drive || path.find('\\') != std::string_view::npos;
  if (!windows) return "url(" + cssString(path) + ")";
  // "C:\a" -> "file:///C:/a"; "\\host\a" -> "file://host/a"
  std::string address = drive ? "file:///" : path.starts_with("\\\\") ? "file:" : "";
  for (char c : path) {
    if (c == '\\')
      address.push_back('/');
    else if (c == '%' || c == '#' || c == '?')
      address += percentEncoded(std::string(1, c));
    else
      address.push_back(c);
  }
  return "url(" + cssString(address) + ")";
}

std::string cssIdentifier(std::string_view name) {
  std::string out;
  for (std::size_t k = 0; k < name.size(); ++k) {
    const auto c = static_cast<unsigned char>(name[k]);
    const bool digit = c >= '0' && c <= '9';
    const bool plain = c >= 0x80 || digit || c == '-' || c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    // An identifier cannot start with a digit, nor with "-" and a digit.
    const bool leadingDigit = digit && (k == 0 || (k == 1 && name[0] == '-'));
    if (plain && !leadingDigit && !(name == "-"))
      out.push_back(name[k]);
    else
      appendHexEscape(out, c);
  }
  return out;
}

std::string percentEncoded(std::string_view text) {
  static constexpr std::string_view kEncoded = "\"#%&<>?\\`";
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || kEncoded.find(ch) != std::string_view::npos) {
      char buffer[4];
      std::snprintf(buffer, sizeof buffer, "%%%02X", static_cast<unsigned>(c));
      out += buffer;
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

}  // namespace quillane
