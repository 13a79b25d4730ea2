// The modern output: off changes nothing, on writes UTF-8 standard CSS with
// only what was filled in and every legacy effect as its equivalent.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "generation/declaration_emitters.h"
#include "generation/font_stacks.h"
#include "generation/make_command.h"
#include "generation/modern_filters.h"
#include "generation/modern_pages.h"
#include "generation/modern_stylesheet.h"
#include "generation/output_choice.h"
#include "generation/stylesheet_text.h"
#include "preview/preview_commands.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::crlf;
using testing::FakePlatform;
using testing::ScratchFolder;

std::string sheetOf(const StyleDocument& doc) {
  const ModernText built = buildModernStyleSheet(doc);
  EXPECT_TRUE(built.ok()) << built.refusal->describe();
  return built.text;
}

// The rule of class 0 alone.
std::string classRule(const StyleDocument& doc) {
  std::string t;
  const auto refusal = appendModernClassRule(doc, 0, t);
  EXPECT_FALSE(refusal) << refusal->describe();
  return t;
}

// A document with every slot, scrollbar colour and effect switched on.
StyleDocument everythingOn() {
  StyleDocument doc;
  for (int i = 0; i < kTagSlotCount; ++i) {
    TagSlot& s = doc.slots[static_cast<std::size_t>(i)];
    s.enabled = 1;
    s.fontName = "ＭＳ ゴシック";
    s.fontSize = "12";
    s.underline = s.blink = s.italic = 1;
    s.useImage = Choice::First;
    s.imagePath = "bg.png";
  }
  for (int k = 0; k < kColourBoxCount; ++k) doc.colours[static_cast<std::size_t>(k)] = "123456";
  for (auto& on : doc.scrollbarEnabled) on = 1;
  for (auto& c : doc.classes) {
    c.enabled = c.alphaOn = c.chromaOn = c.blurOn = c.waveOn = c.flipOn = c.flipVertical = 1;
    c.glowOn = c.toneOn = c.invert = c.gray = c.shadowOn = c.specialOn = 1;
  }
  return doc;
}

// Dark colours and gradient stops filled in everywhere, the switches off.
StyleDocument withDarkSettingsOff(StyleDocument doc) {
  for (auto& colour : doc.dark.colours) colour = "FEDCBA";
  for (auto& c : doc.dark.classes) c = {"FEDCBA", "FEDCBA", "FEDCBA", "FEDCBA", "FEDCBA"};
  for (auto& g : doc.gradients) g = {GradientKind::None, "45", {"ABCDEF", "FEDCBA"}, {"FEDCBA", "ABCDEF"}};
  return doc;
}

TEST(ModernChoice, OffLeavesEveryOutputAsTheLegacyBytes) {
  const StyleDocument doc = everythingOn();
  ASSERT_FALSE(writesModern(doc));
  // The dark variant and the gradients leave the legacy output alone, on or off.
  StyleDocument dark = withDarkSettingsOff(doc);
  dark.dark.enabled = 1;
  for (auto& g : dark.gradients) g.kind = GradientKind::Radial;
  for (const StyleDocument& other : {withDarkSettingsOff(doc), dark}) {
    EXPECT_BYTES(buildStyleSheet(doc).text, styleSheetOutput(other).text);
    EXPECT_BYTES(buildEmbeddedPage(doc).text, embeddedPageOutput(other).text);
    EXPECT_BYTES(buildLinkPage(doc, "a.css"), linkPageOutput(other, "a.css").text);
  }
  const OutputText sheet = styleSheetOutput(doc);
  EXPECT_EQ(sheet.encoding, OutputEncoding::Cp932);
  EXPECT_BYTES(buildStyleSheet(doc).text, sheet.text);
  EXPECT_BYTES(buildEmbeddedPage(doc).text, embeddedPageOutput(doc).text);
  EXPECT_BYTES(buildLinkPage(doc, "a.css"), linkPageOutput(doc, "a.css").text);
  EXPECT_BYTES(buildClassPreview(doc, 2).text, classPreviewOutput(doc, 2).text);

  StyleDocument bad;
  bad.classes[0].enabled = bad.classes[0].blurOn = 1;
  bad.classes[0].blurStrength = "x";
  const BuiltText legacy = buildStyleSheet(bad);
  ASSERT_FALSE(legacy.ok());
  EXPECT_EQ(styleSheetOutput(bad).refusal, legacy.error->describe());
}

TEST(ModernChoice, DarkAndGradientSwitchedOffWriteTheSameModernBytes) {
  StyleDocument doc = everythingOn();
  doc.output.modern = 1;
  const StyleDocument filledIn = withDarkSettingsOff(doc);
  EXPECT_BYTES(styleSheetOutput(doc).text, styleSheetOutput(filledIn).text);
  EXPECT_BYTES(embeddedPageOutput(doc).text, embeddedPageOutput(filledIn).text);
  EXPECT_BYTES(linkPageOutput(doc, "a.css").text, linkPageOutput(filledIn, "a.css").text);
}

TEST(ModernChoice, OnWritesUtf8AndStandardCssEverywhere) {
  StyleDocument doc = everythingOn();
  doc.output.modern = 1;
  for (const OutputText& out :
       {styleSheetOutput(doc), embeddedPageOutput(doc), linkPageOutput(doc, "a.css"), classPreviewOutput(doc, 0)}) {
    ASSERT_TRUE(out.ok()) << *out.refusal;
    EXPECT_EQ(out.encoding, OutputEncoding::Utf8);
    // Nothing only Internet Explorer reads is left.
    for (const char* legacy : {"Filter:", "Alpha(", "Chroma(", "scrollbar-face-color", "blink;", "Width=", " : "})
      EXPECT_EQ(out.text.find(legacy), std::string::npos) << legacy;
    // Every line ends in CR LF.
    for (std::size_t at = out.text.find('\n'); at != std::string::npos; at = out.text.find('\n', at + 1))
      EXPECT_EQ(out.text[at - 1], '\r');
    EXPECT_TRUE(out.text.ends_with("\r\n"));
  }
}

TEST(ModernStyleSheet, WorkedExampleLeavesOutEmptyFields) {
  StyleDocument doc;
  TagSlot& p = doc.slots[kSlotP];
  p.enabled = 1;
  doc.colours[0] = "FF0000";  // its background colour stays empty
  p.underline = 1;
  p.fontName = "源ノ角ゴシック";
  p.fontSize = "12";
  doc.slots[kSlotA].enabled = 1;  // nothing filled in: no rule at all
  UserClass& c = doc.classes[0];
  c.enabled = c.glowOn = 1;
  c.glowColor = "FF0000";

  EXPECT_BYTES(crlf({"@charset \"UTF-8\";", "p {", "  color: #FF0000;", "  text-decoration: underline;",
                     "  font-family: \"源ノ角ゴシック\", sans-serif;", "  font-size: 12px;", "}", ".efect0 {",
                     "  text-shadow: 0 0 10px #FF0000;", "}"}),
               sheetOf(doc));
  EXPECT_BYTES(crlf({"@charset \"UTF-8\";"}), sheetOf(StyleDocument{}));
}

TEST(ModernStyleSheet, SlotValuesInTheirStandardForms) {
  StyleDocument doc;
  TagSlot& body = doc.slots[kSlotBody];
  body.enabled = 1;
  body.weight = "Bold";
  body.useImage = Choice::First;
  body.imagePath = "C:\\画像\\a\"b.jpg";
  doc.fixedBackground = 1;
  body.italic = 1;
  body.fontSize = "1.50";
  body.sizeUnit = "em";  // typed into the list
  body.cursorLabel = "サイズ変更　左上-右下";
  body.underline = body.overline = body.lineThrough = body.blink = 1;
  EXPECT_BYTES(
      crlf({"@charset \"UTF-8\";", "body {", "  font-weight: bold;",
            "  background-image: url(\"file:///C:/画像/a\\\"b.jpg\");", "  background-attachment: fixed;",
            "  text-decoration: underline overline line-through;", "  animation: quillane-blink 1s step-end infinite;",
            "  font-style: italic;", "  font-size: 1.5em;", "  cursor: nw-resize;", "}", "@keyframes quillane-blink {",
            "  50% {", "    opacity: 0;", "  }", "}"}),
      sheetOf(doc));
}

TEST(ModernStyleSheet, EveryListLabelHasItsKeyword) {
  const std::pair<const char*, const char*> units[] = {
      {"ピクセル", "3px"},     {"ポイント", "3pt"},       {"インチ", "3in"},
      {"ミリメートル", "3mm"}, {"センチメートル", "3cm"}, {"em", "3em"},  // typed into the list
  };
  for (const auto& [label, size] : units) {
    StyleDocument doc;
    doc.slots[kSlotP].enabled = 1;
    doc.slots[kSlotP].fontSize = "3";
    doc.slots[kSlotP].sizeUnit = label;
    EXPECT_BYTES(crlf({"@charset \"UTF-8\";", "p {", "  font-size: " + std::string(size) + ";", "}"}), sheetOf(doc));
  }
  const std::pair<const char*, const char*> cursors[] = {
      {"通常", "default"},
      {"リンク", "pointer"},
      {"十字", "crosshair"},
      {"砂時計", "wait"},
      {"移動", "move"},
      {"文字入力", "text"},
      {"ヘルプ", "help"},
      {"サイズ変更　上-下", "n-resize"},
      {"サイズ変更　左-右", "w-resize"},
      {"サイズ変更　左上-右下", "nw-resize"},
      {"サイズ変更　左下-右上", "sw-resize"},
      {"grab", "grab"},  // typed into the list
  };
  ASSERT_EQ(std::size(cursors), cursorLabels().size());  // every label but 自動, and one typed
  for (const auto& [label, keyword] : cursors) {
    StyleDocument doc;
    doc.slots[kSlotA].enabled = 1;
    doc.slots[kSlotA].cursorLabel = label;
    EXPECT_BYTES(crlf({"@charset \"UTF-8\";", "a {", "  cursor: " + std::string(keyword) + ";", "}"}), sheetOf(doc));
  }
  // 自動 is the browser's own choice: a link keeps its hand.
  StyleDocument doc;
  doc.slots[kSlotA].enabled = 1;
  doc.slots[kSlotA].cursorLabel = "自動";
  EXPECT_BYTES(crlf({"@charset \"UTF-8\";"}), sheetOf(doc));
}

TEST(ModernStyleSheet, FontNamesGetTheirStackOrAGenericFallback) {
  const std::string gothic =
      "\"Hiragino Kaku Gothic ProN\", \"Hiragino Sans\", \"Noto Sans JP\", \"Noto Sans CJK JP\", sans-serif";
  const std::string mincho = "\"Hiragino Mincho ProN\", \"Noto Serif JP\", \"Noto Serif CJK JP\", serif";
  const std::pair<const char*, std::string> rows[] = {
      {"ＭＳ ゴシック", "\"ＭＳ ゴシック\", \"MS Gothic\", " + gothic},
      {"ＭＳ Ｐゴシック", "\"ＭＳ Ｐゴシック\", \"MS PGothic\", " + gothic},
      {"ＭＳ 明朝", "\"ＭＳ 明朝\", \"MS Mincho\", " + mincho},
      {"ＭＳ Ｐ明朝", "\"ＭＳ Ｐ明朝\", \"MS PMincho\", " + mincho},
      {"メイリオ", "\"メイリオ\", \"Meiryo\", " + gothic},
      {"游ゴシック", "\"游ゴシック\", \"Yu Gothic\", \"YuGothic\", " + gothic},
      {"游明朝", "\"游明朝\", \"Yu Mincho\", \"YuMincho\", " + mincho},
      {"ＭＳ ＵＩ Gothic", "\"ＭＳ ＵＩ Gothic\", \"MS UI Gothic\", " + gothic},
      // The user's spelling first, then the names Windows knows.
      {"MS Pゴシック", "\"MS Pゴシック\", \"ＭＳ Ｐゴシック\", \"MS PGothic\", " + gothic},
      {"ms pgothic", "\"ms pgothic\", \"ＭＳ Ｐゴシック\", " + gothic},
      {"Meiryo", "\"Meiryo\", \"メイリオ\", " + gothic},
      // The faces of the samples.
      {"Arial", "\"Arial\", \"Liberation Sans\", sans-serif"},
      {"Helvetica", "\"Helvetica\", \"Helvetica Neue\", \"Arial\", \"Liberation Sans\", sans-serif"},
      {"Verdana", "\"Verdana\", \"DejaVu Sans\", sans-serif"},
      {"Georgia", "\"Georgia\", \"Noto Serif\", \"DejaVu Serif\", serif"},
      {"Comic Sans MS", "\"Comic Sans MS\", \"Chalkboard SE\", cursive"},
      // Any other name: its generic family only.
      {"ＭＳ ゴシック2", "\"ＭＳ ゴシック2\", sans-serif"},
      {"源ノ明朝", "\"源ノ明朝\", serif"},
      {"Noto Serif CJK JP", "\"Noto Serif CJK JP\", serif"},
      {"Noto Sans Mono", "\"Noto Sans Mono\", monospace"},
      {"Comic Neue", "\"Comic Neue\", cursive"},
      {"Sans-Serif", "sans-serif"},
      // A name cannot end its string or the style element it stands in.
      {"a\";}</style>", "\"a\\\";}\\3C /style\\3E \", sans-serif"},
  };
  for (const auto& [name, value] : rows) EXPECT_EQ(fontFamilyValue(name), value) << name;

  // An embedded font's family comes first; the slot's own font name keeps
  // its stack after it, or the family's generic family stands there.
  const std::tuple<std::string, std::string, std::string> embedded[] = {
      {"Noto Sans CJK JP", "Verdana", "\"Noto Sans CJK JP\", \"Verdana\", \"DejaVu Sans\", sans-serif"},
      {"DejaVu Serif", "", "\"DejaVu Serif\", serif"},
      {"Noto Sans CJK JP", "メイリオ",
       "\"Noto Sans CJK JP\", \"メイリオ\", \"Meiryo\", \"Hiragino Kaku Gothic ProN\", \"Hiragino Sans\", \"Noto Sans "
       "JP\", "
       "sans-serif"},
      {"DejaVu Serif", "dejavu serif", "\"DejaVu Serif\", serif"},
      {"x</style>", "源ノ明朝", "\"x\\3C /style\\3E \", \"源ノ明朝\", serif"},
  };
  for (const auto& [family, name, value] : embedded)
    EXPECT_EQ(embeddedFontFamilyValue(family, name), value) << family << " " << name;
}

// The font lists offer what browsers match: the foundry that tells two
// families of one name apart is no part of the name.
TEST(FontStacks, FontListsOfferFamilyNamesAsBrowsersMatchThem) {
  EXPECT_EQ(
      browserFamilyNames({"C059 [urw]", "C059 [UKWN]", "D050000L [URW ]", "DejaVu Sans", "D050000L", "[x]", "a [b] c",
                          "Mono [x] [y]", "Noto Sans CJK JP"}),
      (std::vector<std::string>{"C059", "D050000L", "DejaVu Sans", "[x]", "a [b] c", "Mono [x]", "Noto Sans CJK JP"}));
}

// The opacity box's tooltip, for a text the slider cannot show, says what
// the chosen output does with it.
TEST(OutputChoice, TheOpacityBoxSaysWhatTheOutputDoesWithItsText) {
  const std::string kept = "設定ファイルにはスライダーの値（50）が保存されます。";
  const struct {
    const char* text;
    bool modern;
    std::string note;
  } rows[] = {
      {"50", false, ""},
      {"50", true, ""},
      {"9.5", false, "スライダーでは表せない値です。出力には入力したとおりに書き出しますが、" + kept},
      {"9.5", true, "スライダーでは表せない値です。今のブラウザ向けの出力には opacity: 0.1 と書き出しますが、" + kept},
      {"250", true, "スライダーでは表せない値です。今のブラウザ向けの出力には opacity: 1 と書き出しますが、" + kept},
      {"abc", false, "スライダーでは表せない値です。出力には入力したとおりに書き出しますが、" + kept},
      {"abc", true,
       "スライダーでは表せない値です。数値ではないため、今のブラウザ向けの出力では「出力する」がこの値を知らせて止まり"
       "ま"
       "す。" +
           kept},
      {"5;", false,
       "スライダーでは表せない値です。「;」を使えないため、「出力する」がこの値を知らせて止まります。" + kept},
      {"5;", true,
       "スライダーでは表せない値です。「;」を使えないため、「出力する」がこの値を知らせて止まります。" + kept},
  };
  for (const auto& r : rows) {
    StyleDocument doc;
    doc.classes[2].opacity = r.text;
    doc.output.modern = r.modern ? 1 : 0;
    EXPECT_EQ(opacityBoxNote(doc, 2), r.note) << r.text << r.modern;
  }
}

TEST(ModernStyleSheet, ScrollbarColoursGoToTheRootAndTheWebkitRules) {
  StyleDocument doc;
  doc.scrollbarCheck(12) = 1;
  doc.colours[12] = "FF8000";
  const std::string sheet = sheetOf(doc);
  // The track left unset follows the face colour, each channel halfway to white.
  // Only for a browser without the ::-webkit-scrollbar rules, which
  // Chromium would drop on an element with scrollbar-color.
  EXPECT_TRUE(
      sheet.starts_with(crlf({"@charset \"UTF-8\";", "@supports not selector(::-webkit-scrollbar-thumb) {", "  :root {",
                              "    scrollbar-color: #FF8000 #FFBF7F;", "  }", "}", "::-webkit-scrollbar {"})))
      << sheet;
  EXPECT_NE(sheet.find("::-webkit-scrollbar {\r\n  width: 16px;\r\n  height: 16px;\r\n  background-color: #FFBF7F;"),
            std::string::npos);
  // Unticked edges keep the colours the editor's picture draws.
  EXPECT_NE(sheet.find("border-color: #CFCFCF #000000 #000000 #CFCFCF;"), std::string::npos);
  EXPECT_NE(sheet.find("box-shadow: inset 1px 1px #FFFFFF, inset -1px -1px #808080;"), std::string::npos);
  EXPECT_NE(sheet.find("fill='%23000000'"), std::string::npos);  // the arrows

  doc.scrollbarCheck(17) = 1;
  doc.colours[17] = "00ff00";
  EXPECT_NE(sheetOf(doc).find("scrollbar-color: #FF8000 #00ff00;"), std::string::npos);
  // Ticked but empty is not filled in.
  doc.colours[12] = doc.colours[17] = "";
  EXPECT_EQ(sheetOf(doc).find("scrollbar"), std::string::npos);
}

std::string joinedCrlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

TEST(DarkVariant, RepeatsEachFilledColourForDarkSchemes) {
  StyleDocument doc;
  doc.dark.enabled = 1;
  doc.slots[kSlotBody].enabled = doc.slots[kSlotP].enabled = doc.slots[kSlotA].enabled = 1;
  doc.colours[18] = "333333", doc.dark.colours[18] = "EEEEEE";
  doc.colours[19] = "FFFFFF", doc.dark.colours[19] = "121212";
  doc.gradients[kSlotBody] = {GradientKind::Linear, "90", {"DDDDDD", ""}, {"222222", ""}};
  doc.colours[0] = "0000EE";  // P keeps its colour: no dark one
  doc.slots[kSlotP].fontSize = "12";
  doc.colours[1] = "CC0000", doc.dark.colours[1] = "FF6666";
  doc.dark.colours[6] = "000000";  // A's background is not filled in on the light side
  UserClass& c = doc.classes[0];
  c.enabled = c.glowOn = 1;
  c.glowColor = "FFFFFF", doc.dark.classes[0].glowColor = "000000";
  const std::vector<std::string> light = {"body {",
                                          "  color: #333333;",
                                          "  background-color: #FFFFFF;",
                                          "  background-image: linear-gradient(90deg, #FFFFFF, #DDDDDD);",
                                          "}",
                                          "p {",
                                          "  color: #0000EE;",
                                          "  font-size: 12px;",
                                          "}",
                                          "a {",
                                          "  color: #CC0000;",
                                          "}",
                                          ".efect0 {",
                                          "  text-shadow: 0 0 10px #FFFFFF;",
                                          "}"};
  std::vector<std::string> expected = {"@charset \"UTF-8\";", ":root {", "  color-scheme: light dark;", "}"};
  expected.insert(expected.end(), light.begin(), light.end());
  expected.insert(
      expected.end(),
      {"@media (prefers-color-scheme: dark) {", "  body {", "    color: #EEEEEE;", "    background-color: #121212;",
       "    background-image: linear-gradient(90deg, #121212, #222222);", "  }", "  a {", "    color: #FF6666;", "  }",
       "  .efect0 {", "    text-shadow: 0 0 10px #000000;", "  }", "}"});
  EXPECT_BYTES(joinedCrlf(expected), sheetOf(doc));

  // Off, the light rules alone.
  doc.dark.enabled = 0;
  std::vector<std::string> off = {"@charset \"UTF-8\";"};
  off.insert(off.end(), light.begin(), light.end());
  EXPECT_BYTES(joinedCrlf(off), sheetOf(doc));

  // On with no dark colour that differs: only the scheme on the root.
  StyleDocument plain;
  plain.dark.enabled = 1;
  plain.slots[kSlotP].enabled = 1;
  plain.colours[0] = "0000EE", plain.dark.colours[0] = "0000ee";  // a difference in the text is one
  plain.colours[5] = "FFFFFF", plain.dark.colours[5] = "FFFFFF";
  EXPECT_BYTES(crlf({"@charset \"UTF-8\";", ":root {", "  color-scheme: light dark;", "}", "p {", "  color: #0000EE;",
                     "  background-color: #FFFFFF;", "}", "@media (prefers-color-scheme: dark) {", "  p {",
                     "    color: #0000ee;", "  }", "}"}),
               sheetOf(plain));
}

TEST(DarkVariant, ScrollbarRulesChangeOnlyWhereTheirColoursDo) {
  StyleDocument doc;
  doc.dark.enabled = 1;
  doc.scrollbarCheck(12) = 1;
  doc.colours[12] = "FF8000", doc.dark.colours[12] = "804000";
  const std::string sheet = sheetOf(doc);
  // The track left unset follows the face: (128 + 255) / 2, (64 + 255) / 2, 255 / 2.
  EXPECT_BYTES(crlf({"@media (prefers-color-scheme: dark) {", "  @supports not selector(::-webkit-scrollbar-thumb) {",
                     "    :root {", "      scrollbar-color: #804000 #BF9F7F;", "    }", "  }",
                     "  ::-webkit-scrollbar {", "    background-color: #BF9F7F;", "  }", "  ::-webkit-scrollbar-thumb,",
                     "  ::-webkit-scrollbar-button {", "    background-color: #804000;", "  }", "}"}),
               sheet.substr(sheet.find("@media")));
}

TEST(DarkVariant, ClassColoursInSvgFiltersGetFiltersOfTheirOwn) {
  StyleDocument doc;
  doc.dark.enabled = 1;
  UserClass& c = doc.classes[0];
  c.enabled = c.chromaOn = 1;
  c.chromaColor = "FFFFFF", doc.dark.classes[0].chromaColor = "000000";
  const std::string block = modernFilterBlock(doc);
  const std::string sheet = sheetOf(doc);
  const std::size_t media = sheet.find("@media");
  ASSERT_NE(media, std::string::npos);
  // Each rule's filter is in the block, the dark one a second filter.
  for (const std::string_view part :
       {std::string_view(sheet).substr(0, media), std::string_view(sheet).substr(media)}) {
    const std::size_t at = part.find("url(#");
    ASSERT_NE(at, std::string_view::npos);
    const std::string id(part.substr(at + 5, part.find(')', at) - at - 5));
    EXPECT_NE(block.find("<filter id='" + id + "'"), std::string::npos) << id;
  }
  doc.dark.enabled = 0;
  EXPECT_EQ(modernFilterBlock(doc).find("<filter", modernFilterBlock(doc).find("<filter") + 1), std::string::npos);
}

TEST(Gradients, WrittenAfterThePlainFirstColour) {
  struct Row {
    Gradient gradient;
    const char* background;  // the slot's background colour box, the first stop
    bool image;
    std::vector<std::string> declarations;
  } rows[] = {
      {{GradientKind::Radial, "90", {"808080", "000000"}, {}},
       "FFFFFF",
       false,
       {"background-color: #FFFFFF;", "background-image: radial-gradient(#FFFFFF, #808080, #000000);"}},
      {{GradientKind::Linear, "", {"000", ""}, {}},
       "FFFFFF",
       false,
       {"background-color: #FFFFFF;", "background-image: linear-gradient(#FFFFFF, #000);"}},
      {{GradientKind::Linear, " 45.50 ", {"navy", ""}, {}},
       "red",
       false,
       {"background-color: #FF0000;", "background-image: linear-gradient(45.5deg, #FF0000, #000080);"}},
      {{GradientKind::Linear, "180", {"000000", ""}, {}},
       "FFFFFF",
       true,
       {"background-color: #FFFFFF;", "background-image: url(\"bg.png\"), linear-gradient(180deg, #FFFFFF, #000000);"}},
      // Not both ends filled in: the plain colour alone.
      {{GradientKind::Linear, "180", {"", "000000"}, {}}, "FFFFFF", false, {"background-color: #FFFFFF;"}},
      {{GradientKind::Radial, "180", {"000000", ""}, {}}, "", false, {}},
      {{GradientKind::None, "180", {"000000", ""}, {}}, "FFFFFF", false, {"background-color: #FFFFFF;"}},
  };
  for (const Row& r : rows) {
    StyleDocument doc;
    doc.slots[kSlotP].enabled = 1;
    doc.slots[kSlotP].italic = 1;
    doc.colours[5] = r.background;
    doc.gradients[kSlotP] = r.gradient;
    if (r.image) doc.slots[kSlotP].useImage = Choice::First, doc.slots[kSlotP].imagePath = "bg.png";
    std::string expected = "@charset \"UTF-8\";\r\np {\r\n";
    for (const std::string& d : r.declarations) expected += "  " + d + "\r\n";
    EXPECT_BYTES(expected + "  font-style: italic;\r\n}\r\n", sheetOf(doc)) << r.background << r.gradient.angle;
    // The legacy sheet writes the first colour as ever.
    StyleDocument plain = doc;
    plain.gradients[kSlotP] = {};
    EXPECT_BYTES(buildStyleSheet(plain).text, buildStyleSheet(doc).text);
  }
}

TEST(ModernFilters, EachEffectIsWrittenWhole) {
  struct Case {
    const char* name;
    void (*set)(UserClass&);
    std::vector<std::string> declarations;
  };
  const std::vector<Case> cases = {
      {"alpha", [](UserClass& c) { c.alphaOn = 1, c.moveOpacitySlider(35); }, {"opacity: 0.35;"}},
      {"alpha over 100", [](UserClass& c) { c.alphaOn = 1, c.opacity = "250"; }, {"opacity: 1;"}},
      {"flip both on text",
       [](UserClass& c) { c.flipOn = c.flipVertical = c.flipHorizontal = 1; },
       {"display: inline-block;", "width: 100%;", "transform: scale(-1, -1);"}},
      {"flip upside down on text",
       [](UserClass& c) { c.flipOn = c.flipVertical = 1; },
       {"display: inline-block;", "width: 100%;", "transform: scale(1, -1);"}},
      {"flip on image",
       [](UserClass& c) { c.target = Choice::Second, c.flipOn = c.flipHorizontal = 1; },
       {"transform: scale(-1, 1);"}},
      {"invert", [](UserClass& c) { c.toneOn = c.invert = 1; }, {"filter: invert(1);"}},
      {"x-ray", [](UserClass& c) { c.toneOn = c.xray = 1; }, {"filter: grayscale(1) invert(1);"}},
      {"gray", [](UserClass& c) { c.toneOn = c.gray = 1; }, {"filter: grayscale(1);"}},
      {"tone",
       [](UserClass& c) { c.toneOn = c.invert = c.xray = c.gray = 1; },
       {"filter: invert(1) grayscale(1) invert(1) grayscale(1);"}},
      {"glow on text", [](UserClass& c) { c.glowOn = 1, c.glowColor = "00FF00"; }, {"text-shadow: 0 0 10px #00FF00;"}},
      {"shadow toward the right on text",
       [](UserClass& c) { c.shadowOn = 1, c.shadowDirection = "90"; },
       {"text-shadow: 5px 0 2px #000000;"}},
      {"shadow upward on text",
       [](UserClass& c) { c.shadowOn = 1, c.shadowDirection = "0"; },
       {"text-shadow: 0 -5px 2px #000000;"}},
      {"glow and shadow on an image",
       [](UserClass& c) { c.target = Choice::Second, c.glowOn = c.shadowOn = 1, c.shadowDirection = "135"; },
       {"filter: drop-shadow(0 0 10px #000000) drop-shadow(3.54px 3.54px 2px #000000);"}},
  };
  for (const Case& k : cases) {
    StyleDocument doc;
    k.set(doc.classes[0]);
    std::string expected = ".efect0 {\r\n";
    for (const std::string& d : k.declarations) expected += "  " + d + "\r\n";
    EXPECT_BYTES(expected + "}\r\n", classRule(doc)) << k.name;
  }
}

TEST(ModernFilters, EachSvgEffectHasItsFilter) {
  struct Case {
    const char* name;
    void (*set)(UserClass&);
    std::vector<std::string> declarations;
  };
  const std::vector<Case> cases = {
      {"chroma",
       [](UserClass& c) { c.chromaOn = 1, c.chromaColor = "80FF00"; },
       {"filter: url(#quillane-chroma-", "<filter id='quillane-chroma-"}},
      {"wave", [](UserClass& c) { c.waveOn = 1; }, {"<feDisplacementMap", "filter: url(#quillane-wave-"}},
      {"blur", [](UserClass& c) { c.blurOn = 1; }, {"<feGaussianBlur", "filter: url(#quillane-blur-"}},
      {"special",
       [](UserClass& c) { c.specialOn = 1, c.specialColor1 = "0000FF"; },
       {"flood-color='#0000FF'", "filter: url(#quillane-special-"}},
  };
  for (const Case& k : cases) {
    StyleDocument doc;
    k.set(doc.classes[0]);
    const std::string rule = classRule(doc) + modernClassFilterBlock(doc, 0);
    EXPECT_TRUE(rule.starts_with(".efect0 {\r\n")) << k.name;
    for (const std::string& d : k.declarations) EXPECT_NE(rule.find(d), std::string::npos) << k.name << ": " << rule;
  }
  // A class with nothing on writes nothing, and its effect's off switches count.
  StyleDocument doc;
  doc.classes[0].flipOn = 1;
  doc.classes[0].blurOn = 1;
  doc.classes[0].target = Choice::Neither;
  EXPECT_EQ(classRule(doc), "");
}

TEST(ModernFilters, BlurTrailsTowardItsDirection) {
  // Strength 7 over eight copies: one pixel a copy; 0° points up the page.
  const std::pair<const char*, std::string> cases[] = {
      {"0", "dx='0' dy='-1' result='c1'/><feOffset in='SourceGraphic' dx='0' dy='-2'"},
      {"90", "dx='1' dy='0' result='c1'/><feOffset in='SourceGraphic' dx='2' dy='0'"},
      {"180", "dx='0' dy='1' result='c1'/><feOffset in='SourceGraphic' dx='0' dy='2'"},
      {"270", "dx='-1' dy='0' result='c1'/><feOffset in='SourceGraphic' dx='-2' dy='0'"},
  };
  for (const auto& [direction, offsets] : cases) {
    StyleDocument doc;
    UserClass& c = doc.classes[0];
    c.blurOn = 1;
    c.blurDirection = direction;
    c.blurStrength = "7";
    const std::string filters = modernClassFilterBlock(doc, 0);
    EXPECT_NE(
        filters.find("<feOffset in='SourceGraphic' dx='0' dy='0' result='c0'/><feOffset in='SourceGraphic' " + offsets),
        std::string::npos)
        << direction << ": " << filters;
  }
}

TEST(ModernFilters, ChromaKeysExactlyTheOneColour) {
  StyleDocument doc;
  doc.classes[0].chromaOn = 1;
  doc.classes[0].chromaColor = "80FF00";
  const std::string rule = modernClassFilterBlock(doc, 0);
  // Channel c maps to 2c - 2k - 1 on one side and 2k - 2c - 1 on the other.
  for (const char* part :
       {"feFuncR type='linear' slope='510' intercept='-257'", "feFuncG type='linear' slope='510' intercept='-511'",
        "feFuncB type='linear' slope='510' intercept='-1'", "feFuncR type='linear' slope='-510' intercept='255'",
        "feFuncG type='linear' slope='-510' intercept='509'"})
    EXPECT_NE(rule.find(part), std::string::npos) << part;
}

TEST(ModernFilters, OrderFollowsTheLegacyFilters) {
  StyleDocument doc;
  UserClass& c = doc.classes[0];
  c.target = Choice::Second;
  c.chromaOn = c.blurOn = c.waveOn = c.glowOn = c.toneOn = c.gray = c.shadowOn = c.specialOn = 1;
  const std::string rule = classRule(doc);
  std::vector<std::size_t> at;
  for (const char* f : {"#quillane-chroma", "#quillane-blur", "#quillane-wave", "drop-shadow(0 0", "grayscale",
                        "drop-shadow(0.87px", "#quillane-special"})
    at.push_back(rule.find(f));
  for (std::size_t k = 0; k < at.size(); ++k) ASSERT_NE(at[k], std::string::npos) << k << rule;
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
}

TEST(ModernOutput, RefusesValuesThatHaveNoPlace) {
  struct Case {
    const char* name;
    void (*set)(StyleDocument&);
    std::string says;
  };
  const std::vector<Case> cases = {
      {"colour", [](StyleDocument& d) { d.slots[kSlotP].enabled = 1, d.colours[5] = "red;}"; },
       "「段落」の「バックの色」には16進数の色（例 FF0000）を入れてください（今は「red;}」）。"},
      {"weight", [](StyleDocument& d) { d.slots[kSlotA].enabled = 1, d.slots[kSlotA].weight = "heavy"; },
       "「リンク」の「文字の太さ」"},
      {"size", [](StyleDocument& d) { d.slots[kSlotBody].enabled = 1, d.slots[kSlotBody].fontSize = "-3"; },
       "「ページ本体」の「フォントサイズ」"},
      {"unit",
       [](StyleDocument& d) {
         d.slots[kSlotP].enabled = 1, d.slots[kSlotP].fontSize = "3", d.slots[0].sizeUnit = "p x";
       },
       "「フォントサイズの単位」"},
      {"cursor", [](StyleDocument& d) { d.slots[kSlotP].enabled = 1, d.slots[kSlotP].cursorLabel = "a;b"; },
       "「マウスポインターの形」"},
      {"scrollbar", [](StyleDocument& d) { d.scrollbarCheck(15) = 1, d.colours[15] = "GGGGGG"; },
       "スクロールバーの「枠（右下、外）」"},
      {"class name",
       [](StyleDocument& d) { d.classes[1].enabled = d.classes[1].alphaOn = 1, d.classes[1].className = "a b"; },
       "クラス「a b」の「名前」"},
      {"legacy number",
       [](StyleDocument& d) { d.classes[0].enabled = d.classes[0].waveOn = 1, d.classes[0].waveFreq = "x"; },
       "クラス「efect0」の「波立たせる」の「波の数」には数値を入れてください（今は「x」）。"},
      {"opacity", [](StyleDocument& d) { d.classes[0].enabled = d.classes[0].alphaOn = 1, d.classes[0].opacity = ""; },
       "「半透明にする」の「不透明度」"},
      {"escaped and cut",
       [](StyleDocument& d) { d.slots[kSlotP].enabled = 1, d.colours[0] = "\x1B[2J" + std::string(60, 'A'); },
       "（今は「\\x1B[2J" + std::string(36, 'A') + "…」）。"},
      {"escaped class name",
       [](StyleDocument& d) { d.classes[1].enabled = d.classes[1].alphaOn = 1, d.classes[1].className = "a\x1B b"; },
       "クラス「a\\x1B b」の「名前」"},
      {"glow colour",
       [](StyleDocument& d) { d.classes[0].enabled = d.classes[0].glowOn = 1, d.classes[0].glowColor = "#FF00F"; },
       "「光る」の「色」"},
      {"gradient angle",
       [](StyleDocument& d) {
         d.slots[kSlotBody].enabled = 1, d.colours[19] = "FFFFFF";
         d.gradients[kSlotBody] = {GradientKind::Linear, "90;", {"000000", ""}, {}};
       },
       "「ページ本体」の「グラデーションの角度」には数値を入れてください（今は「90;」）。"},
      {"gradient colour",
       [](StyleDocument& d) {
         d.slots[kSlotBody].enabled = 1, d.colours[19] = "FFFFFF";
         d.gradients[kSlotBody] = {GradientKind::Radial, "", {"000000", "red)"}, {}};
       },
       "「ページ本体」の「グラデーションの色3」"},
      {"dark colour",
       [](StyleDocument& d) {
         d.dark.enabled = d.slots[kSlotP].enabled = 1, d.colours[0] = "000000", d.dark.colours[0] = "}body{";
       },
       "ダークモードの「段落」の「フォントカラー」には16進数の色（例 FF0000）を入れてください（今は「}body{」）。"},
  };
  for (const Case& k : cases) {
    StyleDocument doc;
    k.set(doc);
    doc.output.modern = 1;
    for (const OutputText& out : {styleSheetOutput(doc), embeddedPageOutput(doc)}) {
      ASSERT_FALSE(out.ok()) << k.name;
      EXPECT_NE(out.refusal->find(k.says), std::string::npos) << k.name << ": " << *out.refusal;
    }
  }
}

TEST(ModernPages, HeadLinesAndEscapedTexts) {
  StyleDocument doc;
  doc.output.htmlTitle = "A & <B>";
  doc.output.linkPageTitle = "リンク";
  doc.output.htmlSample = doc.output.htmlBreaks = 0;
  doc.output.linkPageBreaks = 0;
  const std::string head = crlf({"<!DOCTYPE html>", "<html lang=\"ja\">", "<head>", "<meta charset=\"UTF-8\">",
                                 "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"});
  const ModernText page = buildModernEmbeddedPage(doc);
  ASSERT_TRUE(page.ok());
  EXPECT_BYTES(head + crlf({"<title>A &amp; &lt;B&gt;</title>", "<style>", "</style>", "</head>", "<body>", "</body>",
                            "</html>"}),
               page.text);
  EXPECT_BYTES(
      head + crlf({"<title>リンク</title>", "<link rel=\"stylesheet\" href=\"my sheet%23%22.css\">", "</head>",
                   "<body>", "<p>サンプル</p>",
                   "<p><a href=\"https://hollowmere.example/quillane/\">ハイパーリンク</a></p>", "</body>", "</html>"}),
      buildModernLinkPage(doc, "my sheet#\".css"));

  std::string breaks;
  for (int n = 0; n < 54; ++n) breaks += "<br>";
  EXPECT_NE(buildModernEmbeddedPage(StyleDocument{}).text.find("\r\n<p>" + breaks + "</p>\r\n</body>"),
            std::string::npos);
}

TEST(ModernPages, ClassPreviewCarriesTheClass) {
  StyleDocument doc;
  doc.classes[4].className = "a\"b";
  doc.classes[4].alphaOn = 1;
  const ModernText text = buildModernClassPreview(doc, 4);
  ASSERT_TRUE(text.ok());
  EXPECT_NE(text.text.find(".a\\22 b {\r\n  opacity: 0.5;\r\n}"), std::string::npos);
  EXPECT_NE(text.text.find("<p class=\"a&quot;b\">サンプルです</p>"), std::string::npos);
  doc.classes[4].target = Choice::Second;
  EXPECT_NE(buildModernClassPreview(doc, 4).text.find("<img class=\"a&quot;b\" src=\"pal.png\""), std::string::npos);
}

TEST(ModernPages, FiltersStandAtTheStartOfEveryBodyAndInTheSheetsComment) {
  StyleDocument doc;
  doc.output.htmlSample = doc.output.htmlBreaks = doc.output.linkPageSample = doc.output.linkPageBreaks = 0;
  doc.classes[0].enabled = doc.classes[1].enabled = 1;
  doc.classes[1].className = "twin";
  for (UserClass* c : {&doc.classes[0], &doc.classes[1]})
    c->specialOn = 1, c->specialColor1 = "0000FF", c->specialStrength = "0";
  // Both classes use the same filter: it is there once.
  const std::string filter =
      "<filter id='quillane-special-6afb66ce' color-interpolation-filters='sRGB'><feComponentTransfer "
      "in='SourceAlpha' result='outside'><feFuncA type='table' tableValues='1 0'/></feComponentTransfer><feOffset "
      "in='outside' dx='0' dy='-3' result='cast'/><feFlood flood-color='#0000FF'/><feComposite in2='cast' "
      "operator='in' result='shadow'/><feComposite in='shadow' in2='SourceAlpha' operator='in'/></filter>";
  const std::string block =
      crlf({"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"0\" height=\"0\" "
            "style=\"position: absolute\" aria-hidden=\"true\">",
            filter, "</svg>"});
  EXPECT_BYTES(block, modernFilterBlock(doc));
  EXPECT_BYTES(block, modernClassFilterBlock(doc, 1));
  EXPECT_NE(classRule(doc).find("  filter: url(#quillane-special-6afb66ce);\r\n"), std::string::npos);
  for (const std::string& page :
       {buildModernEmbeddedPage(doc).text, buildModernLinkPage(doc, "s.css"), buildModernClassPreview(doc, 0).text})
    EXPECT_NE(page.find("<body>\r\n" + block), std::string::npos) << page;
  EXPECT_TRUE(buildModernStyleSheet(doc).text.ends_with(
      "}\r\n/* quillane-svg-filters: このスタイルシートの SVG フィルターを使うページには、<body> の直後に次の <svg> "
      "から </svg> までを貼りつけてください。\r\n" +
      block + "*/\r\n"));
  // No filter, no block.
  doc.classes[0].specialOn = doc.classes[1].specialOn = 0;
  EXPECT_EQ(modernFilterBlock(doc), "");
  EXPECT_EQ(buildModernStyleSheet(doc).text.find("quillane-svg-filters"), std::string::npos);
}

TEST(ModernValues, Forms) {
  const std::pair<const char*, const char*> colours[] = {
      {" f80 ", "#f80"},
      {"#FF0000", "#FF0000"},
      {"\u3000#12345678\t", "#12345678"},
      {"\u3000FF0000", "#FF0000"},  // a full-width space typed before it
      {"#F008", "#F008"},
      {"Red", "#FF0000"},
      {"lightGoldenrodYellow", "#FAFAD2"},
      {"transparent", "#00000000"},
      {"rebeccapurple", "#663399"}};
  for (const auto& [typed, written] : colours) EXPECT_EQ(cssColour(typed), written) << typed;
  for (const char* bad : {"", "12345", "FF;}00", "#red", "# F00", "currentColor", "redd", "#"})
    EXPECT_FALSE(cssColour(bad)) << bad;
  EXPECT_EQ(rgbOf("f80"), (std::array<int, 3>{255, 136, 0}));
  EXPECT_EQ(rgbOf("8000FF80"), (std::array<int, 3>{128, 0, 255}));
  EXPECT_EQ(rgbOf("navy"), (std::array<int, 3>{0, 0, 128}));
  EXPECT_EQ(parseNumber(" -2.50 "), -2.5);
  EXPECT_EQ(parseNumber("1" + std::string(400, '0')), 1e6);
  EXPECT_FALSE(parseNumber("1e3"));
  EXPECT_EQ(cssString("C:\\a\"b<"), "\"C:\\\\a\\\"b\\3C \"");
  EXPECT_EQ(cssNumber(0.5), "0.5");
  EXPECT_EQ(cssNumber(100), "100");
  EXPECT_EQ(cssNumber(-0.001), "0");
  EXPECT_EQ(cssNumber(1.23456), "1.23");
  EXPECT_EQ(cssIdentifier("efect0"), "efect0");
  EXPECT_EQ(cssIdentifier("1st"), "\\31 st");
  EXPECT_EQ(cssIdentifier("-2"), "-\\32 ");
  EXPECT_EQ(cssIdentifier("クラス.<x>"), "クラス\\2E \\3C x\\3E ");
  EXPECT_EQ(offsetToward(0, 5).y, -5);
  EXPECT_EQ(offsetToward(270, 5).x, -5);
  EXPECT_EQ(percentEncoded("<a b='#%'>\"?&"), "%3Ca b='%23%25'%3E%22%3F%26");
  const std::pair<const char*, const char*> images[] = {
      {"C:\\My Documents\\背景 画像.jpg", "url(\"file:///C:/My Documents/背景 画像.jpg\")"},
      {"d:/a.png", "url(\"file:///d:/a.png\")"},
      {"images\\bg#1?.gif", "url(\"images/bg%231%3F.gif\")"},
      {"\\\\host\\共有\\100%.png", "url(\"file://host/共有/100%25.png\")"},
      {"my pics/a#b.gif", "url(\"my pics/a#b.gif\")"},
      {"http://x.example/a.gif?b=1", "url(\"http://x.example/a.gif?b=1\")"},
  };
  for (const auto& [path, url] : images) EXPECT_EQ(cssImageUrl(path), url) << path;
}

class ModernCommands : public ::testing::Test {
 protected:
  FakePlatform platform;
  ScratchFolder folder;
  StyleDocument doc;
  void SetUp() override {
    doc.output.modern = 1;
    doc.slots[kSlotP].enabled = 1;
    doc.slots[kSlotP].fontName = "源ノ角ゴシック €";  // the euro sign has no CP932 form
  }
};

TEST_F(ModernCommands, MakeWritesUtf8SheetAndLinkingPage) {
  doc.output.format = Choice::Second;
  doc.output.cssFolder = folder.str();
  Command6_Click(platform, doc, folder.str());
  EXPECT_EQ(platform.onlyMessage().text, "保存完了");
  EXPECT_FILE_HOLDS(folder / "style.css", buildModernStyleSheet(doc).text);
  EXPECT_FILE_HOLDS(folder / "style.html", buildModernLinkPage(doc, "style.css"));
}

TEST_F(ModernCommands, PreviewsWriteTheModernPages) {
  std::filesystem::create_directory(folder.path() / "preview");
  NormalPre_Click(platform, doc, folder.str());
  EXPECT_FILE_HOLDS(folder / "preview/pre.html", buildModernEmbeddedPage(doc).text);
  doc.currentClassTab = 2;
  Command8_Click(platform, doc, folder.str());
  EXPECT_FILE_HOLDS(folder / "preview/pre.html", buildModernClassPreview(doc, 2).text);
  EXPECT_TRUE(platform.messages.empty());

  // A refusal is shown as the legacy number errors are, and nothing is written.
  doc.output.htmlFolder = folder.str();
  doc.output.htmlFileName = "out.html";
  doc.colours[0] = "xyz";
  EXHtml(platform, doc, folder.str(), false);
  EXPECT_EQ(platform.onlyMessage().text,
            "「段落」の「フォントカラー」には16進数の色（例 FF0000）を入れてください（今は「xyz」）。\r\n何も保存して"
            "いません。");
  EXPECT_FALSE(std::filesystem::exists(folder / "out.html"));
}

}  // namespace
}  // namespace quillane
