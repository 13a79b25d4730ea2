#include "css/css_parser.h"

#include <optional>
#include <utility>

namespace quillane::css {

namespace {

// Tokens of one stretch of the text, read one at a time with one token of
// look-ahead.
class TokenStream {
 public:
  TokenStream(std::string_view text, Range range, std::vector<CommentRange>* comments = nullptr)
      : m_tokenizer(text.substr(0, range.end), comments, range.begin) {}

  const Token& peek() {
    if (!m_next) m_next = m_tokenizer.next();
    return *m_next;
  }
  Token take() {
    Token t = peek();
    m_next.reset();
    return t;
  }

 private:
  Tokenizer m_tokenizer;
  std::optional<Token> m_next;
};

TokenType closerOf(TokenType opener) {
  switch (opener) {
    case TokenType::LeftCurly:
      return TokenType::RightCurly;
    case TokenType::LeftSquare:
      return TokenType::RightSquare;
    default:
      return TokenType::RightParen;  // "(" and functions
  }
}

bool opens(TokenType type) {
  return type == TokenType::LeftCurly || type == TokenType::LeftSquare || type == TokenType::LeftParen ||
         type == TokenType::Function;
}

// Consumes the component value that starts with `first` (already taken): a
// block or function up to its closing token, or the token alone. Returns
// the end of what was consumed; `closed` is false when the text ended first.
// `into` collects every token when given.
std::size_t consumeComponent(TokenStream& in, const Token& first, std::vector<Token>* into, bool& closed) {
  closed = true;
  if (into) into->push_back(first);
  if (!opens(first.type)) return first.end;
  std::vector<TokenType> expected{closerOf(first.type)};
  std::size_t end = first.end;
  while (!expected.empty()) {
    const Token t = in.take();
    if (t.type == TokenType::EndOfFile) {
      closed = false;
      return end;
    }
    if (into) into->push_back(t);
    end = t.end;
    if (t.type == expected.back())
      expected.pop_back();
    else if (opens(t.type))
      expected.push_back(closerOf(t.type));
  }
  return end;
}

// Where the prelude ends: before the blanks that precede `stop`.
void extendPrelude(Range& prelude, bool& started, const Token& t, std::size_t end) {
  if (t.type == TokenType::Whitespace) return;
  if (!started) prelude.begin = t.begin;
  started = true;
  prelude.end = end;
}

// `rule` with the block that `open` starts, up to its closing bracket or
// the end of the text.
Rule withBlock(TokenStream& in, const Token& open, Rule rule) {
  rule.hasBlock = true;
  bool closed = true;
  const std::size_t end = consumeComponent(in, open, nullptr, closed);
  rule.whole.end = end;
  rule.closed = closed;
  rule.block = {open.end, closed ? end - 1 : end};
  return rule;
}

Rule consumeAtRule(TokenStream& in, std::string_view text, const Token& keyword) {
  Rule rule;
  rule.kind = Rule::Kind::At;
  rule.atName = tokenValue(text, keyword);
  rule.whole = {keyword.begin, keyword.end};
  rule.prelude = {keyword.end, keyword.end};
  bool started = false;
  for (;;) {
    const Token t = in.take();
    if (t.type == TokenType::EndOfFile) {
      rule.closed = false;
      return rule;
    }
    rule.whole.end = t.end;
    if (t.type == TokenType::Semicolon) return rule;
    if (t.type == TokenType::LeftCurly) return withBlock(in, t, std::move(rule));
    bool closed = true;
    const std::size_t end = consumeComponent(in, t, nullptr, closed);
    extendPrelude(rule.prelude, started, t, end);
    rule.whole.end = end;
  }
}

// A qualified rule, or nothing when the text ends before its block.
std::optional<Rule> consumeQualifiedRule(TokenStream& in, const Token& first) {
  Rule rule;
  rule.whole = {first.begin, first.begin};
  rule.prelude = {first.begin, first.begin};
  bool started = false;
  for (Token t = first;; t = in.take()) {
    if (t.type == TokenType::EndOfFile) return std::nullopt;
    if (t.type == TokenType::LeftCurly) return withBlock(in, t, std::move(rule));
    bool closed = true;
    const std::size_t end = consumeComponent(in, t, nullptr, closed);
    extendPrelude(rule.prelude, started, t, end);
  }
}

std::vector<Rule> consumeRules(TokenStream& in, std::string_view text, bool topLevel) {
  std::vector<Rule> rules;
  for (;;) {
    const Token t = in.take();
    switch (t.type) {
      case TokenType::EndOfFile:
        return rules;
      case TokenType::Whitespace:
        continue;
      case TokenType::Cdo:
      case TokenType::Cdc:
        if (topLevel) continue;
        break;
      case TokenType::AtKeyword:
        rules.push_back(consumeAtRule(in, text, t));
        continue;
      default:
        break;
    }
    if (auto rule = consumeQualifiedRule(in, t)) rules.push_back(std::move(*rule));
  }
}

// Makes a declaration of the tokens from its name to its end, or nothing
// when the name is not followed by a colon.
std::optional<Declaration> makeDeclaration(std::string_view text, const std::vector<Token>& tokens) {
  Declaration d;
  d.name = tokenValue(text, tokens[0]);
  std::size_t k = 1;
  while (k < tokens.size() && tokens[k].type == TokenType::Whitespace) ++k;
  if (k >= tokens.size() || tokens[k].type != TokenType::Colon) return std::nullopt;
  ++k;
  while (k < tokens.size() && tokens[k].type == TokenType::Whitespace) ++k;
  std::size_t last = tokens.size();
  while (last > k && tokens[last - 1].type == TokenType::Whitespace) --last;
  d.whole = {tokens[0].begin, last > 0 ? tokens[last - 1].end : tokens[0].end};
  // "! important" at the end, in any case, blanks allowed between.
  if (last > k && tokens[last - 1].type == TokenType::Ident &&
      asciiLower(tokenValue(text, tokens[last - 1])) == "important") {
    std::size_t bang = last - 1;
    while (bang > k && tokens[bang - 1].type == TokenType::Whitespace) --bang;
    if (bang > k && tokens[bang - 1].type == TokenType::Delim && tokens[bang - 1].delim == '!') {
      d.important = true;
      last = bang - 1;
      while (last > k && tokens[last - 1].type == TokenType::Whitespace) --last;
    }
  }
  d.tokens.assign(tokens.begin() + static_cast<std::ptrdiff_t>(k), tokens.begin() + static_cast<std::ptrdiff_t>(last));
  d.value = k < last ? Range{tokens[k].begin, tokens[last - 1].end} : Range{d.whole.end, d.whole.end};
  return d;
}

}  // namespace

StyleSheet parseStyleSheet(std::string_view text) {
  StyleSheet sheet;
  if (text.size() > kMaxStyleBytes) return sheet;
  TokenStream in(text, {0, text.size()}, &sheet.comments);
  sheet.rules = consumeRules(in, text, true);
  return sheet;
}

std::vector<Rule> parseRules(std::string_view text, Range block) {
  TokenStream in(text, block);
  return consumeRules(in, text, false);
}

DeclarationList parseDeclarations(std::string_view text, Range block) {
  DeclarationList list;
  TokenStream in(text, block);
  for (;;) {
    const Token t = in.take();
    if (t.type == TokenType::EndOfFile) return list;
    if (t.type == TokenType::Whitespace || t.type == TokenType::Semicolon) continue;
    if (t.type == TokenType::AtKeyword) {
      const Rule rule = consumeAtRule(in, text, t);
      list.others.push_back(rule.whole);
      continue;
    }
    // Everything up to the next ";" at this level, or the end.
    std::vector<Token> tokens;
    std::size_t end = t.end;
    for (Token next = t;;) {
      bool closed = true;
      end = consumeComponent(in, next, &tokens, closed);
      const TokenType after = in.peek().type;
      if (after == TokenType::Semicolon || after == TokenType::EndOfFile) break;
      next = in.take();
    }
    std::optional<Declaration> declaration;
    if (t.type == TokenType::Ident) declaration = makeDeclaration(text, tokens);
    if (declaration)
      list.declarations.push_back(std::move(*declaration));
    else
      list.others.push_back({t.begin, end});
  }
}

}  // namespace quillane::css
