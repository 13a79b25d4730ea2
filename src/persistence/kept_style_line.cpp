#include "persistence/kept_style_line.h"

#include <cstdio>
#include <map>

#include "platform/cp932.h"

namespace quillane {

namespace {

// Whether CP932 holds the character and gives back the same one.
bool cp932Keeps(std::string_view character) {
  static std::map<std::string, bool, std::less<>> known;
  if (const auto it = known.find(character); it != known.end()) return it->second;
  std::string bytes;
  std::string back;
  UnencodableCharacter bad;
  std::size_t badOffset = 0;
  const bool keeps = encodeCp932(character, bytes, bad) && decodeCp932(bytes, back, badOffset) && back == character;
  if (known.size() < 65536) known.emplace(std::string(character), keeps);
  return keeps;
}

void appendEscaped(std::string& out, std::string_view bytes) {
  for (char c : bytes) {
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%%%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += buffer;
  }
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The escaped text, appended to `out`; with no `out`, only its length.
std::size_t escapedBody(std::string_view text, std::string_view alsoEscaped, std::string* out) {
  std::size_t size = 0;
  for (std::size_t k = 0; k < text.size();) {
    const auto b = static_cast<unsigned char>(text[k]);
    std::size_t n = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    n = std::min(n, text.size() - k);
    const std::string_view character = text.substr(k, n);
    const bool plain = !(b == '%' || (b < 0x20 && b != '\t') || b == 0x7F ||
                         (b < 0x80 && alsoEscaped.find(text[k]) != std::string_view::npos)) &&
                       (b < 0x80 || (isValidUtf8(character) && cp932Keeps(character)));
    size += plain ? n : 3 * n;
    if (out != nullptr && plain) out->append(character);
    if (out != nullptr && !plain) appendEscaped(*out, character);
    k += n;
  }
  return size;
}

}  // namespace

std::string escapedLineText(std::string_view text, std::string_view alsoEscaped) {
  std::string out;
  out.reserve(escapedBody(text, alsoEscaped, nullptr));
  escapedBody(text, alsoEscaped, &out);
  return out;
}

std::string keptStyleLine(std::string_view text) {
  std::string out;
  out.reserve(keptStyleLineSize(text));
  appendKeptStyleLine(out, text);
  return out;
}

void appendKeptStyleLine(std::string& out, std::string_view text) {
  out.append(kKeptStylePrefix);
  escapedBody(text, {}, &out);
}

std::size_t keptStyleLineSize(std::string_view text) {
  return kKeptStylePrefix.size() + escapedBody(text, {}, nullptr);
}

std::optional<std::string> keptStyleOfLine(std::string_view line, bool& bad) {
  bad = false;
  if (!line.starts_with(kKeptStylePrefix)) return std::nullopt;
  auto text = unescapedLineText(line.substr(kKeptStylePrefix.size()));
  bad = !text;
  return text;
}

std::optional<std::string> unescapedLineText(std::string_view line) {
  std::string text;
  text.reserve(line.size());
  for (std::size_t k = 0; k < line.size(); ++k) {
    if (line[k] == '%' && k + 2 < line.size() && hexValue(line[k + 1]) >= 0 && hexValue(line[k + 2]) >= 0) {
      text += static_cast<char>(hexValue(line[k + 1]) * 16 + hexValue(line[k + 2]));
      k += 2;
    } else {
      text += line[k];
    }
  }
  if (!isValidUtf8(text)) return std::nullopt;
  return text;
}

}  // namespace quillane
