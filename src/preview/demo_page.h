// The live view's demonstration page: the document's style applied to a
// page that shows everything the style can touch at once.
//
// The page holds paragraphs, the link in each of its four states side by
// side, the page body with its colours, background and scroll bars (the
// content is long enough to scroll), and for each enabled user class a text
// sample and an image sample (the picture "pal.png" of the preview folder).
//
// The style comes from the generator the document chooses (output_choice.h),
// so the view shows what today's browsers make of what "出力する" writes: the
// modern output in a standards-mode page, the legacy output in a page
// without a doctype, as the legacy pages are. Its state selectors are also
// given to demonstration classes, since a browser shows :visited, :active
// and :hover only on one link at a time and never all three together:
//   A:VISITED {      ->  A:VISITED, A.q-visited {
//   a:hover {        ->  a:hover, a.q-hover {
//
// The style and the body are kept apart, so that a change of the style
// alone can be applied to the page in place, without loading it again; and
// the style is cut into pieces of whole rules (stylePieces), each in its own
// <style> element, so that an edit replaces only the piece it changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/style_document.h"
#include "generation/engine_support.h"

namespace quillane {

// The demonstration classes of the link states, in the order the page shows
// the links: the plain link, then visited, active and hover.
inline constexpr std::string_view kDemoLinkClasses[] = {"q-link", "q-visited", "q-active", "q-hover"};

struct DemoPage {
  std::string style;  // the text of the page's one style element
  std::string body;   // what stands between <body> and </body>
  bool standardsMode = false;
  // A value the chosen generator refuses, in the words of the writers'
  // messages; the page is then empty.
  std::optional<std::string> refusal;

  bool ok() const { return !refusal; }
  // Whether `other` differs from this page only in its style.
  bool sameBody(const DemoPage& other) const { return body == other.body && standardsMode == other.standardsMode; }
};

// The demonstration page of `doc`. Values are checked as the style sheet's
// writer checks them (checkValues with Output::StyleRules) before anything
// is built.
DemoPage buildDemoPage(const StyleDocument& doc);

// The whole page as one text: a doctype in standards mode, a head holding
// the style, each of its stylePieces in a <style> element of its own, and
// the body. Text in the style that would close an element early ("</style")
// is escaped the way CSS reads it back unchanged ("<\/style").
std::string demoPageHtml(const DemoPage& page);

// `css` cut into pieces of whole rules that, each the text of its own
// <style> element in order, style a page as the whole text does: a cut
// falls only just before a rule with a block, so the pieces' rules are the
// rules of the whole and an @import after the first rule stays out of force
// as it is there. A style with @namespace, which holds only in its own
// sheet, stays whole. Pieces put together give `css` exactly; at most
// kMostStylePieces (rules are put together evenly past that); none for an
// empty text.
//   "@import url(a.css);\np {}\n@import url(b.css);\nq {}" -> {"@import url(a.css);\n", "p {}\n@import url(b.css);\n",
//   "q {}"}
inline constexpr std::size_t kMostStylePieces = 100;
std::vector<std::string_view> stylePieces(std::string_view css);

// The colour scheme a visitor's system prefers.
enum class PreferredScheme : std::uint8_t { Light, Dark };

// `css` as a browser whose visitor prefers `scheme` reads it, whatever the
// engine's own preference: in the media queries (of @media and @import,
// nested too), a (prefers-color-scheme: light) or (… dark) becomes a
// feature that always holds, (grid: 0), when it names `scheme`, and else one
// that never does, (grid: 1); a color-scheme declaration that offers both
// schemes offers only `scheme`. Nothing else changes.
//   "@media (prefers-color-scheme: dark) {"  Dark -> "@media (grid: 0) {", Light -> "@media (grid: 1) {"
//   ":root { color-scheme: light dark; }"    Dark -> ":root { color-scheme: dark; }"
std::string inPreferredScheme(std::string_view css, PreferredScheme scheme);

// Gives each state rule of `css` its demonstration class (see above). Only a
// line that is a whole selector line ("A:HOVER {", any case) is changed, or
// one indented two blanks in the modern output's dark block.
std::string withDemoLinkClasses(std::string_view css);

// The settings of `doc` that the legacy output writes and today's browsers
// ignore, in the words of the screen: the filters of the enabled classes,
// the scrollbar colours, and blink on the enabled tags. Empty when the
// document chooses the modern output, which writes them all in a form
// browsers apply.
//   {"クラス「強調」の「光る」", "「スクロールバー」タブの色", "「段落（<P>～</P>）」の「点滅（IEでは動作しません）」"}
std::vector<std::string> ignoredSettings(const StyleDocument& doc);

// The settings of `doc` that the modern output writes and `engine` does not
// show (engine_support.h), in the same words; empty for the legacy output.
std::vector<std::string> settingsNotShownBy(const StyleDocument& doc, Engine engine);

// The scrollbar colours `engine` shows when it leaves out one the user
// ticked, or nothing (and nothing for the legacy output):
//   Firefox: "「スクロールバー」タブの色は「メインの色」と「バックの色」の 2 色だけ"
std::string scrollbarColoursShownBy(const StyleDocument& doc, Engine engine);

// The line shown under the view. For the legacy output: the ignored
// settings and the choice that writes them for today's browsers. For the
// modern output, what each engine leaves out:
//   Firefox では「スクロールバー」タブの色は「メインの色」と「バックの色」の 2 色だけを表示します。
// Empty when every engine shows everything.
std::string ignoredSettingsLine(const StyleDocument& doc);

}  // namespace quillane
