// The CSS tokenizer and parser against the rules of CSS Syntax Level 3:
// each row is a text and what a browser reads in it, worked out from the
// rules by hand.
#include <gtest/gtest.h>

#include <string>

#include "css/css_parser.h"
#include "css/css_tokenizer.h"

namespace quillane::css {
namespace {

// "ident(color) : ws" - each token's kind and, where it has one, its value.
std::string shownTokens(std::string_view text) {
  std::string out;
  for (const Token& t : tokenize(text)) {
    if (t.type == TokenType::EndOfFile) break;
    if (!out.empty()) out += ' ';
    const std::string value = tokenValue(text, t);
    switch (t.type) {
      case TokenType::Ident:
        out += "ident(" + value + ")";
        break;
      case TokenType::Function:
        out += "fn(" + value + ")";
        break;
      case TokenType::AtKeyword:
        out += "@(" + value + ")";
        break;
      case TokenType::Hash:
        out += (t.idHash ? "id#(" : "#(") + value + ")";
        break;
      case TokenType::String:
        out += "str(" + value + ")";
        break;
      case TokenType::BadString:
        out += "bad-str";
        break;
      case TokenType::Url:
        out += "url(" + value + ")";
        break;
      case TokenType::BadUrl:
        out += "bad-url";
        break;
      case TokenType::Delim:
        out += "delim(" + value + ")";
        break;
      case TokenType::Number:
        out += "num(" + std::string(tokenText(text, t)) + (t.integer ? ",int)" : ")");
        break;
      case TokenType::Percentage:
        out += "pct(" + std::string(tokenText(text, t)) + ")";
        break;
      case TokenType::Dimension:
        out += "dim(" + std::string(tokenText(text, t)) + "," + value + ")";
        break;
      case TokenType::Whitespace:
        out += "ws";
        break;
      case TokenType::Cdo:
        out += "<!--";
        break;
      case TokenType::Cdc:
        out += "-->";
        break;
      case TokenType::Colon:
        out += ":";
        break;
      case TokenType::Semicolon:
        out += ";";
        break;
      case TokenType::Comma:
        out += ",";
        break;
      case TokenType::LeftSquare:
        out += "[";
        break;
      case TokenType::RightSquare:
        out += "]";
        break;
      case TokenType::LeftParen:
        out += "(";
        break;
      case TokenType::RightParen:
        out += ")";
        break;
      case TokenType::LeftCurly:
        out += "{";
        break;
      case TokenType::RightCurly:
        out += "}";
        break;
      case TokenType::EndOfFile:
        break;
    }
  }
  return out;
}

TEST(CssTokens, FollowTheSyntaxRules) {
  struct Case {
    std::string_view text;
    std::string_view tokens;
  } const cases[] = {
      {"p{color:red}", "ident(p) { ident(color) : ident(red) }"},
      {"/* a */p/**/ /* open", "ident(p) ws"},
      // Escapes: hexadecimal with one blank eaten, any other character as itself.
      {"c\\6f lor \\31 st \\.x", "ident(color) ws ident(1st) ws ident(.x)"},
      {"\\0 \\110000 \\D800 ", "ident(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD)"},
      {"\\\n", "delim(\\) ws"},
      {"'a\\'b' \"x\\\ny\" 'end", "str(a'b) ws str(xy) ws str(end)"},
      // A newline cuts a string; the newline stays outside it.
      {"'ab\ncd'", "bad-str ws ident(cd) str()"},
      {"url(a.png) URL( b c ) url('q') url(a\"b) url(a\\)b) url(x",
       "url(a.png) ws bad-url ws fn(url) str(q) ) ws bad-url ws url(a)b) ws url(x)"},
      {"url(a b)c", "bad-url ident(c)"},
      {"#a1 #1a #-x # x", "id#(a1) ws #(1a) ws id#(-x) ws delim(#) ws ident(x)"},
      {"12 +1.5 -.5e2 10% 12px 1e3em 1.em",
       "num(12,int) ws num(+1.5) ws num(-.5e2) ws pct(10%) ws dim(12px,px) ws dim(1e3em,em) ws num(1,int) delim(.) "
       "ident(em)"},
      {"-- --x -x -1 ->", "ident(--) ws ident(--x) ws ident(-x) ws num(-1,int) ws delim(-) delim(>)"},
      {"<!-- --> <!- @media @ @-x", "<!-- ws --> ws delim(<) delim(!) delim(-) ws @(media) ws delim(@) ws @(-x)"},
      {"a\r\nb\fc", "ident(a) ws ident(b) ws ident(c)"},
      {"\xE3\x83\xA1\xE3\x82\xA4\xE3\x83\xAA\xE3\x82\xAA x\x80y", "ident(メイリオ) ws ident(x\xEF\xBF\xBDy)"},
      {std::string_view("a\0b", 3),
       "ident(a\xEF\xBF\xBD"
       "b)"},
      {"!important;,[]()", "delim(!) ident(important) ; , [ ] ( )"},
  };
  for (const auto& c : cases) EXPECT_EQ(shownTokens(c.text), c.tokens) << c.text;
}

// Rules, and in each the declarations of its block: "p{color=red|margin=0!}"
// ("!" marks !important, "?" a piece that is not a declaration, "~" a rule
// the text ended inside).
std::string shownRules(std::string_view text, const std::vector<Rule>& rules) {
  std::string out;
  for (const Rule& r : rules) {
    if (!out.empty()) out += ' ';
    out += r.kind == Rule::Kind::At ? "@" + r.atName(text) + (r.prelude.begin < r.prelude.end ? " " : "") : "";
    out += r.prelude.of(text);
    if (!r.hasBlock) {
      out += r.closed ? ";" : "~";
      continue;
    }
    out += '{';
    const std::string name = asciiLower(r.atName(text));
    if (r.kind == Rule::Kind::At && (name == "media" || name == "supports")) {
      out += shownRules(text, parseRules(text, r.block));
    } else {
      const DeclarationList list = parseDeclarations(text, r.block);
      std::string inner;
      for (const Declaration& d : list.declarations) {
        inner += (inner.empty() ? "" : "|") + d.name + "=" + std::string(d.value.of(text)) + (d.important ? "!" : "");
      }
      for (const Range& other : list.others) inner += (inner.empty() ? "?" : "|?") + std::string(other.of(text));
      out += inner;
    }
    out += r.closed ? "}" : "~";
  }
  return out;
}

TEST(CssRules, RecoverAsBrowsersDo) {
  struct Case {
    std::string_view text;
    std::string_view rules;
  } const cases[] = {
      {"p { color : red ; margin:0 }", "p{color=red|margin=0}"},
      {"P, A:hover {color:red!important; x: y ! IMPORTANT}", "P, A:hover{color=red!|x=y!}"},
      // Comments and blanks around a value are not part of it; inside, they are.
      {"p{color:/*c*/red /*d*/ blue/**/;}", "p{color=red /*d*/ blue}"},
      {"p{color:}", "p{color=}"},
      // A name without a colon is dropped up to the next semicolon.
      {"p{Width=100%; Filter: Alpha(opacity=50) Gray}", "p{Filter=Alpha(opacity=50) Gray|?Width=100%}"},
      {"p{;;color:red;;}", "p{color=red}"},
      // A semicolon inside a block or function does not end the declaration.
      {"p{a:f(;);b:[;]}", "p{a=f(;)|b=[;]}"},
      // An unclosed block runs to the end of the text and still counts.
      {"p{color:red", "p{color=red~"},
      {"p{a:(;} q{b:c}", "p{a=(;} q{b:c}~"},
      // A rule the text ends before its block is dropped.
      {"p{} q", "p{}"},
      {"p{} }q{} r{}", "p{} }q{} r{}"},
      // Bad strings and urls end a value where the syntax says.
      {"p{a:'x\n;b:c}", "p{a='x|b=c}"},
      {"p{a:url(x y);b:c}", "p{a=url(x y)|b=c}"},
      {"p{a:url(x;y);b:c}", "p{a=url(x;y)|b=c}"},
      // At-rules: with a block, with a semicolon, nested, and in a style block.
      {"@import url(a.css) screen; p{}", "@import url(a.css) screen; p{}"},
      {"@charset \"UTF-8\";@media screen{p{a:b}@media print{q{c:d}}}",
       "@charset \"UTF-8\"; @media screen{p{a=b} @media print{q{c=d}}}"},
      {"@font-face{font-family:x;src:url(a.woff)}", "@font-face{font-family=x|src=url(a.woff)}"},
      {"@keyframes k{50%{opacity:0}}", "@keyframes k{?50%{opacity:0}}"},
      {"p{color:red;@media x{q{}}b:c}", "p{color=red|b=c|?@media x{q{}}}"},
      {"@media x{p{a:b}", "@media x{p{a=b}~"},
      {"@import 'a.css'", "@import 'a.css'~"},
      // Nested style rules: a browser that nests reads them as rules; kept whole.
      {"p{color:red;.x{b:c}}", "p{color=red|?.x{b:c}}"},
      {"<!-- p{a:b} --> q{c:d}", "p{a=b} q{c=d}"},
      {"@media x{<!-- p{}}", "@media x{<!-- p{}}"},
  };
  for (const auto& c : cases) {
    const StyleSheet sheet = parseStyleSheet(c.text);
    EXPECT_EQ(shownRules(c.text, sheet.rules), c.rules) << c.text;
  }
}

TEST(CssRules, PlacesCoverTheRuleAsWritten) {
  const std::string_view text = " /*x*/ p , a { color : red ; } @media s { q {} } ";
  const StyleSheet sheet = parseStyleSheet(text);
  ASSERT_EQ(sheet.rules.size(), 2u);
  EXPECT_EQ(sheet.rules[0].whole.of(text), "p , a { color : red ; }");
  EXPECT_EQ(sheet.rules[1].whole.of(text), "@media s { q {} }");
  EXPECT_EQ(sheet.rules[0].block.of(text), " color : red ; ");
  const DeclarationList list = parseDeclarations(text, sheet.rules[0].block);
  ASSERT_EQ(list.declarations.size(), 1u);
  EXPECT_EQ(list.declarations[0].whole.of(text), "color : red");
  ASSERT_EQ(sheet.comments.size(), 1u);
  EXPECT_EQ(text.substr(sheet.comments[0].begin, sheet.comments[0].end - sheet.comments[0].begin), "/*x*/");
}

// Walking into @media and @supports: the rules of their blocks, at any
// depth, as parseRules reads each block.
TEST(CssRules, WalkReadsNestedRulesAsTheirBlocksHoldThem) {
  struct Case {
    std::string_view text;
    std::string_view rules;  // each rule visited, one a line
  } const cases[] = {
      {"@media a { p {x:y} @media b { q {} } } r {}", "p{x=y}\nq{}\nr{}"},
      // Other at-rules are visited whole.
      {"@media a{@font-face{a:b}@import x;}", "@font-face{a=b}\n@import x;"},
      // A block's "}" ends a rule not finished, as the end of its text would.
      {"@media a { p } q {}", "q{}"},
      {"@supports (a:b) { @import x } p{}", "@import x~\np{}"},
      {"@media a{p{x:y", "p{x=y~"},
      // A "}" inside brackets belongs to them.
      {"@media a { p[}] {} }", "p[}]{}"},
  };
  for (const Case& c : cases) {
    std::string visited;
    const auto enter = [&](const Rule& r) { return r.atName(c.text) == "media" || r.atName(c.text) == "supports"; };
    walkRules(c.text, {0, c.text.size()}, enter,
              [&](const Rule& r) { visited += (visited.empty() ? "" : "\n") + shownRules(c.text, {r}); });
    EXPECT_EQ(visited, c.rules) << c.text;
  }
}

TEST(CssRules, DeepNestingAndLargeTextsStayBounded) {
  std::string deep = "p{a:";
  deep.append(200000, '(');
  deep += "}q{b:c}";
  const StyleSheet sheet = parseStyleSheet(deep);
  ASSERT_EQ(sheet.rules.size(), 1u);  // the parentheses swallow the rest, as in a browser
  EXPECT_FALSE(sheet.rules[0].closed);
  EXPECT_EQ(parseDeclarations(deep, sheet.rules[0].block).declarations.size(), 1u);

  // Blocks opened to any depth, in one pass without recursion.
  std::string nested;
  for (int k = 0; k < 200000; ++k) nested += "@media a{";
  nested += "p{b:c}";
  int entered = 0;
  std::string visited;
  walkRules(
      nested, {0, nested.size()}, [&](const Rule&) { return ++entered > 0; },
      [&](const Rule& r) { visited += shownRules(nested, {r}); });
  EXPECT_EQ(entered, 200000);
  EXPECT_EQ(visited, "p{b=c}");

  const std::string tooLarge(kMaxStyleBytes + 1, ' ');
  EXPECT_TRUE(parseStyleSheet(tooLarge).rules.empty());
}

}  // namespace
}  // namespace quillane::css
