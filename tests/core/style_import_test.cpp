// Importing style sheets: this program's own outputs come back byte for
// byte, hand-written sheets go into the form only where the modern output
// styles a page the same way, the rest is kept in order, and the kept text
// survives a settings file.
#include "importing/style_import.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "generation/colour_scheme.h"
#include "generation/modern_filters.h"
#include "generation/modern_stylesheet.h"
#include "generation/output_choice.h"
#include "generation/value_checks.h"
#include "linking/filter_block.h"
#include "persistence/kept_style_line.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::cp932;
using testing::crlf;

// --- Documents of every kind, for the round trips ----------------------------

StyleDocument workedExample() {
  StyleDocument doc;
  TagSlot& p = doc.slots[kSlotP];
  p.enabled = 1;
  doc.colours[0] = "FF0000";
  p.underline = 1;
  p.fontName = "Arial";
  p.fontSize = "12";
  UserClass& c = doc.classes[0];
  c.enabled = c.glowOn = 1;
  c.glowColor = "FF0000";
  return doc;
}

StyleDocument everySlotAndEffect() {
  StyleDocument doc;
  const char* fonts[] = {"メイリオ", "ＭＳ 明朝", "Courier New", "serif", "Comic Sans", "ヒラギノ角ゴ"};
  const char* cursors[] = {"自動", "リンク", "サイズ変更　左上-右下", "ヘルプ", "十字", "通常"};
  const char* units[] = {"ピクセル", "ポイント", "インチ", "ミリメートル", "センチメートル", "ピクセル"};
  for (std::size_t i = 0; i < kTagSlotCount; ++i) {
    TagSlot& s = doc.slots[i];
    s.enabled = 1;
    s.fontName = fonts[i];
    s.fontSize = std::to_string(10 + i);
    s.sizeUnit = units[i];
    s.cursorLabel = cursors[i];
    s.weight = i % 2 == 0 ? "700" : "bold";
    s.underline = s.italic = i % 2 == 0 ? 1 : 0;
    s.overline = s.lineThrough = i % 3 == 0 ? 1 : 0;
    s.blink = i == 4 ? 1 : 0;
    s.useImage = i == 5 || i == 0 ? Choice::First : Choice::Second;
    s.imagePath = "bg " + std::to_string(i) + ".png";
  }
  doc.fixedBackground = 1;
  for (int k = 0; k < kColourBoxCount; ++k) doc.colours[static_cast<std::size_t>(k)] = k % 2 ? "12AB34" : "f0c";
  for (auto& on : doc.scrollbarEnabled) on = 1;
  for (std::size_t c = 0; c < kUserClassCount; ++c) {
    UserClass& u = doc.classes[c];
    u.enabled = 1;
    u.target = c % 2 == 0 ? Choice::First : Choice::Second;
    u.alphaOn = c == 0 || c == 3;
    u.moveOpacitySlider(30);
    u.chromaOn = c == 1;
    u.chromaColor = "00FF80";
    u.blurOn = c == 2 || c == 3;
    u.blurDirection = "135";
    u.waveOn = c == 4;
    u.waveOverlay = Choice::First;
    u.flipOn = c == 0 || c == 5;
    u.flipHorizontal = 1;
    u.flipVertical = c == 5;
    u.glowOn = c == 0 || c == 1;
    u.toneOn = c == 2;
    u.invert = u.xray = u.gray = 1;
    u.shadowOn = c == 3 || c == 4;
    u.shadowDirection = "225";
    u.specialOn = c == 5;
    u.specialColor1 = "3366CC";
  }
  doc.classes[1].className = "見出し";
  doc.output.htmlTitle = "見本 & <テスト>";
  return doc;
}

// What the legacy writers let through: empty values, blanks inside values,
// labels outside the lists, numbers in odd forms, BODY off with a scrollbar.
StyleDocument legacyOddities() {
  StyleDocument doc;
  TagSlot& a = doc.slots[kSlotA];
  a.enabled = 1;
  a.fontSize = "1.5";
  a.sizeUnit = "em";
  a.cursorLabel = "grab";
  a.fontName = "Times New Roman";
  a.weight = " 600 ";
  doc.colours[1] = "FF 00";
  a.useImage = Choice::First;  // an empty path
  doc.slots[kSlotHover].enabled = 1;
  doc.slots[kSlotHover].sizeUnit = "";
  doc.slots[kSlotHover].cursorLabel = "";
  doc.scrollbarCheck(11) = doc.scrollbarCheck(17) = 1;
  doc.colours[17] = "";
  UserClass& c = doc.classes[2];
  c.enabled = 1;
  c.className = "a-b_c";
  c.target = Choice::Second;
  c.blurOn = c.waveOn = c.glowOn = c.shadowOn = c.specialOn = c.alphaOn = c.chromaOn = 1;
  c.blurDirection = "-45";
  c.blurStrength = "007";
  c.waveFreq = "2.50";
  c.glowColor = "red";
  c.moveOpacitySlider(0);
  c.chromaColor = "";
  c.specialStrength = "x y";
  doc.classes[4].enabled = 1;  // no filter ticked
  doc.output.htmlTitle = "";
  return doc;
}

StyleDocument bodyWithScrollbar() {
  StyleDocument doc;
  doc.slots[kSlotBody].enabled = 1;
  doc.colours[18] = "333333";
  for (int k = 11; k <= 17; k += 2) doc.scrollbarCheck(k) = 1;
  doc.colours[12] = "BFBFBF";
  doc.scrollbarCheck(12) = 1;
  doc.output.htmlSample = 0;
  return doc;
}

// Gradients on every slot and the dark variant "自動で作る" makes, over
// every slot and effect: the dark block holds slot, class and scrollbar rules.
StyleDocument darkAndGradients() {
  StyleDocument doc = everySlotAndEffect();
  for (std::size_t i = 0; i < kTagSlotCount; ++i)
    doc.gradients[i] = {i % 2 == 0 ? GradientKind::Linear : GradientKind::Radial,
                        i == 2 ? "" : std::to_string(45 * i),
                        {"336699", i % 3 == 0 ? "FFCC00" : ""},
                        {}};
  doc.classes[3].shadowColor = "FFFFFF";
  deriveDarkVariant(doc);
  doc.dark.enabled = 1;
  doc.dark.colours[13] = "";  // one colour left to the light one
  return doc;
}

std::string bytesOf(const OutputText& out) {
  EXPECT_TRUE(out.ok()) << *out.refusal;
  std::string bytes;
  UnencodableCharacter bad;
  EXPECT_TRUE(encodeOutput(out, bytes, bad)) << bad.describe();
  return bytes;
}

TEST(StyleImport, OwnOutputsComeBackByteForByte) {
  struct Case {
    std::string name;
    StyleDocument doc;
    bool modernToo;
  };
  std::vector<Case> cases = {
      {"defaults", StyleDocument(), true},
      {"worked example", workedExample(), true},
      {"every slot and effect", everySlotAndEffect(), true},
      {"legacy oddities", legacyOddities(), false},
      {"BODY with scrollbar", bodyWithScrollbar(), true},
      {"dark variant and gradients", darkAndGradients(), true},
  };
  // And the samples that come with the program, as users start from them.
  for (const auto& entry : std::filesystem::directory_iterator(QUILLANE_SAMPLE_FOLDER)) {
    StyleDocument doc;
    ASSERT_TRUE(loadSettings(doc, Layout::Sample, testing::fileBytes(entry.path())).ok());
    cases.push_back({entry.path().filename().string(), doc, true});
  }
  for (const Case& c : cases) {
    for (const bool modern : {false, true}) {
      if (modern && !c.modernToo) continue;
      for (const bool page : {false, true}) {
        SCOPED_TRACE(std::string(c.name) + (modern ? ", modern" : ", legacy") + (page ? ", page" : ", sheet"));
        StyleDocument doc = c.doc;
        doc.output.modern = modern ? 1 : 0;
        const std::string bytes = bytesOf(page ? embeddedPageOutput(doc) : styleSheetOutput(doc));
        const ImportResult imported = importStyle(bytes, page);
        ASSERT_TRUE(imported.ok());
        EXPECT_EQ(imported.legacy, !modern);
        EXPECT_EQ(imported.document.output.modern, modern ? 1 : 0);
        EXPECT_EQ(imported.document.keptStyle, "");
        const StyleDocument& back = imported.document;
        EXPECT_BYTES(bytes, bytesOf(page ? embeddedPageOutput(back) : styleSheetOutput(back)));
        // And again after a settings file.
        StyleDocument stored;
        ASSERT_TRUE(loadSettings(stored, Layout::Settings, cp932(settingsFileText(back, Layout::Settings))).ok());
        stored.output = back.output;
        EXPECT_BYTES(bytes, bytesOf(page ? embeddedPageOutput(stored) : styleSheetOutput(stored)));
      }
    }
  }
}

TEST(StyleImport, TextAfterTheOwnRulesIsKeptExactly) {
  StyleDocument doc = workedExample();
  // An SVG filter: the modern sheet ends with their comment, after the kept text.
  doc.classes[0].chromaOn = 1;
  doc.classes[0].chromaColor = "00FF00";
  for (const bool modern : {false, true}) {
    doc.output.modern = modern;
    const std::string added = "@media print {\r\n  P { color: black }\r\n}\r\n/* 手で足した */\r\n";
    std::string bytes = bytesOf(styleSheetOutput(doc));
    bytes.insert(modern ? bytes.find("/* quillane-svg-filters") : bytes.size(), modern ? added : cp932(added));
    const ImportResult imported = importStyle(bytes, false);
    EXPECT_EQ(imported.document.keptStyle, added);
    EXPECT_BYTES(bytes, bytesOf(styleSheetOutput(imported.document)));
  }
}

// The modern output of a hand-written sheet after import: every declaration
// the form took, then what was kept, in the order of the sheet.
TEST(StyleImport, HandWrittenSheetsKeepTheirCascade) {
  struct Case {
    std::string_view css;
    std::string expected;  // after "@charset "UTF-8";"
  } const cases[] = {
      {"P { color: #F00; margin: 0 } A:Hover{color:#00f;text-decoration:underline}",
       crlf({"p {", "  color: #F00;", "}", "a:hover {", "  color: #00f;", "  text-decoration: underline;", "}",
             "P { margin: 0 }"})},
      // Values the form cannot hold stay as they were.
      {"p { color: red; font-size: larger; cursor: auto }",
       crlf({"p { color: red; font-size: larger; cursor: auto }"})},
      // The last declaration wins.
      {"p { color: #f00; color: #0f0 } p { color: #00f }", crlf({"p {", "  color: #00f;", "}"})},
      // An earlier kept declaration of the same property or its shorthand
      // keeps the later one as text too.
      {"p { background: url(a.png) red; background-color: #00f }",
       crlf({"p { background: url(a.png) red; background-color: #00f }"})},
      // ... and so does a longhand of it.
      {"p { text-decoration-line: overline } p { text-decoration: underline }",
       crlf({"p { text-decoration-line: overline }", "p { text-decoration: underline }"})},
      {"@media print { p { color: #000 } } p { color: #f00 } a { color: #00f }",
       crlf({"a {", "  color: #00f;", "}", "@media print { p { color: #000 } }", "p { color: #f00 }"})},
      // A class rule of the same weight before it: the form's rule would move ahead of it.
      {".x { color: #0f0 } p { color: #f00 }", crlf({"p {", "  color: #f00;", "}", ".x { color: #0f0 }"})},
      {"p.x { color: #0f0 } p { color: #f00 }", crlf({"p {", "  color: #f00;", "}", "p.x { color: #0f0 }"})},
      {"html { color: #0f0 } p { color: #f00 }", crlf({"p {", "  color: #f00;", "}", "html { color: #0f0 }"})},
      {"div { color: #0f0 } p { color: #f00 }", crlf({"p {", "  color: #f00;", "}", "div { color: #0f0 }"})},
      {"* { color: #0f0 } p { color: #f00 }", crlf({"p {", "  color: #f00;", "}", "* { color: #0f0 }"})},
      {"P:first-line { color: #0f0 } p { color: #f00 }",
       crlf({"p {", "  color: #f00;", "}", "P:first-line { color: #0f0 }"})},
      {"a:focus { color: #0f0 } a:hover { color: #f00 } a { color: #00f }",
       crlf({"a {", "  color: #00f;", "}", "a:focus { color: #0f0 }", "a:hover { color: #f00 }"})},
      // The generated order is A:VISITED, A:HOVER, A:ACTIVE; a sheet the other way keeps the later one as text.
      {"a:hover { color: #f00 } a:visited { color: #00f }",
       crlf({"a:hover {", "  color: #f00;", "}", "a:visited { color: #00f }"})},
      {"a:link { color: #00f } a:hover { color: #f00 }", crlf({"a:link { color: #00f }", "a:hover { color: #f00 }"})},
      {"p { color: #f00 !important; font-weight: 700 }",
       crlf({"p {", "  font-weight: 700;", "}", "p { color: #f00 !important; }"})},
      // Fonts: the list the modern output writes for the first family. A
      // font of the stack table alone would gain the faces of its stack.
      {"p { font-family: Osaka, sans-serif } a { font-family: 'MS Mincho', serif } body { font-family: monospace }",
       crlf({"body {", "  font-family: monospace;", "}", "p {", "  font-family: \"Osaka\", sans-serif;", "}",
             "a { font-family: 'MS Mincho', serif }"})},
      {"a { font-family: 'ms mincho', \"ＭＳ 明朝\", Hiragino Mincho ProN, \"Noto Serif JP\", \"Noto Serif CJK JP\", "
       "Serif }",
       crlf({"a {",
             "  font-family: \"ms mincho\", \"ＭＳ 明朝\", \"Hiragino Mincho ProN\", \"Noto Serif JP\", \"Noto Serif "
             "CJK "
             "JP\", serif;",
             "}"})},
      {"p { font-family: Arial, Helvetica, sans-serif }", crlf({"p { font-family: Arial, Helvetica, sans-serif }"})},
      // A name no settings file could hold stays text.
      {"p { font-family: \"☃\", sans-serif } .☃ { filter: Gray }",
       crlf({"p { font-family: \"☃\", sans-serif }", ".☃ { filter: Gray }"})},
      {"p { font-size: 12PX; font-weight: BOLD; font-style: italic; cursor: pointer; background-image: url(a.png) }",
       crlf({"p {", "  font-weight: bold;", "  background-image: url(\"a.png\");", "  font-style: italic;",
             "  font-size: 12px;", "  cursor: pointer;", "}"})},
      // A fixed background is one setting for all: taken only where every image has it.
      {"body { background-image: url(a.png); background-attachment: fixed } p { background-image: url(b.png) }",
       crlf({"body {", "  background-image: url(\"a.png\");", "}", "p {", "  background-image: url(\"b.png\");", "}",
             "body { background-attachment: fixed }"})},
      // Legacy filters and scrollbar colours become their modern equivalents.
      {".glow { Width=100%; filter: Glow(Color=#FF0000, Strength=5) } img.x { filter: Alpha(opacity=50) }",
       crlf({".glow {", "  text-shadow: 0 0 5px #FF0000;", "}", "img.x { filter: Alpha(opacity=50) }"})},
      {".pic { filter: progid:DXImageTransform.Microsoft.Alpha(Opacity=40) Gray FlipH; border: 0 }",
       crlf({".pic {", "  opacity: 0.4;", "  filter: grayscale(1);", "  transform: scale(-1, 1);", "}",
             ".pic { border: 0 }"})},
      // A filter of this program's that the sheet does not hold, and a marked comment of other filters,
      // which is dropped; the marker word elsewhere is written escaped.
      {".x { filter: url(#quillane-chroma-00000000) }\n/* quillane-svg-filters: <svg></svg> */",
       crlf({".x { filter: url(#quillane-chroma-00000000) }"})},
      {"p { content: \"/* quillane-svg-filters: a\" }", crlf({"p { content: \"/* quillane\\-svg-filters: a\" }"})},
      // An @import after a rule is ignored by browsers: the rule before it stays text, so the
      // @import stays after it; one at the start is written first.
      {"p { color: #f00 } @import 'x.css'; a { color: #00f }",
       crlf({"a {", "  color: #00f;", "}", "p { color: #f00 }", "@import 'x.css';"})},
      {"@import 'a.css'; p { color: #f00 } @layer x; a { color: #00f }",
       crlf({"@import 'a.css';", "a {", "  color: #00f;", "}", "p { color: #f00 }", "@layer x;"})},
      // Values the writers would refuse stay text.
      {"p { background-image: url(data:image/gif;base64,R0lGOD==) } a { background-image: url(\"it's.png\") }",
       crlf({"p { background-image: url(data:image/gif;base64,R0lGOD==) }",
             "a { background-image: url(\"it's.png\") }"})},
      {"p { font-family: \"a;b\", serif }", crlf({"p { font-family: \"a;b\", serif }"})},
      {".a\\;b { filter: Gray }", crlf({".a\\;b { filter: Gray }"})},
      {".y { filter: Glow(Color=\"red\", Strength=5) }", crlf({".y { filter: Glow(Color=\"red\", Strength=5) }"})},
      // Line ends inside what is kept stay as they were.
      {"p {\n  --stack: Avenir,\n    sans-serif;\n  color: #f00\n}\r\n/* a\rb */",
       "p {\r\n  color: #f00;\r\n}\r\np {\n  --stack: Avenir,\n    sans-serif;\n\n}\r\n/* a\rb */\r\n"},
      // At-rules, comments and @charset.
      {"@charset \"UTF-8\";\n/* top */\n@font-face { font-family: x; src: url(x.woff) }\np { color: #123456 /* red */ "
       "}",
       crlf({"p {", "  color: #123456;", "}", "/* top */", "@font-face { font-family: x; src: url(x.woff) }"})},
      {"@keyframes spin { to { transform: rotate(1turn) } } p { animation: spin 1s",
       crlf({"@keyframes spin { to { transform: rotate(1turn) } }", "p { animation: spin 1s}"})},
      // A byte no encoding reads: the legacy output, in CP932, could not write it back.
      {"/* \xFF */\r\n", crlf({"/* \xEF\xBF\xBD */"})},
      // The dark variant: its switch on the root and a block of the slots' colours, each dark colour
      // of a colour the light rules set.
      {":root{color-scheme:light dark} body { color: #333; background-color: #fff }\n"
       "@media (prefers-color-scheme: DARK) { body { color: #eee; background-color: #121212 } }",
       crlf({":root {", "  color-scheme: light dark;", "}", "body {", "  color: #333;", "  background-color: #fff;",
             "}", "@media (prefers-color-scheme: dark) {", "  body {", "    color: #eee;",
             "    background-color: #121212;", "  }", "}"})},
      // Without the switch the page's own colours would change in the dark: kept.
      {"body { color: #333 } @media (prefers-color-scheme: dark) { body { color: #eee } }",
       crlf({"body {", "  color: #333;", "}", "@media (prefers-color-scheme: dark) { body { color: #eee } }"})},
      // A dark colour of one the light rules leave unset; text kept before the block that sets it.
      {":root{color-scheme:light dark} p { color: #333 } @media (prefers-color-scheme: dark) { p { background-color: "
       "#000 } }",
       crlf({":root {", "  color-scheme: light dark;", "}", "p {", "  color: #333;", "}",
             "@media (prefers-color-scheme: dark) { p { background-color: #000 } }"})},
      {":root{color-scheme:light dark} p { color: #333 } .x, p { color: #444 } "
       "@media (prefers-color-scheme: dark) { p { color: #eee } }",
       crlf({":root {", "  color-scheme: light dark;", "}", "p {", "  color: #333;", "}", ".x, p { color: #444 }",
             "@media (prefers-color-scheme: dark) { p { color: #eee } }"})},
      // The written block would start the light gradient at the dark colour: kept.
      {":root{color-scheme:light dark} body { background-color: #FFF; background-image: linear-gradient(90deg, #FFF, "
       "#000) } @media (prefers-color-scheme: dark) { body { background-color: #000 } }",
       crlf({":root {", "  color-scheme: light dark;", "}", "body {", "  background-color: #FFF;",
             "  background-image: linear-gradient(90deg, #FFF, #000);", "}",
             "@media (prefers-color-scheme: dark) { body { background-color: #000 } }"})},
      {":root{color-scheme:light dark} body { background-color: #FFF; background-image: "
       "linear-gradient(90deg,#FFF,#000) "
       "} @media (prefers-color-scheme: dark) { body { background-color: #000; background-image: "
       "linear-gradient(90deg, #000, #333) } }",
       crlf({":root {", "  color-scheme: light dark;", "}", "body {", "  background-color: #FFF;",
             "  background-image: linear-gradient(90deg, #FFF, #000);", "}", "@media (prefers-color-scheme: dark) {",
             "  body {", "    background-color: #000;", "    background-image: linear-gradient(90deg, #000, #333);",
             "  }", "}"})},
      // A gradient starts at the background colour; the form has no direction words; a fixed
      // background is written with a picture only.
      {"p { background-color: #000; background-image: linear-gradient(#FFF, #000) } a { background-image: "
       "linear-gradient(to right, #fff, #000); background-color: #fff } a:hover { background-image: "
       "radial-gradient(#fff, "
       "#000); background-attachment: fixed; background-color: #fff}",
       crlf({"p {", "  background-color: #000;", "}", "a {", "  background-color: #fff;", "}", "a:hover {",
             "  background-color: #fff;", "  background-image: radial-gradient(#fff, #000);", "}",
             "p { background-image: linear-gradient(#FFF, #000) }",
             "a { background-image: linear-gradient(to right, #fff, #000); }",
             "a:hover { background-attachment: fixed;}"})},
      {":root { color-scheme: light dark; color: red } html { color-scheme: dark light }",
       crlf({":root {", "  color-scheme: light dark;", "}", ":root { color: red }",
             "html { color-scheme: dark light }"})},
      // Shaped like the modern scrollbar rules, with colours too short to be theirs: kept, not a fault.
      {"@supports x {}\r\n::-webkit-scrollbar {\r\nscrollbar-color: #a #b;\r\nborder-color: #a #b #c #d;\r\n"
       "box-shadow: a ,b;\r\nx: \"fill='%23\";\r\n}\r\n",
       crlf({"@supports x {}", "::-webkit-scrollbar {", "scrollbar-color: #a #b;", "border-color: #a #b #c #d;",
             "box-shadow: a ,b;", "x: \"fill='%23\";", "}"})},
      {"@supports x {}\r\n::-webkit-scrollbar {\r\nscrollbar-color: #a #b;\r\nborder-color: #a #b #c #d;\r\n"
       "box-shadow: a ,b;\r\nx: \"fill='%23'\";\r\n}",
       crlf({"@supports x {}", "::-webkit-scrollbar {", "scrollbar-color: #a #b;", "border-color: #a #b #c #d;",
             "box-shadow: a ,b;", "x: \"fill='%23'\";", "}"})},
  };
  for (const Case& c : cases) {
    const ImportResult imported = importStyle(c.css, false);
    ASSERT_TRUE(imported.ok());
    EXPECT_FALSE(imported.legacy) << c.css;
    const OutputText out = styleSheetOutput(imported.document);
    EXPECT_BYTES("@charset \"UTF-8\";\r\n" + c.expected, out.text) << c.css;
    // Both outputs write what was imported.
    EXPECT_FALSE(checkValues(imported.document, Output::StyleRules)) << c.css;
    StyleDocument legacy = imported.document;
    legacy.output.modern = 0;
    EXPECT_TRUE(styleSheetOutput(legacy).ok()) << c.css;
  }
}

// This program's own outputs, written from values the writers refuse (a
// settings file may hold them), are read as CSS, and the form leaves those
// values as text.
TEST(StyleImport, OwnOutputsWithRefusedValuesStillWrite) {
  StyleDocument doc;
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].fontName = "a;b";
  for (const bool modern : {false, true}) {
    doc.output.modern = modern ? 1 : 0;
    const ImportResult imported = importStyle(styleSheetOutput(doc).text, false);
    ASSERT_TRUE(imported.ok());
    EXPECT_FALSE(checkValues(imported.document, Output::StyleRules)) << modern;
    EXPECT_NE(imported.document.keptStyle, "") << modern;
  }
}

// Whatever marked comments an imported sheet holds, where it holds them,
// its modern output carries one only: the comment of the form's own filters.
TEST(StyleImport, NoMarkedCommentButTheFormsOwnIsWrittenAgain) {
  StyleDocument doc;
  doc.output.modern = doc.classes[0].enabled = doc.classes[0].chromaOn = 1;
  const std::string own = buildModernStyleSheet(doc).text;
  std::string forged = own;
  forged.insert(forged.find("<filter"), "<filter id='quillane-blur-00000000' style='x'/>\r\n");
  const std::string evil = "/* quillane-svg-filters: a\n<svg onload='alert(1)'></svg> */";
  for (const std::string& sheet : {forged, own + evil, evil + "\np { color: red }", "} " + evil + " {}",
                                   "p { x: \"" + evil + "\" }", "@media print { " + evil + " }", "@x " + evil + ";"}) {
    const ImportResult imported = importStyle(sheet, false);
    ASSERT_TRUE(imported.ok()) << imported.refused;
    const OutputText out = styleSheetOutput(imported.document);
    ASSERT_TRUE(out.ok()) << sheet;
    const FilterBlock read = filterBlockOfStyleSheet(out.text);
    EXPECT_EQ(read.refused, "") << sheet;
    EXPECT_BYTES(modernFilterBlock(imported.document), read.block);
    EXPECT_EQ(out.text.find(kFilterBlockMarker), out.text.rfind(kFilterBlockMarker)) << out.text;
  }
}

TEST(StyleImport, ScrollbarColoursOfTheLegacyProperties) {
  const ImportResult imported =
      importStyle("BODY { scrollbar-face-color: #C0C0C0; scrollbar-arrow-color: #000080; color: #333 }", false);
  const StyleDocument& doc = imported.document;
  EXPECT_EQ(doc.slots[kSlotBody].enabled, 1);
  EXPECT_EQ(doc.colours[18], "333");
  EXPECT_EQ(doc.colours[12], "C0C0C0");
  EXPECT_EQ(doc.colours[11], "000080");
  const std::array<CheckState, kScrollbarColourCount> ticked = {1, 1, 0, 0, 0, 0, 0};
  EXPECT_EQ(doc.scrollbarEnabled, ticked);
  EXPECT_EQ(doc.keptStyle, "");
}

TEST(StyleImport, EncodingIsFoundAsBrowsersFindIt) {
  const std::string sheet = "p { font-family: \"ヒラギノ\", sans-serif }";
  const std::string sjis = cp932(sheet);
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("p { font-family: \"")) utf16 += std::string{c, '\0'};
  utf16 += "\xD2\x30\xE9\x30\xAE\x30\xCE\x30";  // ヒラギノ in UTF-16LE
  for (char c : std::string("\", sans-serif }")) utf16 += std::string{c, '\0'};
  struct Case {
    const char* name;
    std::string bytes;
    std::optional<bool> page;
  } const cases[] = {
      {"UTF-8 without any mark", sheet, false},
      {"byte-order mark", "\xEF\xBB\xBF" + sheet, false},
      {"UTF-16 byte-order mark", utf16, false},
      {"@charset Shift_JIS", "@charset \"Shift_JIS\";\r\n" + sjis, false},
      {"not UTF-8, so Shift_JIS", sjis, std::nullopt},
      {"@charset names UTF-8 over Shift_JIS-like bytes", "@charset \"utf-8\";" + sheet, false},
      {"page with a Shift_JIS meta", "<html><head><meta charset=\"Shift_JIS\"><style>" + sjis + "</style>", true},
      {"page with its style in a comment skipped",
       "<!-- <style>p{}</style> --><STYLE type=\"text/css\">" + sheet +
           "</STYLE><style type=\"text/x\">a{color:#fff}</style>",
       std::nullopt},
  };
  for (const Case& c : cases) {
    const ImportResult imported = importStyle(c.bytes, c.page);
    ASSERT_TRUE(imported.ok()) << c.name;
    EXPECT_EQ(imported.document.slots[kSlotP].fontName, "ヒラギノ") << c.name;
    EXPECT_EQ(imported.document.slots[kSlotA].enabled, 0) << c.name;
  }
  EXPECT_FALSE(importStyle(std::string(kMaxImportBytes + 1, ' '), false).ok());
}

// Every label of the Encoding Standard names an encoding; the bytes below
// are those of each encoding's own tables ("※注意" is JIS X 0208 row 2
// cell 8, row 35 cell 77, row 16 cell 53).
TEST(StyleImport, EveryEncodingBrowsersKnowIsDecoded) {
  const auto sheet = [](std::string_view label, std::string_view content) {
    return "@charset \"" + std::string(label) + "\";\np { content: \"" + std::string(content) + "\" }";
  };
  const auto kept = [](std::string_view content) { return "p { content: \"" + std::string(content) + "\" }\r\n"; };
  std::string utf16be = "\xFE\xFF";
  for (char c : std::string("p { content: \"")) utf16be += std::string{'\0', c};
  utf16be += std::string("\x30\xD2\0\"\0 \0}", 8);  // ヒ" }
  struct Case {
    const char* name;
    std::string bytes;
    bool page;
    std::string expected;  // the kept text, or the refusal
  } const cases[] = {
      {"EUC-JP", sheet("EUC-JP", "\xA2\xA8\xC3\xED\xB0\xD5 "), false, kept("※注意 ")},
      // The second byte of "※" is a double quote in ASCII.
      {"ISO-2022-JP page",
       "<meta charset=\"iso-2022-jp\"><style>p { content: \"\x1B$B\x22\x28\x43\x6D\x30\x55\x1B(B \" }</style>", true,
       kept("※注意 ")},
      {"latin1 is windows-1252", sheet(" Latin1 ", "\x80 caf\xE9"), false, kept("€ café")},
      {"GBK", sheet("gb2312", "\xD6\xD0"), false, kept("中")},
      {"Big5", sheet("big5", "\xA4\xA4"), false, kept("中")},
      {"EUC-KR", sheet("ks_c_5601-1987", "\xC7\xD1"), false, kept("한")},
      {"KOI8-R", sheet("koi8-r", "\xCD\xC9\xD2"), false, kept("мир")},
      {"x-sjis", sheet("x-sjis", "\x92\x8D\x88\xD3"), false, kept("注意")},
      {"UTF-16BE byte-order mark", utf16be, false, kept("ヒ")},
      {"a declared UTF-16 is UTF-8", sheet("utf-16", "☃"), false, kept("☃")},
      {"a label browsers do not know", sheet("cp932", "\x92\x8D"), false,
       "文字コード「cp932」は読めません（ブラウザの知らない名前です）。"},
      {"an encoding browsers refuse to read", "<meta charset=\"ISO-2022-KR\"><style>p{}</style>", true,
       "文字コード「iso-2022-kr」は読めません（ブラウザも読まない文字コードです）。"},
  };
  for (const Case& c : cases) {
    const ImportResult imported = importStyle(c.bytes, c.page);
    EXPECT_EQ(imported.ok() ? imported.document.keptStyle : imported.refused, c.expected) << c.name;
  }
}

// A page's style is what a browser applies: each element a sheet of its own,
// none from comments, attribute values, raw text or templates, and a media
// query that may not match on a screen kept around it.
TEST(StyleImport, OnlyTheStyleElementsBrowsersApplyAreRead) {
  struct Case {
    std::string page;
    std::string style;
  } const cases[] = {
      {"<template><style>a{}</style></template><textarea><style>b{}</textarea><noscript><style>c{}</style>"
       "</noscript><!-- <style>d{}</style> --><p title=\"<style>e{}</style>\"><title><style>g{}</title>"
       "<style>f{}</style>",
       "f{}"},
      {"<template><template></template><style>a{}</style></template></template><style>b{}</style>", "b{}"},
      {"<style media=print>p{color:red}</style><style media=\" Screen \">a{}</style><style media=\"\">b{}</style>"
       "<style media=all type=TEXT/CSS>i{}</style><style type=\"text/plain\">x{}</style>"
       "<style media=\"print&#44; (min-width: 60em)\" media=all>u{}</style>",
       "@media print {p{color:red}}\r\na{}\r\nb{}\r\ni{}\r\n@media print, (min-width: 60em) {u{}}"},
      // A query that could leave its place matches nothing, as an invalid one.
      {"<style media=\"x{}\">p{}</style><style media=\"(a\">q{}</style>",
       "@media not all {p{}}\r\n@media not all {q{}}"},
      // What is left open at an element's end is closed, as at the end of a sheet.
      {"<style>p{color:red</style><style>@import 'a.css'</style><style>/* x</style><style>a{content:\"b</style>"
       "<style>q</style><style>a{b:url(x</style><style>s{content:'\\</style><style>r{}</style>",
       "p{color:red}\r\n@import 'a.css';\r\n/* x*/\r\na{content:\"b\"}\r\nq{}\r\na{b:url(x)}\r\n"
       "s{content:'\\\r\n'}\r\nr{}"},
  };
  for (const Case& c : cases) EXPECT_BYTES(c.style, readStyleSource(c.page, true).style) << c.page;
  const ImportResult imported = importStyle("<style media=print>p { color: #000 }</style>", true);
  EXPECT_EQ(imported.document.slots[kSlotP].enabled, 0);
  EXPECT_EQ(imported.document.keptStyle, "@media print {p { color: #000 }}\r\n");
}

TEST(StyleImport, PageTitleAndReportLines) {
  const std::string page = crlf({"<html><head><title>A &amp; B</title>", "<style>", "p { color: #f00;", "  margin: 0 }",
                                 "@media print { p { color: #000 } }", "</style>"});
  const ImportResult imported = importStyle(page, std::nullopt);
  EXPECT_EQ(imported.document.output.htmlTitle, "A & B");
  EXPECT_EQ(imported.report(),
            "3 行目: フォームへ: p { color: #f00 }\n"
            "4 行目: そのほかのスタイルへ: p { margin: 0 }\n"
            "5 行目: そのほかのスタイルへ: @media print { p { color: #000 } }\n");
}

// A report holds the first entries by line and counts the rest by place,
// across the trims made while a long sheet is read.
TEST(StyleImport, ReportCountsTheEntriesPastItsFirst) {
  std::string css = "q{margin:0}\n";
  for (std::size_t k = 1; k < 2 * kMaxImportEntries + 1234; ++k) css += "p{color:#F00}\n";
  const ImportResult imported = importStyle(css, false);
  ASSERT_EQ(imported.entries.size(), kMaxImportEntries);
  EXPECT_EQ(imported.entries.back().line, static_cast<int>(kMaxImportEntries));
  EXPECT_EQ(imported.omitted, (std::array<std::size_t, 3>{1, 0, kMaxImportEntries + 1233}));
  EXPECT_EQ(imported.count(ImportEntry::Place::Kept), 1u);
  EXPECT_EQ(imported.count(ImportEntry::Place::Dropped), 2 * kMaxImportEntries + 1232);
  const std::string report = imported.report();
  EXPECT_EQ(report.substr(0, report.find('\n', report.find('\n') + 1) + 1),
            "1 行目: そのほかのスタイルへ: q{margin:0}\n2 行目: 使わない: p { color:#F00 }\n");
  EXPECT_EQ(report.substr(report.rfind('\n', report.size() - 2) + 1), "…ほか 2,234 件\n");
}

// Character references of a page's title, as HTML reads those this reader
// knows; a reference is looked for no further than ten characters.
TEST(StyleImport, TitleReferences) {
  struct Case {
    std::string_view text;
    std::string_view decoded;
  } const cases[] = {
      {"A &amp; B", "A & B"},
      {"&lt;&gt;&quot;&apos;&nbsp;", "<>\"'\u00A0"},
      {"&#33;&#x21;&#X21;&#x1F600;", "!!!\U0001F600"},
      {"&#00000033;&#000000033;", "!&#000000033;"},
      {"&&&amp;&unknown;&amp", "&&&&unknown;&amp"},
  };
  for (const Case& c : cases) EXPECT_EQ(decodeHtmlText(c.text), c.decoded) << c.text;
}

TEST(StyleImport, KeptTextSurvivesTheSettingsFile) {
  struct Case {
    std::string kept;
    std::string line;  // line 324 as CP932 holds it
  } const cases[] = {
      {"p { margin: 0 }\r\n", "style:p { margin: 0 }%0D%0A"},
      {"/* 100% ☃ € 髙 */\n\t", "style:/* 100%25 %E2%98%83 %E2%82%AC 髙 */%0A\t"},
      {"ｶﾅ「明朝」\\", "style:ｶﾅ「明朝」\\"},
      {"a\rb\nc\r\n\r\r\n", "style:a%0Db%0Ac%0D%0A%0D%0D%0A"},
  };
  for (const Case& c : cases) {
    StyleDocument doc;
    doc.keptStyle = c.kept;
    const std::string text = settingsFileText(doc, Layout::Settings);
    // Line 323 is written so the kept line is always 324; the lines before are as ever.
    EXPECT_BYTES(settingsFileText(StyleDocument(), Layout::Settings) + "False\r\n" + c.line + "\r\n", text);
    EXPECT_EQ(keptStyleLineSize(c.kept), c.line.size());  // the length the limit counts
    StyleDocument back;
    back.keptStyle = "earlier";
    ASSERT_TRUE(loadSettings(back, Layout::Settings, cp932(text)).ok());
    EXPECT_EQ(back.keptStyle, c.kept);
    StyleDocument sample;
    ASSERT_TRUE(loadSettings(sample, Layout::Sample, cp932(settingsFileText(doc, Layout::Sample, "a", "b"))).ok());
    EXPECT_EQ(sample.keptStyle, c.kept);
  }
  // Files without the line, or with another line there, load with no kept text.
  StyleDocument doc;
  doc.keptStyle = "x";
  const std::string plain = settingsFileText(StyleDocument(), Layout::Settings);
  for (const std::string& file : {plain, plain + "False\r\n", plain + "True\r\nnot style\r\n"}) {
    ASSERT_TRUE(loadSettings(doc, Layout::Settings, cp932(file)).ok());
    EXPECT_EQ(doc.keptStyle, "");
  }
  EXPECT_FALSE(loadSettings(doc, Layout::Settings, cp932(plain + "False\r\nstyle:%FF\r\n")).ok());
  // A long kept line is read; a line that long anywhere else is refused.
  const std::string longText(100000, 'x');
  doc.keptStyle = longText;
  StyleDocument back;
  ASSERT_TRUE(loadSettings(back, Layout::Settings, cp932(settingsFileText(doc, Layout::Settings))).ok());
  EXPECT_EQ(back.keptStyle, longText);
  EXPECT_FALSE(loadSettings(back, Layout::Settings, cp932(plain + "False\r\nstyle:\r\n" + longText + "\r\n")).ok());
  // A sheet of the largest size, its string full of line ends, comes back whole.
  std::string sheet = "p { content: \"";
  while (sheet.size() + 4 < kMaxImportBytes) sheet += "\\\n";
  sheet += "\" }";
  const ImportResult imported = importStyle(sheet, false);
  ASSERT_TRUE(imported.ok()) << imported.refused;
  EXPECT_TRUE(imported.document.keptStyle == sheet + "\r\n");
  EXPECT_EQ(unstorableValue(imported.document), std::nullopt);
  // The limit counts the text, not its escaped form (a line end escapes to three bytes).
  doc.keptStyle = std::string(kMaxKeptStyleBytes, '\n');
  EXPECT_EQ(unstorableValue(doc), std::nullopt);
  doc.keptStyle += 'x';
  EXPECT_EQ(unstorableValue(doc), "「そのほかのスタイル」が長すぎます（48 MiB まで）。");
}

TEST(StyleImport, KeptTextFollowsTheGeneratedRulesInEveryOutput) {
  StyleDocument doc = workedExample();
  doc.keptStyle = "@media print { P { color: black } }\r\n/* </STYLE> */";
  const std::string kept = "@media print { P { color: black } }\r\n/* <\\/STYLE> */\r\n";
  StyleDocument without = doc;
  without.keptStyle.clear();
  EXPECT_BYTES(styleSheetOutput(without).text + kept, styleSheetOutput(doc).text);
  std::string page = embeddedPageOutput(without).text;
  page.insert(page.find("-->"), kept);
  EXPECT_BYTES(page, embeddedPageOutput(doc).text);
  doc.output.modern = without.output.modern = 1;
  EXPECT_BYTES(styleSheetOutput(without).text + kept, styleSheetOutput(doc).text);
  page = embeddedPageOutput(without).text;
  page.insert(page.find("</style>"), kept);
  EXPECT_BYTES(page, embeddedPageOutput(doc).text);

  // Leading @import statements count only before every other rule: they are written first.
  doc.keptStyle = "/* a */\r\n@import url(a.css);\r\n@import \"b.css\" print;\r\np { margin: 0 }\r\n";
  for (const bool modern : {false, true}) {
    doc.output.modern = without.output.modern = modern;
    const std::string head = modern ? "@charset \"UTF-8\";\r\n" : "";
    EXPECT_BYTES(head + "/* a */\r\n@import url(a.css);\r\n@import \"b.css\" print;\r\n" +
                     styleSheetOutput(without).text.substr(head.size()) + "p { margin: 0 }\r\n",
                 styleSheetOutput(doc).text);
  }

  // CP932 has no ¥ nor ‾ (it would write "\\" and "~"): the legacy output writes CSS escapes.
  doc.keptStyle = "@import \"a¥\";\r\np { content: \"‾1\" } /* ¥ */\r\n.x\\¥ { b: \"\\\\¥\" }";
  doc.output.modern = without.output.modern = 0;
  EXPECT_BYTES("@import \"a\\a5\";\r\n" + bytesOf(styleSheetOutput(without)) +
                   "p { content: \"\\203e 1\" } /* \\a5  */\r\n.x\\a5  { b: \"\\\\\\a5\" }\r\n",
               bytesOf(styleSheetOutput(doc)));
  doc.output.modern = without.output.modern = 1;
  const std::string head = "@charset \"UTF-8\";\r\n";
  EXPECT_BYTES(head + "@import \"a¥\";\r\n" + styleSheetOutput(without).text.substr(head.size()) +
                   "p { content: \"‾1\" } /* ¥ */\r\n.x\\¥ { b: \"\\\\¥\" }\r\n",
               styleSheetOutput(doc).text);
}

}  // namespace
}  // namespace quillane
