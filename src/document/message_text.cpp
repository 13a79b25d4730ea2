#include "document/message_text.h"

#include <cstdio>
#include <limits>

namespace quillane {

namespace {

// The length of the UTF-8 sequence at `pos`, or 0 when the bytes there are
// not one well-formed character.
std::size_t sequenceLength(std::string_view s, std::size_t pos) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[pos + k]); };
  const unsigned char lead = byte(0);
  std::size_t length = lead < 0x80                    ? 1
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
  if (length == 0 || pos + length > s.size()) return 0;
  for (std::size_t k = 1; k < length; ++k)
    if ((byte(k) & 0xC0) != 0x80) return 0;
  // Overlong three- and four-byte forms, surrogates and code points past U+10FFFF.
  if (lead == 0xE0 && byte(1) < 0xA0) return 0;
  if (lead == 0xED && byte(1) >= 0xA0) return 0;
  if (lead == 0xF0 && byte(1) < 0x90) return 0;
  if (lead == 0xF4 && byte(1) >= 0x90) return 0;
  return length;
}

void appendEscape(std::string& out, unsigned char c) {
  switch (c) {
    case '\r':
      out += "\\r";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\t':
      out += "\\t";
      return;
    default: {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", c);
      out += code;
    }
  }
}

}  // namespace

std::string shownText(std::string_view text, std::size_t limit) {
  std::string out;
  std::size_t shown = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    if (shown == limit) return out + "…";
    const std::size_t length = sequenceLength(text, pos);
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (length == 0 || lead < 0x20 || lead == 0x7F) {
      appendEscape(out, lead);
      pos += 1;
    } else if (length == 2 && lead == 0xC2 && static_cast<unsigned char>(text[pos + 1]) < 0xA0) {
      appendEscape(out, static_cast<unsigned char>(text[pos + 1]));  // C1 control, U+0080..U+009F
      pos += 2;
    } else {
      out.append(text.substr(pos, length));
      pos += length;
    }
    ++shown;
  }
  return out;
}

std::string shownPath(std::string_view path) { return shownText(path, std::numeric_limits<std::size_t>::max()); }

std::string countText(std::size_t count) {
  const std::string digits = std::to_string(count);
  std::string text;
  for (std::size_t k = 0; k < digits.size(); ++k) {
    if (k > 0 && (digits.size() - k) % 3 == 0) text += ',';
    text += digits[k];
  }
  return text;
}

std::string byteCountText(std::size_t bytes) { return countText(bytes) + " バイト"; }

}  // namespace quillane
