// The live view's demonstration page: the link states side by side, the
// classes' samples, the generator the document chooses, and the settings
// today's browsers ignore.
#include "preview/demo_page.h"

#include <gtest/gtest.h>

#include "generation/modern_stylesheet.h"
#include "generation/stylesheet_text.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::crlf;

// Counts the times `part` stands in `text`.
int occurrences(std::string_view text, std::string_view part) {
  int n = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

StyleDocument withLinkStates() {
  StyleDocument doc;
  // The modern output leaves out a rule with nothing in it: each gets a colour.
  for (int slot : {kSlotA, kSlotVisited, kSlotActive, kSlotHover}) {
    doc.slots[static_cast<std::size_t>(slot)].enabled = 1;
    doc.colours[static_cast<std::size_t>(foreColourIndex(slot))] = "66339" + std::to_string(slot);
  }
  return doc;
}

TEST(DemoLinkClasses, EachStateRuleAlsoStylesItsDemonstrationClass) {
  const std::string legacy = crlf({"A {", "}", "A:VISITED {", "}", "A:HOVER {", "}", "A:ACTIVE {", "}"});
  EXPECT_BYTES(
      crlf({"A {", "}", "A:VISITED, A.q-visited {", "}", "A:HOVER, A.q-hover {", "}", "A:ACTIVE, A.q-active {", "}"}),
      withDemoLinkClasses(legacy));
  EXPECT_BYTES("a:visited, a.q-visited {\na:hover, a.q-hover {\na:active, a.q-active {",
               withDemoLinkClasses("a:visited {\na:hover {\na:active {"));
  // And in the dark variant's block, where the visitor who prefers dark pages sees them.
  EXPECT_BYTES(crlf({"@media (prefers-color-scheme: dark) {", "  a:hover, a.q-hover {", "    color: #FF9DBD;", "  }",
                     "  A:ACTIVE, A.q-active {", "}", "  a:visited {"}),
               withDemoLinkClasses(crlf({"@media (prefers-color-scheme: dark) {", "  a:hover {", "    color: #FF9DBD;",
                                         "  }", "  A:ACTIVE {", "}", "  a:visited {"})));
}

TEST(DemoLinkClasses, OnlyWholeSelectorLinesChange) {
  const std::string untouched =
      crlf({".a:hover {", "A:HOVERED {", "  A:HOVER {", "A:HOVER{", "  content: \"A:HOVER {\";", "A:LINK {"}, false);
  EXPECT_BYTES(untouched, withDemoLinkClasses(untouched));
  EXPECT_BYTES("", withDemoLinkClasses(""));
}

TEST(DemoPage, ShowsTheFourLinkStatesAtOnceInBothOutputs) {
  StyleDocument doc = withLinkStates();
  const std::pair<int, std::vector<std::string>> kExpected[] = {
      {0, {"A:VISITED, A.q-visited {", "A:HOVER, A.q-hover {", "A:ACTIVE, A.q-active {"}},
      {1, {"a:visited, a.q-visited {", "a:hover, a.q-hover {", "a:active, a.q-active {"}}};
  for (const auto& [modern, selectors] : kExpected) {
    doc.output.modern = modern;
    const DemoPage page = buildDemoPage(doc);
    ASSERT_TRUE(page.ok()) << *page.refusal;
    for (const std::string& selector : selectors) EXPECT_EQ(occurrences(page.style, selector), 1) << selector;
    for (std::string_view cls : kDemoLinkClasses)
      EXPECT_EQ(occurrences(page.body, "<a class=\"" + std::string(cls) + "\""), 1) << cls;
  }
}

TEST(DemoPage, EachEnabledClassHasATextAndAnImageSample) {
  StyleDocument doc;
  doc.classes[0].className = "強調";
  doc.classes[0].enabled = 1;
  doc.classes[1].className = "off";
  doc.classes[2].className = "photo";
  doc.classes[2].enabled = 1;
  doc.classes[2].target = Choice::Second;
  const DemoPage page = buildDemoPage(doc);
  ASSERT_TRUE(page.ok());
  for (std::string name : {"強調", "photo"}) {
    EXPECT_EQ(occurrences(page.body, "<p class=\"" + name + "\">"), 1) << name;
    EXPECT_EQ(occurrences(page.body, "<img class=\"" + name + "\" src=\"pal.png\""), 1) << name;
  }
  EXPECT_EQ(occurrences(page.body, "\"off\""), 0);
  EXPECT_LT(page.body.find("強調"), page.body.find("photo"));
  // Long enough to scroll whatever the style.
  EXPECT_GE(occurrences(page.body, "<br>"), 54);
}

TEST(DemoPage, LegacyStyleInAPageWithoutDoctypeModernInStandardsMode) {
  StyleDocument doc = withLinkStates();
  doc.slots[kSlotBody].enabled = 1;
  doc.classes[0].enabled = 1;
  doc.classes[0].glowOn = 1;

  const DemoPage legacy = buildDemoPage(doc);
  EXPECT_FALSE(legacy.standardsMode);
  EXPECT_BYTES(withDemoLinkClasses(buildStyleSheet(doc).text), legacy.style);
  EXPECT_TRUE(demoPageHtml(legacy).starts_with("<html lang=\"ja\">"));

  doc.output.modern = 1;
  const DemoPage modern = buildDemoPage(doc);
  std::string rules;
  ASSERT_FALSE(appendModernStyleRules(doc, rules));
  EXPECT_TRUE(modern.standardsMode);
  EXPECT_BYTES(withDemoLinkClasses(rules), modern.style);
  EXPECT_EQ(modern.style.find("@charset"), std::string::npos);  // an element's text has no charset rule
  EXPECT_TRUE(demoPageHtml(modern).starts_with("<!DOCTYPE html>\n<html lang=\"ja\">"));
}

TEST(DemoPage, TheBodyChangesOnlyWithTheClassesAndTheOutputChoice) {
  StyleDocument doc = withLinkStates();
  const DemoPage before = buildDemoPage(doc);
  doc.colours[0] = "FF0000";
  doc.slots[kSlotP].enabled = 1;
  doc.classes[3].glowOn = 1;
  const DemoPage styled = buildDemoPage(doc);
  EXPECT_NE(before.style, styled.style);
  EXPECT_TRUE(before.sameBody(styled));

  doc.classes[3].enabled = 1;
  EXPECT_FALSE(styled.sameBody(buildDemoPage(doc)));
  doc.classes[3].enabled = 0;
  doc.output.modern = 1;
  EXPECT_FALSE(styled.sameBody(buildDemoPage(doc)));
}

TEST(DemoPage, RefusedValuesShowTheWritersMessageAndNoPage) {
  StyleDocument doc;
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].fontName = "Arial\"; } body {";
  const DemoPage refused = buildDemoPage(doc);
  ASSERT_TRUE(refused.refusal);
  EXPECT_NE(refused.refusal->find("フォント名"), std::string::npos) << *refused.refusal;
  EXPECT_TRUE(refused.body.empty());

  StyleDocument filter;
  filter.classes[0].enabled = 1;
  filter.classes[0].glowOn = 1;
  filter.classes[0].glowStrength = "abc";
  const BuiltText sheet = buildStyleSheet(filter);
  ASSERT_FALSE(sheet.ok());
  EXPECT_EQ(buildDemoPage(filter).refusal, sheet.error->describe());
  filter.output.modern = 1;
  EXPECT_TRUE(buildDemoPage(filter).refusal);
}

TEST(DemoPage, EachPieceOfTheStyleHasItsElementWhichItCannotClose) {
  DemoPage page;
  page.style = "p { content: \"</style><script>\"; }\nq {}";
  page.body = "<p>x</p>\n";
  EXPECT_BYTES(
      "<html lang=\"ja\">\n<head>\n<meta charset=\"UTF-8\">\n<title>ライブビュー</title>\n"
      "<style>p { content: \"<\\/style><script>\"; }\n</style>\n<style>q {}</style>\n</head>\n<body>\n<p>x</p>\n"
      "</body>\n</html>\n",
      demoPageHtml(page));
}

// Each row: a style and its pieces. A piece begins only at a rule with a
// block that the whole text also reads as a rule.
TEST(StylePieces, CutJustBeforeEachRuleWithABlock) {
  const struct {
    std::string css;
    std::vector<std::string_view> pieces;
  } kRows[] = {
      {"", {}},
      {"p {}", {"p {}"}},
      // An @import after a rule stays out of force: it never begins a piece.
      {"@import url(a.css);\np {}\n@import url(b.css);\nq {}",
       {"@import url(a.css);\n", "p {}\n@import url(b.css);\n", "q {}"}},
      {"/* head */\np { a: b }\n/* c */ @media print { q { x: y } }\n",
       {"/* head */\np { a: b }\n/* c */ ", "@media print { q { x: y } }\n"}},
      // Braces in strings, functions and escapes close nothing.
      {"p { content: \"}\"; b: f(}) \\} }\nq {}", {"p { content: \"}\"; b: f(}) \\} }\n", "q {}"}},
      // A stray brace starts a rule that is dropped, in its piece as in the whole.
      {"p {}\n} q { a: b }\nr {}", {"p {}\n", "} q { a: b }\n", "r {}"}},
      {"p {} q", {"p {} q"}},
      {"@layer a;\n@font-face { font-family: x }\n", {"@layer a;\n", "@font-face { font-family: x }\n"}},
      // A namespace holds only in its own sheet.
      {"@namespace s url(x);\np {}\ns|a {}", {"@namespace s url(x);\np {}\ns|a {}"}},
      {"p {}\n@NameSpace s url(x);\nq {}", {"p {}\n@NameSpace s url(x);\nq {}"}},
  };
  for (const auto& row : kRows) EXPECT_EQ(stylePieces(row.css), row.pieces) << row.css;
}

TEST(StylePieces, ManyRulesArePutTogetherEvenly) {
  std::string css;
  for (int k = 0; k < 250; ++k) css += "p{}";
  const std::vector<std::string_view> pieces = stylePieces(css);
  // 249 cuts, every third taken: 83 pieces of three rules and the last one.
  ASSERT_EQ(pieces.size(), 84u);
  EXPECT_EQ(pieces.front(), "p{}p{}p{}");
  EXPECT_EQ(pieces.back(), "p{}");
  std::string joined;
  for (std::string_view piece : pieces) joined += piece;
  EXPECT_BYTES(css, joined);
}

// Each row: a style, then as a visitor who prefers light and dark reads it.
TEST(PreferredScheme, MediaQueriesAndColorSchemeFollowTheChosenScheme) {
  const struct {
    std::string css, light, dark;
  } kRows[] = {
      {"@media (prefers-color-scheme: dark) {\r\n  p { color: #FFF; }\r\n}\r\n",
       "@media (grid: 1) {\r\n  p { color: #FFF; }\r\n}\r\n", "@media (grid: 0) {\r\n  p { color: #FFF; }\r\n}\r\n"},
      {"@media screen and ( PREFERS-color-scheme : /* c */ Light ) { }", "@media screen and (grid: 0) { }",
       "@media screen and (grid: 1) { }"},
      {"@supports (color: red) { @media print, (prefers-color-scheme: dark) { q {} } }",
       "@supports (color: red) { @media print, (grid: 1) { q {} } }",
       "@supports (color: red) { @media print, (grid: 0) { q {} } }"},
      {"@import url(d.css) (prefers-color-scheme: dark);", "@import url(d.css) (grid: 1);",
       "@import url(d.css) (grid: 0);"},
      {":root {\r\n  color-scheme: light dark;\r\n}", ":root {\r\n  color-scheme: light;\r\n}",
       ":root {\r\n  color-scheme: dark;\r\n}"},
      {"html { Color-Scheme: dark light !important }", "html { Color-Scheme: light !important }",
       "html { Color-Scheme: dark !important }"},
      // What offers one scheme, or is not a media query, stays.
      {"html { color-scheme: dark } p { content: \"(prefers-color-scheme: dark)\" }", "", ""},
      {"/* @media (prefers-color-scheme: dark) { */ @media (prefers-color-scheme) {}", "", ""},
      {"@media (prefers-color-scheme: dim) {} @page { color-scheme: light dark }", "", ""},
  };
  for (const auto& row : kRows) {
    EXPECT_BYTES(row.light.empty() ? row.css : row.light, inPreferredScheme(row.css, PreferredScheme::Light));
    EXPECT_BYTES(row.dark.empty() ? row.css : row.dark, inPreferredScheme(row.css, PreferredScheme::Dark));
  }
}

TEST(IgnoredSettings, ListsWhatTheLegacyOutputWritesAndBrowsersIgnore) {
  StyleDocument doc;
  doc.classes[0].className = "強調";
  doc.classes[0].enabled = 1;
  doc.classes[0].alphaOn = 1;
  doc.classes[0].glowOn = 1;
  doc.classes[1].glowOn = 1;  // a class not written
  doc.classes[2].className = "spe";
  doc.classes[2].enabled = 1;
  doc.classes[2].specialOn = 1;
  doc.scrollbarCheck(12) = 1;
  doc.scrollbarCheck(14) = 1;
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].blink = 1;
  doc.slots[kSlotA].blink = 1;  // a tag not written
  EXPECT_EQ(ignoredSettings(doc),
            (std::vector<std::string>{"クラス「強調」の「半透明にする」", "クラス「強調」の「光る」",
                                      "クラス「spe」の「スペシャル」", "「スクロールバー」タブの色",
                                      "「段落（<P>～</P>）」の「点滅（IEでは動作しません）」"}));
  const std::string line = ignoredSettingsLine(doc);
  EXPECT_NE(line.find("クラス「強調」の「半透明にする」、クラス「強調」の「光る」、"), std::string::npos) << line;
  EXPECT_NE(line.find("「出力」タブの「今のブラウザ向けに書き出す」をチェック"), std::string::npos) << line;

  // The modern output: what each engine leaves out, from the engine table.
  doc.output.modern = 1;
  EXPECT_TRUE(ignoredSettings(doc).empty());
  for (const Engine e : {Engine::Chromium, Engine::Firefox, Engine::WebKit})
    EXPECT_TRUE(settingsNotShownBy(doc, e).empty());
  EXPECT_EQ(ignoredSettingsLine(doc),
            "Firefox では「スクロールバー」タブの色は「メインの色」と「バックの色」の 2 色だけを表示します。");
  // The two colours Firefox draws, alone, show everywhere.
  doc.scrollbarCheck(14) = 0;
  doc.scrollbarCheck(17) = 1;
  EXPECT_EQ(ignoredSettingsLine(doc), "");
  EXPECT_EQ(ignoredSettingsLine(StyleDocument{}), "");
}

}  // namespace
}  // namespace quillane
