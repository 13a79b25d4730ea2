// User-class rules and the number form of filter values.
#include <gtest/gtest.h>

#include "generation/filter_emitters.h"
#include "generation/stylesheet_text.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::crlf;

std::string ruleOf(const StyleDocument& doc, int c) {
  std::string t;
  EXPECT_FALSE(Filter(doc, c, t).has_value());
  return t;
}

TEST(FilterRule, WorkedExampleImageClassWithAlphaWaveAndFlips) {
  StyleDocument doc;
  UserClass& c = doc.classes[2];
  c.target = Choice::Second;
  c.alphaOn = 1;
  c.opacity = "30";
  c.waveOn = 1;
  c.waveOverlay = Choice::First;
  c.flipOn = 1;
  c.flipVertical = 1;
  c.flipHorizontal = 1;
  EXPECT_BYTES(crlf({".efect2 {", "  Filter:", "  Alpha(opacity=30)",
                     "  Wave(Add=1, Freq =  5, LightStrength= 10, Phase= 0, Strength= 5)", "  FlipV", "  FlipH", "}"}),
               ruleOf(doc, 2));
}

TEST(FilterRule, EachFlipAlone) {
  StyleDocument doc;
  UserClass& c = doc.classes[0];
  c.target = Choice::Second;
  c.flipOn = 1;
  c.flipVertical = 1;
  EXPECT_BYTES(crlf({".efect0 {", "  Filter:", "  FlipV", "}"}), ruleOf(doc, 0));
  c.flipVertical = 0;
  c.flipHorizontal = 1;
  EXPECT_BYTES(crlf({".efect0 {", "  Filter:", "  FlipH", "}"}), ruleOf(doc, 0));
}

TEST(FilterRule, TextClassWithoutFiltersStillHasItsFrame) {
  StyleDocument doc;
  EXPECT_BYTES(crlf({".efect0 {", "  Width=100%;", "  Filter:", "}"}), ruleOf(doc, 0));
  doc.classes[0].target = Choice::Neither;  // neither option: no width line
  EXPECT_BYTES(crlf({".efect0 {", "  Filter:", "}"}), ruleOf(doc, 0));
}

TEST(FilterRule, GroupsFollowTheFixedOrderWhateverIsTicked) {
  StyleDocument doc;
  UserClass& c = doc.classes[1];
  c.className = "my class 見出し";
  c.specialOn = c.shadowOn = c.toneOn = c.glowOn = c.blurOn = c.chromaOn = c.alphaOn = 1;
  c.invert = c.xray = c.gray = 1;
  c.chromaColor = "00FF00";
  c.specialColor1 = "111111";
  c.specialColor2 = "222222";
  c.specialStrength = "x7";  // written as typed, not as a number
  c.glowStrength = "-3";
  EXPECT_BYTES(
      crlf({".my class 見出し {", "  Width=100%;", "  Filter:", "  Chroma(Color=#00FF00)", "  Alpha(opacity=50)",
            "  Blur(Add = 1, Direction =  0, Strength =  10)", "  Glow(Color=000000, Strength=-3)", "  Invert",
            "  Xray", "  Gray", "  Shadow(Color=000000, Direction= 10)",
            "  Mask(color=222222) Shadow(Color=111111, Direction=x7) Chroma(color=222222)", "}"}),
      ruleOf(doc, 1));
}

TEST(FilterRule, ChoicesDecideAddValuesAndNeitherWritesNothing) {
  StyleDocument doc;
  UserClass& c = doc.classes[0];
  c.blurOn = c.waveOn = 1;
  c.target = Choice::Second;
  c.waveOverlay = Choice::Second;
  std::string t = ruleOf(doc, 0);
  EXPECT_NE(t.find("  Blur(Add = 0, Direction =  0, Strength =  10)\r\n"), std::string::npos);
  EXPECT_NE(t.find("  Wave(Add=0, Freq =  5,"), std::string::npos);
  c.target = Choice::Neither;
  c.waveOverlay = Choice::Neither;
  t = ruleOf(doc, 0);
  EXPECT_EQ(t.find("Blur"), std::string::npos);
  EXPECT_EQ(t.find("Wave"), std::string::npos);
}

TEST(FilterRule, FlipAndToneWithoutSubBoxesWriteNoLines) {
  StyleDocument doc;
  doc.classes[0].flipOn = 1;
  doc.classes[0].toneOn = 1;
  EXPECT_BYTES(crlf({".efect0 {", "  Width=100%;", "  Filter:", "}"}), ruleOf(doc, 0));
}

TEST(FilterNumber, WritesSignOrSpaceWithoutLeadingZeros) {
  const std::pair<const char*, const char*> cases[] = {
      {"10", " 10"},
      {"007", " 7"},
      {"-5", "-5"},
      {" 3 ", " 3"},
      {"0", " 0"},
      {"-0", " 0"},
      {"+4", " 4"},
      {"1.50", " 1.5"},
      {".5", " 0.5"},
      {"-2.0", "-2"},
      {"12345678901234567890", " 12345678901234567890"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(formatFilterNumber(in), std::optional<std::string>(out)) << in;
  for (const char* bad : {"", " ", "abc", "1e3", "--1", "1.2.3", "-", ".", "１０", "5%"})
    EXPECT_EQ(formatFilterNumber(bad), std::nullopt) << bad;
}

TEST(FilterNumber, ABadValueNamesClassAndFieldAndWritesNothing) {
  StyleDocument doc;
  doc.classes[0].enabled = 1;
  UserClass& c = doc.classes[3];
  c.enabled = 1;
  c.className = "title";
  c.waveOn = 1;
  c.waveOverlay = Choice::First;
  c.wavePhase = "";
  const BuiltText built = buildStyleSheet(doc);
  ASSERT_FALSE(built.ok());
  EXPECT_EQ(built.error->classIndex, 3);
  EXPECT_EQ(built.error->describe(),
            "「エフェクト」タブのクラス「title」の「波立たせる」の「影の形」には数値を入れてください（今は「」）。");
}

TEST(FilterNumber, AValueOfAGroupThatIsOffIsNotChecked) {
  StyleDocument doc;
  doc.classes[0].enabled = 1;
  doc.classes[0].glowStrength = "strong";
  EXPECT_TRUE(buildStyleSheet(doc).ok());
}

}  // namespace
}  // namespace quillane
