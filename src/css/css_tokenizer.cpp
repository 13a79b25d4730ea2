#include "css/css_tokenizer.h"

#include <cmath>
#include <cstdlib>

namespace quillane::css {

namespace {

constexpr char32_t kEof = 0xFFFFFFFF;
constexpr char32_t kReplacement = 0xFFFD;

// The code point at `at` and its width in bytes. A newline (CR LF, CR, FF)
// reads as LF; bytes that are not UTF-8 read one at a time as U+FFFD.
char32_t decodeAt(std::string_view text, std::size_t at, std::size_t& width) {
  if (at >= text.size()) {
    width = 0;
    return kEof;
  }
  const auto b = static_cast<unsigned char>(text[at]);
  width = 1;
  if (b == '\r') {
    if (at + 1 < text.size() && text[at + 1] == '\n') width = 2;
    return '\n';
  }
  if (b == '\f') return '\n';
  if (b == 0) return kReplacement;
  if (b < 0x80) return b;
  std::size_t n = 0;
  char32_t cp = 0;
  if ((b & 0xE0) == 0xC0) {
    n = 2;
    cp = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    n = 3;
    cp = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    n = 4;
    cp = b & 0x07;
  } else {
    return kReplacement;
  }
  if (at + n > text.size()) return kReplacement;
  for (std::size_t k = 1; k < n; ++k) {
    const auto c = static_cast<unsigned char>(text[at + k]);
    if ((c & 0xC0) != 0x80) return kReplacement;
    cp = (cp << 6) | (c & 0x3F);
  }
  width = n;
  return cp;
}

bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool isHex(char32_t c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isLetter(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isNameStart(char32_t c) { return isLetter(c) || c == '_' || (c >= 0x80 && c != kEof); }
bool isName(char32_t c) { return isNameStart(c) || isDigit(c) || c == '-'; }
bool isWhitespace(char32_t c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isNonPrintable(char32_t c) { return c <= 0x08 || c == 0x0B || (c >= 0x0E && c <= 0x1F) || c == 0x7F; }
int hexValue(char32_t c) {
  if (isDigit(c)) return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  return static_cast<int>(c - 'A' + 10);
}

// Reads values out of a token's text: the same walk as the tokenizer's, but
// collecting code points.
class ValueReader {
 public:
  ValueReader(std::string_view text, std::size_t pos) : m_text(text), m_pos(pos) {}

  char32_t peek(std::size_t ahead = 0) const {
    std::size_t at = m_pos;
    std::size_t w = 0;
    char32_t c = decodeAt(m_text, at, w);
    for (; ahead > 0 && c != kEof; --ahead) {
      at += w;
      c = decodeAt(m_text, at, w);
    }
    return c;
  }
  void advance() {
    std::size_t w = 0;
    decodeAt(m_text, m_pos, w);
    m_pos += w;
  }
  std::size_t position() const { return m_pos; }

  // After a backslash that starts a valid escape.
  char32_t escape() {
    const char32_t c = peek();
    if (c == kEof) return kReplacement;
    if (!isHex(c)) {
      advance();
      return c;
    }
    char32_t value = 0;
    for (int n = 0; n < 6 && isHex(peek()); ++n) {
      value = value * 16 + static_cast<char32_t>(hexValue(peek()));
      advance();
    }
    if (isWhitespace(peek())) advance();
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacement;
    return value;
  }

  // A name up to its first code point that is not part of one.
  std::string name() {
    std::string out;
    for (;;) {
      const char32_t c = peek();
      if (isName(c)) {
        appendUtf8(out, c);
        advance();
      } else if (c == '\\' && peek(1) != '\n' && peek(1) != kEof) {
        advance();
        appendUtf8(out, escape());
      } else {
        return out;
      }
    }
  }

 private:
  std::string_view m_text;
  std::size_t m_pos;
};

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string asciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

char32_t Tokenizer::peek(std::size_t ahead) const {
  std::size_t at = m_pos;
  std::size_t w = 0;
  char32_t c = decodeAt(m_text, at, w);
  for (; ahead > 0 && c != kEof; --ahead) {
    at += w;
    c = decodeAt(m_text, at, w);
  }
  return c;
}

std::size_t Tokenizer::width(std::size_t at) const {
  std::size_t w = 0;
  decodeAt(m_text, at, w);
  return w;
}

void Tokenizer::advance(std::size_t count) {
  for (; count > 0 && m_pos < m_text.size(); --count) m_pos += width(m_pos);
}

// Whether the code points at `at` (counted from the current position) start
// a valid escape: a backslash not followed by a newline.
bool Tokenizer::startsEscape(std::size_t at) const { return peek(at) == '\\' && peek(at + 1) != '\n'; }

bool Tokenizer::startsIdentifier(std::size_t at) const {
  const char32_t first = peek(at);
  if (first == '-') {
    const char32_t second = peek(at + 1);
    return isNameStart(second) || second == '-' || startsEscape(at + 1);
  }
  if (isNameStart(first)) return true;
  return first == '\\' && startsEscape(at);
}

bool Tokenizer::startsNumber(std::size_t at) const {
  const char32_t first = peek(at);
  if (first == '+' || first == '-') {
    if (isDigit(peek(at + 1))) return true;
    return peek(at + 1) == '.' && isDigit(peek(at + 2));
  }
  if (first == '.') return isDigit(peek(at + 1));
  return isDigit(first);
}

void Tokenizer::skipComments() {
  while (peek() == '/' && peek(1) == '*') {
    const std::size_t begin = m_pos;
    const std::size_t close = m_text.find("*/", m_pos + 2);
    m_pos = close == std::string_view::npos ? m_text.size() : close + 2;
    if (m_comments) m_comments->push_back({begin, m_pos});
  }
}

void Tokenizer::consumeEscape() {
  if (!isHex(peek())) {
    advance();
    return;
  }
  for (int n = 0; n < 6 && isHex(peek()); ++n) advance();
  if (isWhitespace(peek())) advance();
}

void Tokenizer::consumeName() {
  for (;;) {
    const char32_t c = peek();
    if (isName(c)) {
      advance();
    } else if (startsEscape(0)) {
      advance();
      consumeEscape();
    } else {
      return;
    }
  }
}

Token Tokenizer::make(TokenType type, std::size_t begin) const {
  Token t;
  t.type = type;
  t.begin = begin;
  t.end = m_pos;
  return t;
}

double Tokenizer::consumeNumber(bool& integer) {
  const std::size_t begin = m_pos;
  integer = true;
  if (peek() == '+' || peek() == '-') advance();
  while (isDigit(peek())) advance();
  if (peek() == '.' && isDigit(peek(1))) {
    integer = false;
    advance();
    while (isDigit(peek())) advance();
  }
  const char32_t e = peek();
  if ((e == 'e' || e == 'E') && (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
    integer = false;
    advance(2);
    while (isDigit(peek())) advance();
  }
  // The digits are ASCII; strtod reads them without the locale's help for
  // these forms (no thousands separators, '.' as the point in the C locale).
  const std::string digits(m_text.substr(begin, m_pos - begin));
  double value = std::strtod(digits.c_str(), nullptr);
  if (!std::isfinite(value)) value = value > 0 ? 1e308 : -1e308;
  return value;
}

Token Tokenizer::consumeNumeric(std::size_t begin) {
  bool integer = true;
  const double value = consumeNumber(integer);
  Token t;
  if (startsIdentifier(0)) {
    const std::size_t unitBegin = m_pos;
    consumeName();
    t = make(TokenType::Dimension, begin);
    t.unitBegin = unitBegin;
  } else if (peek() == '%') {
    advance();
    t = make(TokenType::Percentage, begin);
  } else {
    t = make(TokenType::Number, begin);
  }
  t.number = value;
  t.integer = integer;
  return t;
}

Token Tokenizer::consumeIdentLike(std::size_t begin) {
  consumeName();
  const std::string_view name = m_text.substr(begin, m_pos - begin);
  if (peek() != '(') return make(TokenType::Ident, begin);
  const bool url = (name.size() == 3 && asciiLower(name) == "url") ||
                   (name.find('\\') != std::string_view::npos &&
                    asciiLower(tokenValue(m_text, make(TokenType::Ident, begin))) == "url");
  advance();
  if (!url) return make(TokenType::Function, begin);
  // url( followed by a quote is a function whose argument is a string.
  std::size_t ahead = 0;
  while (isWhitespace(peek(ahead)) && isWhitespace(peek(ahead + 1))) ++ahead;
  const char32_t next = isWhitespace(peek(ahead)) ? peek(ahead + 1) : peek(ahead);
  if (next == '"' || next == '\'') return make(TokenType::Function, begin);
  return consumeUrl(begin);
}

Token Tokenizer::consumeString(std::size_t begin, char32_t quote) {
  for (;;) {
    const char32_t c = peek();
    if (c == kEof) return make(TokenType::String, begin);
    if (c == quote) {
      advance();
      return make(TokenType::String, begin);
    }
    if (c == '\n') return make(TokenType::BadString, begin);  // the newline is not part of it
    advance();
    if (c == '\\') {
      if (peek() == kEof) continue;
      if (peek() == '\n') {
        advance();
        continue;
      }
      consumeEscape();
    }
  }
}

Token Tokenizer::consumeUrl(std::size_t begin) {
  while (isWhitespace(peek())) advance();
  for (;;) {
    const char32_t c = peek();
    if (c == ')') {
      advance();
      return make(TokenType::Url, begin);
    }
    if (c == kEof) return make(TokenType::Url, begin);
    if (isWhitespace(c)) {
      while (isWhitespace(peek())) advance();
      if (peek() == ')' || peek() == kEof) {
        advance();
        return make(TokenType::Url, begin);
      }
    } else if (c == '"' || c == '\'' || c == '(' || isNonPrintable(c)) {
      // fall through to the bad url below
    } else if (c == '\\') {
      if (startsEscape(0)) {
        advance();
        consumeEscape();
        continue;
      }
    } else {
      advance();
      continue;
    }
    // The remnants of a bad url, up to ")" or the end; escapes are stepped over.
    for (;;) {
      const char32_t r = peek();
      if (r == kEof) return make(TokenType::BadUrl, begin);
      if (r == ')') {
        advance();
        return make(TokenType::BadUrl, begin);
      }
      if (startsEscape(0)) {
        advance();
        consumeEscape();
      } else {
        advance();
      }
    }
  }
}

Token Tokenizer::next() {
  skipComments();
  const std::size_t begin = m_pos;
  const char32_t c = peek();
  if (c == kEof) return make(TokenType::EndOfFile, begin);
  if (isWhitespace(c)) {
    while (isWhitespace(peek())) advance();
    return make(TokenType::Whitespace, begin);
  }
  const auto single = [&](TokenType type) {
    advance();
    return make(type, begin);
  };
  const auto delim = [&]() {
    advance();
    Token t = make(TokenType::Delim, begin);
    t.delim = c;
    return t;
  };
  switch (c) {
    case '"':
    case '\'':
      advance();
      return consumeString(begin, c);
    case '#':
      if (isName(peek(1)) || startsEscape(1)) {
        advance();
        const bool id = startsIdentifier(0);
        consumeName();
        Token t = make(TokenType::Hash, begin);
        t.idHash = id;
        return t;
      }
      return delim();
    case '(':
      return single(TokenType::LeftParen);
    case ')':
      return single(TokenType::RightParen);
    case '[':
      return single(TokenType::LeftSquare);
    case ']':
      return single(TokenType::RightSquare);
    case '{':
      return single(TokenType::LeftCurly);
    case '}':
      return single(TokenType::RightCurly);
    case ',':
      return single(TokenType::Comma);
    case ':':
      return single(TokenType::Colon);
    case ';':
      return single(TokenType::Semicolon);
    case '+':
    case '.':
      if (startsNumber(0)) return consumeNumeric(begin);
      return delim();
    case '-':
      if (startsNumber(0)) return consumeNumeric(begin);
      if (peek(1) == '-' && peek(2) == '>') {
        advance(3);
        return make(TokenType::Cdc, begin);
      }
      if (startsIdentifier(0)) return consumeIdentLike(begin);
      return delim();
    case '<':
      if (peek(1) == '!' && peek(2) == '-' && peek(3) == '-') {
        advance(4);
        return make(TokenType::Cdo, begin);
      }
      return delim();
    case '@':
      if (startsIdentifier(1)) {
        advance();
        consumeName();
        return make(TokenType::AtKeyword, begin);
      }
      return delim();
    case '\\':
      if (startsEscape(0)) return consumeIdentLike(begin);
      return delim();
    default:
      break;
  }
  if (isDigit(c)) return consumeNumeric(begin);
  if (isNameStart(c)) return consumeIdentLike(begin);
  return delim();
}

std::vector<Token> tokenize(std::string_view text, std::vector<CommentRange>* comments) {
  std::vector<Token> tokens;
  Tokenizer tokenizer(text, comments);
  for (;;) {
    tokens.push_back(tokenizer.next());
    if (tokens.back().type == TokenType::EndOfFile) return tokens;
  }
}

std::string tokenValue(std::string_view text, const Token& token) {
  switch (token.type) {
    case TokenType::Ident:
    case TokenType::Function:
      return ValueReader(text, token.begin).name();
    case TokenType::AtKeyword:
    case TokenType::Hash:
      return ValueReader(text, token.begin + 1).name();
    case TokenType::Dimension:
      return ValueReader(text, token.unitBegin).name();
    case TokenType::String:
    case TokenType::BadString: {
      ValueReader r(text, token.begin);
      const char32_t quote = r.peek();
      r.advance();
      std::string out;
      while (r.position() < token.end) {
        const char32_t c = r.peek();
        if (c == quote) break;
        r.advance();
        if (c == '\\') {
          if (r.position() >= token.end) break;
          if (r.peek() == '\n') {
            r.advance();
            continue;
          }
          appendUtf8(out, r.escape());
        } else {
          appendUtf8(out, c == '\n' ? char32_t{'\n'} : c);
        }
      }
      return out;
    }
    case TokenType::Url: {
      ValueReader r(text, token.begin);
      r.name();     // "url", however it is spelt
      r.advance();  // "("
      while (isWhitespace(r.peek())) r.advance();
      std::string out;
      while (r.position() < token.end) {
        const char32_t c = r.peek();
        if (c == ')' || isWhitespace(c)) break;
        r.advance();
        appendUtf8(out, c == '\\' ? r.escape() : c);
      }
      return out;
    }
    case TokenType::Delim: {
      std::string out;
      appendUtf8(out, token.delim);
      return out;
    }
    default:
      return std::string(tokenText(text, token));
  }
}

}  // namespace quillane::css
