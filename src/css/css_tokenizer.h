// The tokens of CSS Syntax Level 3, read from UTF-8 text.
//
// Tokens hold where they stand in the text rather than copies of it, so the
// parser can hand back any rule, declaration or value exactly as written;
// tokenValue() gives the value with its escapes resolved. Line ends (CR LF,
// CR, LF, FF) are read as one newline each, as the preprocessing of the
// syntax asks, without rewriting the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillane::css {

// The largest text the reader takes, as for the other readers: 16 MiB.
inline constexpr std::size_t kMaxStyleBytes = std::size_t{16} << 20;

enum class TokenType : std::uint8_t {
  Ident,
  Function,   // "name(": the value is the name
  AtKeyword,  // "@name"
  Hash,       // "#name"; idHash tells whether the name would do as an identifier
  String,
  BadString,  // a string cut by a newline
  Url,        // url(unquoted)
  BadUrl,     // url( with a quote, a blank inside, or a bad escape
  Delim,
  Number,
  Percentage,
  Dimension,
  Whitespace,
  Cdo,  // <!--
  Cdc,  // -->
  Colon,
  Semicolon,
  Comma,
  LeftSquare,
  RightSquare,
  LeftParen,
  RightParen,
  LeftCurly,
  RightCurly,
  EndOfFile,
};

struct Token {
  TokenType type = TokenType::EndOfFile;
  std::size_t begin = 0;  // byte offsets into the text
  std::size_t end = 0;
  double number = 0;          // Number, Percentage, Dimension
  bool integer = false;       // the number was written without a fraction or exponent
  bool idHash = false;        // Hash
  std::size_t unitBegin = 0;  // Dimension: where the unit starts
  char32_t delim = 0;         // Delim: the code point
};

// A comment's place: from "/*" to the end of "*/" (or of the text, for one
// left open).
struct CommentRange {
  std::size_t begin = 0;
  std::size_t end = 0;
};

class Tokenizer {
 public:
  // `text` must outlive the tokenizer. Comments are skipped; when `comments`
  // is given, their places are added to it.
  // Reading starts at byte `start`.
  explicit Tokenizer(std::string_view text, std::vector<CommentRange>* comments = nullptr, std::size_t start = 0)
      : m_text(text), m_comments(comments), m_pos(start) {}

  Token next();
  std::size_t position() const { return m_pos; }

 private:
  char32_t peek(std::size_t ahead = 0) const;
  std::size_t width(std::size_t at) const;  // bytes of the code point at `at` (a newline CR LF counts 2)
  void advance(std::size_t count = 1);
  bool startsEscape(std::size_t at) const;
  bool startsIdentifier(std::size_t at) const;
  bool startsNumber(std::size_t at) const;
  void skipComments();
  void consumeEscape();
  void consumeName();
  Token consumeNumeric(std::size_t begin);
  Token consumeIdentLike(std::size_t begin);
  Token consumeString(std::size_t begin, char32_t quote);
  Token consumeUrl(std::size_t begin);
  double consumeNumber(bool& integer);
  Token make(TokenType type, std::size_t begin) const;

  std::string_view m_text;
  std::vector<CommentRange>* m_comments;
  std::size_t m_pos;
};

// Every token of the text, EndOfFile last.
std::vector<Token> tokenize(std::string_view text, std::vector<CommentRange>* comments = nullptr);

// The value of a token with its escapes resolved, as UTF-8: the name of an
// Ident, Function, AtKeyword or Hash, the content of a String or Url, the
// unit of a Dimension, the code point of a Delim; otherwise the token's text.
// A NUL or an escape of an invalid code point becomes U+FFFD.
//   ident "c\6f lor" -> "color";  string "'a\'b'" -> "a'b";  url "url( a.png )" -> "a.png"
std::string tokenValue(std::string_view text, const Token& token);

// The token's text as written.
inline std::string_view tokenText(std::string_view text, const Token& token) {
  return text.substr(token.begin, token.end - token.begin);
}

// Appends `cp` as UTF-8; NUL, a surrogate or a value past U+10FFFF as
// U+FFFD, as the CSS tokenizer reads them.
void appendUtf8(std::string& out, char32_t cp);

// ASCII lower case, for the names CSS compares without case.
std::string asciiLower(std::string_view text);

}  // namespace quillane::css
