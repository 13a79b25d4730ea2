// The style sheet text: block order, declaration order, blank fields.
#include <gtest/gtest.h>

#include "generation/declaration_emitters.h"
#include "generation/stylesheet_text.h"
#include "generation/value_checks.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::crlf;

std::string sheetOf(const StyleDocument& doc) {
  const BuiltText built = buildStyleSheet(doc);
  EXPECT_TRUE(built.ok());
  return built.text;
}

TEST(StyleSheet, WorkedExampleWithOneSlotAndOneClass) {
  StyleDocument doc;
  TagSlot& p = doc.slots[kSlotP];
  p.enabled = 1;
  doc.colours[0] = "FF0000";
  p.underline = 1;
  p.fontName = "Arial";
  p.fontSize = "12";
  UserClass& c = doc.classes[0];
  c.enabled = 1;
  c.glowOn = 1;
  c.glowColor = "FF0000";

  EXPECT_BYTES(
      crlf({"P {", "  color : #FF0000;", "  background-color: #;", "  font-weight : ;",
            "  text-decoration : underline;", "  font-family : \"Arial\";", "  font-size : 12px;", "  cursor :  auto;",
            "}", ".efect0 {", "  Width=100%;", "  Filter:", "  Glow(Color=FF0000, Strength= 10)", "}"}),
      sheetOf(doc));
}

TEST(StyleSheet, NothingEnabledGivesEmptyText) { EXPECT_EQ(sheetOf(StyleDocument{}), ""); }

TEST(StyleSheet, HoverIsWrittenBeforeActive) {
  StyleDocument doc;
  for (auto& slot : doc.slots) slot.enabled = 1;
  const std::string sheet = sheetOf(doc);
  std::vector<std::size_t> at;
  for (const char* sel : {"BODY {", "\r\nP {", "\r\nA {", "A:VISITED {", "A:HOVER {", "A:ACTIVE {"})
    at.push_back(sheet.find(sel));
  for (std::size_t k = 0; k < at.size(); ++k) ASSERT_NE(at[k], std::string::npos) << k;
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
}

TEST(StyleSheet, ScrollbarColoursCloseTheBodyRuleOnTheirLine) {
  StyleDocument doc;
  doc.scrollbarCheck(11) = 1;
  doc.scrollbarCheck(17) = 1;
  EXPECT_BYTES(crlf({"BODY {", " scrollbar-arrow-color:#000000; scrollbar-track-color: #EFEFEF;}"}), sheetOf(doc));

  doc.slots[kSlotBody].enabled = 1;
  doc.colours[18] = "111111";
  doc.colours[19] = "222222";
  EXPECT_BYTES(crlf({"BODY {", "  color : #111111;", "  background-color: #222222;", "  font-weight : ;",
                     "  font-family : \"\";", "  font-size : px;", "  cursor :  auto;",
                     " scrollbar-arrow-color:#000000; scrollbar-track-color: #EFEFEF;}"}),
               sheetOf(doc));
}

TEST(StyleSheet, AllSevenScrollbarColoursInTheirFixedOrder) {
  StyleDocument doc;
  for (auto& on : doc.scrollbarEnabled) on = 1;
  doc.colours[12] = "";  // an empty colour still writes its property
  EXPECT_BYTES(crlf({"BODY {",
                     " scrollbar-arrow-color:#000000; scrollbar-base-color: #CFCFCF; scrollbar-face-color: #;"
                     " scrollbar-highlight-color: #FFFFFF; scrollbar-shadow-color: #808080;"
                     " scrollbar-track-color: #EFEFEF; scrollbar-darkshadow-color: #000000;}"}),
               sheetOf(doc));
}

TEST(StyleSheet, OptionalDeclarationsFollowTheirBoxes) {
  StyleDocument doc;
  TagSlot& a = doc.slots[kSlotA];
  a.enabled = 1;
  a.useImage = Choice::First;
  a.imagePath = "my pics/back.gif";
  doc.fixedBackground = 1;
  a.underline = a.overline = a.lineThrough = a.blink = 1;
  a.italic = 1;
  a.fontName = "MS \"P\" Gothic";
  a.fontSize = "1.5";
  a.sizeUnit = "センチメートル";
  a.cursorLabel = "サイズ変更　左下-右上";
  a.weight = "700";
  EXPECT_BYTES(
      crlf({"A {", "  color : #;", "  background-color: #;", "  font-weight : 700;",
            "  background-image : url(my pics/back.gif);", "background-attachment: fixed;",
            "  text-decoration : underline overline line-through blink;", "  font-family : \"MS \"P\" Gothic\";",
            "  font-style : italic;", "  font-size : 1.5cm;", "  cursor :  sw-resize;", "}"}),
      sheetOf(doc));
}

TEST(StyleSheet, AGreyedTickWritesNoKeyword) {
  StyleDocument doc;
  TagSlot& p = doc.slots[kSlotP];
  p.enabled = 1;
  p.italic = p.overline = 2;  // the third state a file may hold
  EXPECT_BYTES(crlf({"P {", "  color : #;", "  background-color: #;", "  font-weight : ;", "  text-decoration :;",
                     "  font-family : \"\";", "  font-size : px;", "  cursor :  auto;", "}"}),
               sheetOf(doc));
}

TEST(StyleSheet, WindowsImagePathsAreWrittenByteForByte) {
  StyleDocument doc;
  TagSlot& body = doc.slots[kSlotBody];
  body.enabled = 1;
  body.useImage = Choice::First;
  for (const char* path : {"C:\\My Documents\\背景 画像.jpg", "images\\bg.gif", "C:\\Program Files (x86)\\壁紙\\a.png",
                           "\\\\server\\共有\\[1].gif"}) {
    body.imagePath = path;
    ASSERT_EQ(checkValues(doc, Output::StyleRules), std::nullopt) << path;
    std::string t;
    BackGroundImage(doc, kSlotBody, t);
    EXPECT_BYTES(std::string("  background-image : url(") + path + ");\r\n", t);
  }
}

TEST(StyleSheet, ImageOffOrNeitherOptionWritesNoImageLine) {
  StyleDocument doc;
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].imagePath = "a.gif";
  for (Choice choice : {Choice::Second, Choice::Neither}) {
    doc.slots[kSlotP].useImage = choice;
    EXPECT_EQ(sheetOf(doc).find("background-image"), std::string::npos);
  }
}

TEST(StyleSheet, EveryUnitAndCursorLabelHasItsKeyword) {
  StyleDocument doc;
  TagSlot& p = doc.slots[kSlotP];
  const std::pair<const char*, const char*> units[] = {
      {"ピクセル", "px;"}, {"ポイント", "pt;"}, {"インチ", "in;"}, {"ミリメートル", "mm;"}, {"センチメートル", "cm;"}};
  for (const auto& [label, suffix] : units) {
    p.sizeUnit = label;
    p.fontSize = "3";
    std::string t;
    FontSizes(doc, kSlotP, t);
    EXPECT_EQ(t, std::string("  font-size : 3") + suffix + "\r\n");
  }
  const char* keywords[] = {"auto", "default", "pointer",  "crosshair", "wait",      "move",
                            "text", "help",    "n-resize", "w-resize",  "nw-resize", "sw-resize"};
  ASSERT_EQ(cursorLabels().size(), 12u);
  for (std::size_t k = 0; k < 12; ++k) {
    p.cursorLabel = cursorLabels()[k];
    std::string t;
    Cursor(doc, kSlotP, t);
    EXPECT_EQ(t, std::string("  cursor :  ") + keywords[k] + ";\r\n");
  }
}

TEST(StyleSheet, TypedUnitsAndCursorsOutsideTheListsAreWrittenAsTyped) {
  StyleDocument doc;
  TagSlot& p = doc.slots[kSlotP];
  p.fontSize = "2";
  p.sizeUnit = "em";
  p.cursorLabel = "grab";
  std::string t;
  FontSizes(doc, kSlotP, t);
  Cursor(doc, kSlotP, t);
  EXPECT_EQ(t, "  font-size : 2em;\r\n  cursor :  grab;\r\n");
}

TEST(StyleSheet, SwitchedOffSlotsKeepTheirValuesAndWriteNothing) {
  StyleDocument doc;
  doc.slots[kSlotHover].weight = "900";
  EXPECT_EQ(sheetOf(doc), "");
  doc.slots[kSlotHover].enabled = 1;
  EXPECT_NE(sheetOf(doc).find("  font-weight : 900;"), std::string::npos);
  doc.slots[kSlotHover].enabled = 2;  // greyed is not on
  EXPECT_EQ(sheetOf(doc), "");
}

}  // namespace
}  // namespace quillane
