#include "platform/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "document/message_text.h"

namespace quillane {

namespace {

bool isAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One converter per direction and thread, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {
    if (m_cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv cannot convert to ") + to);
  }
  ~Converter() { ::iconv_close(m_cd); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`, first into room for `growth` times its bytes
  // (more is made when needed); on failure returns the offset of the bad input.
  bool run(std::string_view in, std::string& out, std::size_t& badOffset, std::size_t growth) {
    ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * growth + 16);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::size_t used = 0;
    for (;;) {
      char* dst = out.data() + used;
      std::size_t dstLeft = out.size() - used;
      const std::size_t r = ::iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (r != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      badOffset = in.size() - srcLeft;
      return false;
    }
    out.resize(used);
    return true;
  }

 private:
  iconv_t m_cd;
};

// Decodes the UTF-8 sequence at `pos`; an invalid one reads as U+FFFD, one byte long.
char32_t codePointAt(std::string_view s, std::size_t pos, std::size_t& length) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[pos + k]); };
  const unsigned char lead = b(0);
  length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || pos + length > s.size()) {
    length = 1;
    return 0xFFFD;
  }
  char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if ((b(k) & 0xC0) != 0x80) {
      length = 1;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  return cp;
}

}  // namespace

std::string UnencodableCharacter::describe() const {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(codePoint));
  return "「" + shownText(character) + "」(" + code + ") は保存できない文字です（" + std::to_string(line) + "行目、" +
         std::to_string(column) + "文字目）。";
}

bool encodeCp932(std::string_view utf8, std::string& out, UnencodableCharacter& error) {
  if (isAscii(utf8)) {
    out.assign(utf8);
    return true;
  }
  thread_local Converter converter("CP932", "UTF-8");
  std::size_t bad = 0;
  // No character takes more bytes in CP932 than in UTF-8: a settings file
  // of megabytes is not made in twice its room.
  if (converter.run(utf8, out, bad, 1)) return true;

  // Say which character, by line and column.
  error = {};
  error.line = 1;
  error.column = 1;
  std::size_t pos = 0;
  std::size_t length = 1;
  while (pos < bad) {
    codePointAt(utf8, pos, length);
    if (utf8[pos] == '\n') {
      ++error.line;
      error.column = 1;
    } else if (utf8[pos] != '\r') {
      ++error.column;
    }
    pos += length;
  }
  error.codePoint = codePointAt(utf8, bad, length);
  error.character = error.codePoint == 0xFFFD ? "\xEF\xBF\xBD" : std::string(utf8.substr(bad, length));
  return false;
}

std::string decodeCp932Lossy(std::string_view bytes) {
  std::string out;
  std::string piece;
  std::size_t bad = 0;
  while (!decodeCp932(bytes, piece, bad)) {
    std::string good;
    std::size_t unused = 0;
    decodeCp932(bytes.substr(0, bad), good, unused);  // the part before `bad` is valid
    out += good;
    out += "\xEF\xBF\xBD";
    bytes.remove_prefix(bad + 1);
  }
  return out + piece;
}

bool isValidUtf8(std::string_view bytes) {
  std::size_t length = 1;
  for (std::size_t pos = 0; pos < bytes.size(); pos += length) {
    if (codePointAt(bytes, pos, length) == 0xFFFD && bytes.substr(pos, 3) != "\xEF\xBF\xBD") return false;
  }
  return true;
}

bool decodeCp932(std::string_view bytes, std::string& out, std::size_t& badOffset) {
  if (isAscii(bytes)) {
    out.assign(bytes);
    return true;
  }
  thread_local Converter converter("UTF-8", "CP932");
  return converter.run(bytes, out, badOffset, 2);
}

}  // namespace quillane
