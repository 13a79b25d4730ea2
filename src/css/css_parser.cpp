#include "css/css_parser.h"

#include <array>
#include <functional>
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
// `solidEnd`, when given, is set to the end of its last token that is not
// a blank (the same as the end unless the text ended inside a block).
// The closers still expected are kept on a stack of one byte a level.
std::size_t consumeComponent(TokenStream& in, const Token& first, bool& closed, std::size_t* solidEnd = nullptr) {
  closed = true;
  if (solidEnd) *solidEnd = first.end;
  if (!opens(first.type)) return first.end;
  std::vector<TokenType> expected{closerOf(first.type)};
  std::size_t end = first.end;
  while (!expected.empty()) {
    const Token t = in.take();
    if (t.type == TokenType::EndOfFile) {
      closed = false;
      return end;
    }
    end = t.end;
    if (solidEnd && t.type != TokenType::Whitespace) *solidEnd = end;
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
  if (!started) prelude.begin = static_cast<std::uint32_t>(t.begin);
  started = true;
  prelude.end = static_cast<std::uint32_t>(end);
}

// `rule` with the block that `open` starts, up to its closing bracket or
// the end of the text.
Rule withBlock(TokenStream& in, const Token& open, Rule rule) {
  rule.hasBlock = true;
  bool closed = true;
  const std::size_t end = consumeComponent(in, open, closed);
  rule.whole.end = static_cast<std::uint32_t>(end);
  rule.closed = closed;
  rule.block = {open.end, closed ? end - 1 : end};
  return rule;
}

// How a rule is read: inside a block that a walk has entered, a "}" ends
// the block (and so any rule not finished), as the end of its text would.
struct Reading {
  bool nested = false;    // a "}" ends the rule, which is then not closed; it is not taken
  bool headOnly = false;  // an at-rule's "{" is taken but not its block (hasBlock, block.begin set)
};

bool endsHere(TokenStream& in, const Reading& how) {
  const TokenType next = in.peek().type;
  return next == TokenType::EndOfFile || (how.nested && next == TokenType::RightCurly);
}

Rule consumeAtRule(TokenStream& in, const Token& keyword, Reading how = {}) {
  Rule rule;
  rule.kind = Rule::Kind::At;
  rule.whole = {keyword.begin, keyword.end};
  rule.prelude = {keyword.end, keyword.end};
  bool started = false;
  for (;;) {
    if (endsHere(in, how)) {
      rule.closed = false;
      return rule;
    }
    const Token t = in.take();
    rule.whole.end = static_cast<std::uint32_t>(t.end);
    if (t.type == TokenType::Semicolon) return rule;
    if (t.type == TokenType::LeftCurly && how.headOnly) {
      rule.hasBlock = true;
      rule.block = {t.end, t.end};
      return rule;
    }
    if (t.type == TokenType::LeftCurly) return withBlock(in, t, std::move(rule));
    bool closed = true;
    const std::size_t end = consumeComponent(in, t, closed);
    extendPrelude(rule.prelude, started, t, end);
    rule.whole.end = static_cast<std::uint32_t>(end);
  }
}

// A qualified rule, or nothing when the text (or the block, when nested)
// ends before its block.
std::optional<Rule> consumeQualifiedRule(TokenStream& in, const Token& first, Reading how = {}) {
  Rule rule;
  rule.whole = {first.begin, first.begin};
  rule.prelude = {first.begin, first.begin};
  bool started = false;
  for (Token t = first;;) {
    if (t.type == TokenType::EndOfFile) return std::nullopt;
    if (t.type == TokenType::LeftCurly) return withBlock(in, t, std::move(rule));
    bool closed = true;
    const std::size_t end = consumeComponent(in, t, closed);
    extendPrelude(rule.prelude, started, t, end);
    if (endsHere(in, how)) return std::nullopt;
    t = in.take();
  }
}

std::vector<Rule> consumeRules(TokenStream& in, bool topLevel) {
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
        rules.push_back(consumeAtRule(in, t));
        continue;
      default:
        break;
    }
    if (auto rule = consumeQualifiedRule(in, t)) rules.push_back(std::move(*rule));
  }
}

// A component value of a declaration, as far as the declaration needs it.
struct Component {
  Token first;               // its first token: the whole component unless a block or function
  std::size_t solidEnd = 0;  // the end of its last token that is not a blank
};

// The pieces of a declaration as they are read, one component at a time:
// the name, whether a colon follows it, and the last three components that
// are not blanks (the last two may be "!" and "important"). Nothing else is
// held, so a value of any length costs no memory.
class DeclarationReader {
 public:
  explicit DeclarationReader(const Token& name) : m_name(name) {}

  void add(const Token& first, std::size_t solidEnd) {
    if (first.type == TokenType::Whitespace) return;
    ++m_count;
    if (m_count == 2) m_colon = first.type == TokenType::Colon;
    if (m_count == 3) m_valueBegin = first.begin;
    m_last[0] = m_last[1];
    m_last[1] = m_last[2];
    m_last[2] = {first, solidEnd};
  }

  // The declaration, or nothing when the name is not followed by a colon.
  std::optional<Declaration> finish(std::string_view text) const {
    if (!m_colon) return std::nullopt;
    Declaration d;
    d.name = tokenValue(text, m_name);
    d.whole = {m_name.begin, m_last[2].solidEnd};
    std::size_t values = m_count - 2;
    std::size_t valueEnd = m_last[2].solidEnd;
    // "! important" at the end, in any case, blanks allowed between.
    const Token& bang = m_last[1].first;
    if (values >= 2 && bang.type == TokenType::Delim && bang.delim == '!' && m_last[2].first.type == TokenType::Ident &&
        asciiLower(tokenValue(text, m_last[2].first)) == "important") {
      d.important = true;
      values -= 2;
      valueEnd = m_last[0].solidEnd;
    }
    d.value = values > 0 ? Range{m_valueBegin, valueEnd} : Range{d.whole.end, d.whole.end};
    return d;
  }

 private:
  Token m_name;
  std::size_t m_count = 0;  // components that are not blanks, the name included
  bool m_colon = false;
  std::size_t m_valueBegin = 0;
  std::array<Component, 3> m_last{};
};

}  // namespace

std::string Rule::atName(std::string_view text) const {
  if (kind != Kind::At) return {};
  return tokenValue(text, Tokenizer(text, nullptr, whole.begin).next());
}

StyleSheet parseStyleSheet(std::string_view text) {
  StyleSheet sheet;
  if (text.size() > kMaxStyleBytes) return sheet;
  TokenStream in(text, {0, text.size()}, &sheet.comments);
  sheet.rules = consumeRules(in, true);
  return sheet;
}

std::vector<Rule> parseRules(std::string_view text, Range block) {
  TokenStream in(text, block);
  return consumeRules(in, false);
}

void walkRules(std::string_view text, Range block, const std::function<bool(const Rule&)>& enter,
               const std::function<void(const Rule&)>& visit) {
  TokenStream in(text, block);
  std::size_t depth = 0;  // blocks entered and not yet closed
  for (;;) {
    const Token t = in.take();
    const bool nested = depth > 0;
    switch (t.type) {
      case TokenType::EndOfFile:
        return;
      case TokenType::Whitespace:
        continue;
      case TokenType::RightCurly:
        if (!nested) break;
        --depth;
        continue;
      case TokenType::AtKeyword: {
        Rule rule = consumeAtRule(in, t, {nested, true});
        if (rule.hasBlock && enter(rule)) {
          ++depth;
          continue;
        }
        if (rule.hasBlock) {
          Token open;
          open.type = TokenType::LeftCurly;
          open.begin = rule.block.begin - 1;
          open.end = rule.block.begin;
          rule = withBlock(in, open, std::move(rule));
        }
        visit(rule);
        continue;
      }
      default:
        break;
    }
    if (auto rule = consumeQualifiedRule(in, t, {nested, false})) visit(*rule);
  }
}

void walkDeclarations(std::string_view text, Range block, const std::function<void(const Declaration&)>& declaration,
                      const std::function<void(Range)>& other) {
  TokenStream in(text, block);
  for (;;) {
    const Token t = in.take();
    if (t.type == TokenType::EndOfFile) return;
    if (t.type == TokenType::Whitespace || t.type == TokenType::Semicolon) continue;
    if (t.type == TokenType::AtKeyword) {
      const Rule rule = consumeAtRule(in, t);
      other(rule.whole);
      continue;
    }
    // Everything up to the next ";" at this level, or the end.
    DeclarationReader reader(t);
    std::size_t end = t.end;
    for (Token next = t;;) {
      bool closed = true;
      std::size_t solidEnd = 0;
      end = consumeComponent(in, next, closed, &solidEnd);
      reader.add(next, solidEnd);
      const TokenType after = in.peek().type;
      if (after == TokenType::Semicolon || after == TokenType::EndOfFile) break;
      next = in.take();
    }
    std::optional<Declaration> read;
    if (t.type == TokenType::Ident) read = reader.finish(text);
    if (read)
      declaration(*read);
    else
      other({t.begin, end});
  }
}

DeclarationList parseDeclarations(std::string_view text, Range block) {
  DeclarationList list;
  walkDeclarations(
      text, block, [&](const Declaration& d) { list.declarations.push_back(d); },
      [&](Range r) { list.others.push_back(r); });
  return list;
}

}  // namespace quillane::css
