// Rules and declarations of CSS Syntax Level 3, as browsers recover them.
//
// The parser keeps places, not copies: every rule and declaration says
// where it stands in the text, so what is not understood can be handed back
// exactly as written. Blocks are matched without recursion, so no nesting
// depth of the text can exhaust the stack.
//
//   "p { color: red }"  -> one qualified rule, prelude "p", block " color: red "
//   parseDeclarations(that block) -> color = "red"
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "css/css_tokenizer.h"

namespace quillane::css {

// A place in the text. 32 bits are enough: a style sheet is read only up
// to kMaxStyleBytes, and every other text is a block inside one. A sheet of
// a million small rules holds three places a rule.
struct Range {
  std::uint32_t begin = 0;
  std::uint32_t end = 0;
  constexpr Range() = default;
  constexpr Range(std::size_t from, std::size_t to)
      : begin(static_cast<std::uint32_t>(from)), end(static_cast<std::uint32_t>(to)) {}
  std::string_view of(std::string_view text) const { return text.substr(begin, end - begin); }
};
static_assert(kMaxStyleBytes < std::size_t{0xFFFFFFFF});

struct Rule {
  enum class Kind : std::uint8_t { Qualified, At };
  Range whole;    // its first token to the "}" or ";" that ends it, or the end of the text
  Range prelude;  // before the block (or the ";"), without blanks or comments around it
  Range block;    // between the braces
  Kind kind = Kind::Qualified;
  bool hasBlock = false;
  bool closed = true;  // ended by its "}" or ";" rather than the end of the text

  // An at-rule's name without "@", as written (escapes resolved), read
  // again from the text it was parsed from.
  std::string atName(std::string_view text) const;
};
static_assert(sizeof(Rule) <= 28);

struct Declaration {
  std::string name;  // as written, escapes resolved; compare with asciiLower
  Range whole;       // the name to the end of the value (with "!important"), before any ";"
  Range value;       // the value without blanks around it and without "!important"
  bool important = false;
};

// The content of a style rule's block.
struct DeclarationList {
  std::vector<Declaration> declarations;
  // Pieces that are not declarations: at-rules, nested rules, a name without
  // a colon. A browser drops or nests them; a rule that holds one is best
  // kept whole.
  std::vector<Range> others;
};

struct StyleSheet {
  std::vector<Rule> rules;
  std::vector<CommentRange> comments;  // every comment in the text, in order
};

// The rules of a whole style sheet. "<!--" and "-->" between rules are
// skipped, as in a style element; a qualified rule that the text ends
// before its block is dropped, as browsers drop it.
StyleSheet parseStyleSheet(std::string_view text);

// The rules inside a block (of @media, @supports and the like).
std::vector<Rule> parseRules(std::string_view text, Range block);

// Walks the rules inside `block` and, where `enter` says so, the rules
// inside theirs, in the order of the text, in one pass and without
// recursion: the cost is linear in the text, whatever its nesting.
// `enter` is asked about each at-rule with a block before the block is read
// (its `whole` then ends at the "{" and its `block` is empty); answering
// true walks the rules of that block next, as parseRules would read them.
// Every other rule goes to `visit`, whole.
//   "@media a { p {} @media b { q {} } } r {}" entering @media: p, q, r
void walkRules(std::string_view text, Range block, const std::function<bool(const Rule&)>& enter,
               const std::function<void(const Rule&)>& visit);

// The declarations inside a block. A declaration holds places only, so a
// value of any length costs the same.
DeclarationList parseDeclarations(std::string_view text, Range block);

// The same, one piece at a time, held nowhere: a block of a million
// declarations costs no list of them.
void walkDeclarations(std::string_view text, Range block, const std::function<void(const Declaration&)>& declaration,
                      const std::function<void(Range)>& other);

}  // namespace quillane::css
