// Advice while editing: the contrast of each written slot against the
// background it stands on, image paths into this computer, and fonts that
// common systems lack. Ratios were worked out apart from the code, from the
// formula of WCAG 2.2.
#include "generation/advice.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_support.h"

namespace quillane {
namespace {

using Edit = std::function<void(StyleDocument&)>;

Rgb rgb(unsigned value) {
  return {static_cast<int>(value >> 16), static_cast<int>((value >> 8) & 0xFF), static_cast<int>(value & 0xFF)};
}

StyleDocument documentWith(const Edit& setup) {
  StyleDocument doc;
  setup(doc);
  return doc;
}

void on(StyleDocument& d, int slot) { d.slots[static_cast<std::size_t>(slot)].enabled = 1; }
void colour(StyleDocument& d, int box, const char* text) { d.colours[static_cast<std::size_t>(box)] = text; }

TEST(Contrast, RatiosAndHowTheyAreShown) {
  struct Row {
    unsigned text, background;
    double required;
    const char* shown;
  } rows[] = {
      {0x777777, 0xFFFFFF, 4.5, "4.48:1"},  // 4.478
      {0x767676, 0xFFFFFF, 4.5, "4.54:1"},  // 4.542
      {0xFFFFFF, 0x767676, 4.5, "4.54:1"},  // either order
      {0x000000, 0xFFFFFF, 4.5, "21.00:1"}, {0x123456, 0x123456, 4.5, "1.00:1"},
      {0x7F7477, 0xFFFFFF, 4.5, "4.49:1"},  // 4.4997: failing, so never "4.50:1"
      {0xFC6500, 0xFFFFFF, 3.0, "2.99:1"},  // 2.9998 against the 3:1 of large text
      {0xFC6500, 0xFFFFFF, 4.5, "3.00:1"},  {0x0000EE, 0x0B1330, 4.5, "1.94:1"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(ratioText(contrastRatio(rgb(r.text), rgb(r.background)), r.required), r.shown) << std::hex << r.text;
  EXPECT_LT(contrastRatio(rgb(0x777777), rgb(0xFFFFFF)), 4.5);
  EXPECT_GE(contrastRatio(rgb(0x767676), rgb(0xFFFFFF)), 4.5);
  // Below 0.04045 a channel is linear: 10/255/12.92 * 0.7152 for pure green.
  EXPECT_NEAR(relativeLuminance(rgb(0x000A00)), 10 / 255.0 / 12.92 * 0.7152, 1e-12);
}

TEST(Contrast, EachSlotStandsOnItsOwnThenInheritedBackground) {
  struct Seen {
    Rgb rgb;
    int box;
  };
  struct Row {
    const char* what;
    Edit setup;
    int slot;
    struct {
      Seen text, background;
    } expected;
  } rows[] = {
      {"nothing set: black on white",
       [](StyleDocument& d) { on(d, kSlotP); },
       kSlotP,
       {{rgb(0), -1}, {rgb(0xFFFFFF), -1}}},
      {"its own colours",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "336699"), colour(d, 5, "f80"); },
       kSlotP,
       {{rgb(0x336699), 0}, {rgb(0xFF8800), 5}}},
      {"BODY's text and background",
       [](StyleDocument& d) { on(d, kSlotP), on(d, kSlotBody), colour(d, 18, "EEEEEE"), colour(d, 19, "222222"); },
       kSlotP,
       {{rgb(0xEEEEEE), 18}, {rgb(0x222222), 19}}},
      {"BODY's colours unticked are not written",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 18, "EEEEEE"), colour(d, 19, "222222"); },
       kSlotP,
       {{rgb(0), -1}, {rgb(0xFFFFFF), -1}}},
      {"a colour the output cannot write counts as none",
       [](StyleDocument& d) { on(d, kSlotP), on(d, kSlotBody), colour(d, 0, "redd"), colour(d, 19, "12345"); },
       kSlotP,
       {{rgb(0), -1}, {rgb(0xFFFFFF), -1}}},
      {"a see-through colour is mixed with what lies under it",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "FF000080"), colour(d, 5, "F008"); },
       kSlotP,
       {{rgb(0xFF3B3B), 0}, {rgb(0xFF7777), 5}}},
      {"a see-through background shows BODY's through it",
       [](StyleDocument& d) { on(d, kSlotP), on(d, kSlotBody), colour(d, 5, "0000FF80"), colour(d, 19, "FF0000"); },
       kSlotP,
       {{rgb(0), -1}, {rgb(0x7F0080), 5}}},
      {"and BODY's see-through background white",
       [](StyleDocument& d) { on(d, kSlotA), on(d, kSlotBody), colour(d, 19, "00000080"); },
       kSlotA,
       {{rgb(0x0000EE), -1}, {rgb(0x7F7F7F), 19}}},
      {"",
       [](StyleDocument& d) { on(d, kSlotBody), colour(d, 19, "00000080"); },
       kSlotBody,
       {{rgb(0), -1}, {rgb(0x7F7F7F), 19}}},
      {"the legacy output writes blanks as typed, which no browser reads",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, " 336699"); },
       kSlotP,
       {{rgb(0), -1}, {rgb(0xFFFFFF), -1}}},
      {"the modern output trims them",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, " 336699"), d.output.modern = 1; },
       kSlotP,
       {{rgb(0x336699), 0}, {rgb(0xFFFFFF), -1}}},
      {"an uncoloured link keeps the browser's blue, not BODY's text colour",
       [](StyleDocument& d) { on(d, kSlotA), on(d, kSlotBody), colour(d, 18, "EEEEEE"), colour(d, 19, "0B1330"); },
       kSlotA,
       {{rgb(0x0000EE), -1}, {rgb(0x0B1330), 19}}},
      {"visited and active links have colours of their own",
       [](StyleDocument& d) { on(d, kSlotVisited); },
       kSlotVisited,
       {{rgb(0x551A8B), -1}, {rgb(0xFFFFFF), -1}}},
      {"", [](StyleDocument& d) { on(d, kSlotActive); }, kSlotActive, {{rgb(0xFF0000), -1}, {rgb(0xFFFFFF), -1}}},
      {"a link state takes A's colours before BODY's",
       [](StyleDocument& d) {
         on(d, kSlotHover), on(d, kSlotA), on(d, kSlotBody), colour(d, 1, "111111"), colour(d, 6, "EEEEEE");
         colour(d, 19, "000000");
       },
       kSlotHover,
       {{rgb(0x111111), 1}, {rgb(0xEEEEEE), 6}}},
      {"a link stands on its paragraph's background, see-through over BODY's, in the link's colour",
       [](StyleDocument& d) {
         on(d, kSlotA), on(d, kSlotP), on(d, kSlotBody), colour(d, 0, "FFFFFF"), colour(d, 5, "0000FF80");
         colour(d, 18, "EEEEEE"), colour(d, 19, "FF0000");
       },
       kSlotA,
       {{rgb(0x0000EE), -1}, {rgb(0x7F0080), 5}}},
      {"under the link's own",
       [](StyleDocument& d) { on(d, kSlotVisited), on(d, kSlotP), colour(d, 5, "000080"), colour(d, 7, "FFFF00"); },
       kSlotVisited,
       {{rgb(0x551A8B), -1}, {rgb(0xFFFF00), 7}}},
      {"BODY stands on white",
       [](StyleDocument& d) { on(d, kSlotBody), colour(d, 18, "777777"); },
       kSlotBody,
       {{rgb(0x777777), 18}, {rgb(0xFFFFFF), -1}}},
  };
  for (const Row& r : rows) {
    const SlotColours shown = shownColours(documentWith(r.setup), r.slot);
    EXPECT_EQ(shown.text.rgb, r.expected.text.rgb) << r.what;
    EXPECT_EQ(shown.text.box, r.expected.text.box) << r.what;
    EXPECT_EQ(shown.background.rgb, r.expected.background.rgb) << r.what;
    EXPECT_EQ(shown.background.box, r.expected.background.box) << r.what;
  }
}

// Each form of colour as each output writes it and browsers read it: the
// legacy output puts "#" before the text as typed, the modern one writes
// every form it accepts.
TEST(Contrast, EveryColourFormAsEachOutputWritesIt) {
  constexpr unsigned kNone = 0x1000000;  // the browser's own colour: black text, white background
  struct Row {
    int box;  // P's text (0) or background (5)
    const char* typed;
    unsigned legacy, modern;
  } rows[] = {
      {0, "FF0000", 0xFF0000, 0xFF0000},
      {0, "ff0000", 0xFF0000, 0xFF0000},
      {0, "F00", 0xFF0000, 0xFF0000},
      {0, "F00F", 0xFF0000, 0xFF0000},
      {0, "FF0000FF", 0xFF0000, 0xFF0000},
      {0, "FF000080", 0xFF7F7F, 0xFF7F7F},  // half red over white
      {0, "F008", 0xFF7777, 0xFF7777},
      {0, "#FF0000", kNone, 0xFF0000},  // "##FF0000"
      {0, "#F00", kNone, 0xFF0000},
      {0, "#FF000080", kNone, 0xFF7F7F},
      {0, "red", kNone, 0xFF0000},  // "#red"
      {0, "Red", kNone, 0xFF0000},
      {0, "gold", kNone, 0xFFD700},
      {5, "#FFFF00", kNone, 0xFFFF00},
      {5, "yellow", kNone, 0xFFFF00},
      {5, "FFFF00", 0xFFFF00, 0xFFFF00},
      {0, " FF0000", kNone, 0xFF0000},                      // "# FF0000"
      {0, "FF0000\t ", 0xFF0000, 0xFF0000},                 // blanks before ";" end the value
      {0, "\xE3\x80\x80red\xE3\x80\x80", kNone, 0xFF0000},  // ideographic spaces
      {0, "transparent", kNone, 0xFFFFFF},                  // invisible: the background's colour
      {5, "transparent", kNone, 0xFFFFFF},
      {0, "12345", kNone, kNone},
      {0, "redd", kNone, kNone},
      {0, "FF0000;", kNone, kNone},
      {0, "", kNone, kNone},
  };
  for (const Row& r : rows)
    for (const bool modern : {false, true}) {
      StyleDocument doc;
      on(doc, kSlotP);
      colour(doc, r.box, r.typed);
      doc.output.modern = modern ? 1 : 0;
      const unsigned expected = modern ? r.modern : r.legacy;
      const SlotColours shown = shownColours(doc, kSlotP);
      const ShownColour& judged = r.box == 0 ? shown.text : shown.background;
      const ShownColour& other = r.box == 0 ? shown.background : shown.text;
      const Rgb browsers = r.box == 0 ? rgb(0) : rgb(0xFFFFFF);
      EXPECT_EQ(judged.rgb, expected == kNone ? browsers : rgb(expected))
          << r.typed << (modern ? " modern" : " legacy");
      EXPECT_EQ(judged.box, expected == kNone ? -1 : r.box) << r.typed << (modern ? " modern" : " legacy");
      EXPECT_EQ(other.box, -1) << r.typed;
    }
}

TEST(Contrast, LargeTextNeedsThreeToOne) {
  struct Row {
    const char *size, *unit, *weight;
    double required;
  } rows[] = {
      {"", "ピクセル", "", 4.5},
      {"24", "ピクセル", "", 3},
      {"23.9", "ピクセル", "", 4.5},
      {"18", "ポイント", "", 3},
      {"19", "ピクセル", "700", 3},
      {"19", "ピクセル", "bold", 3},
      {"18.6", "ピクセル", "Bold", 4.5},
      {"19", "ピクセル", "600", 4.5},
      {"0.7", "センチメートル", "", 3},
      {"2", "em", "", 4.5},
      {"30", "px", "", 3},
      {"abc", "ピクセル", "", 4.5},
  };
  for (const Row& r : rows) {
    StyleDocument doc;
    on(doc, kSlotP);
    doc.slots[kSlotP].fontSize = r.size;
    doc.slots[kSlotP].sizeUnit = r.unit;
    doc.slots[kSlotP].weight = r.weight;
    EXPECT_EQ(requiredContrast(doc, kSlotP), r.required) << r.size << r.unit << " " << r.weight;
  }
  // A link inherits the size of its paragraph, then of BODY, when written.
  StyleDocument doc;
  on(doc, kSlotA);
  doc.slots[kSlotBody].fontSize = "32";
  EXPECT_EQ(requiredContrast(doc, kSlotA), 4.5);
  on(doc, kSlotBody);
  EXPECT_EQ(requiredContrast(doc, kSlotA), 3);
  doc.slots[kSlotP].fontSize = "12";
  EXPECT_EQ(requiredContrast(doc, kSlotA), 3);
  on(doc, kSlotP);
  EXPECT_EQ(requiredContrast(doc, kSlotA), 4.5);
  doc.slots[kSlotP].enabled = 0;
  // A slot's own size and weight come before BODY's; a link state's before A's.
  doc.slots[kSlotA].fontSize = "12";
  EXPECT_EQ(requiredContrast(doc, kSlotA), 4.5);
  doc.slots[kSlotBody].fontSize = "19", doc.slots[kSlotBody].weight = "bold";
  EXPECT_EQ(requiredContrast(doc, kSlotBody), 3);
  doc.slots[kSlotA].fontSize = "", doc.slots[kSlotA].weight = "400";
  EXPECT_EQ(requiredContrast(doc, kSlotA), 4.5);
  on(doc, kSlotHover);
  doc.slots[kSlotHover].weight = "700";
  EXPECT_EQ(requiredContrast(doc, kSlotHover), 3);
}

// Sizes in CSS pixels on a phone 360 by 740: absolute units converted,
// relative ones taken of the size inherited (BODY's here, or 16px).
TEST(Advice, TextSizeOnAPhone) {
  struct Row {
    const char *size, *unit, *bodySize;
    std::optional<double> pixels;
  } rows[] = {
      {"", "ピクセル", "", 16},
      {"12", "ポイント", "", 16},
      {"12", "PT", "", 16},
      {"0.75", "em", "12", 9},
      {"50", "%", "", 8},
      {"1", "rem", "10", 16},
      {"3", "vw", "", 10.8},
      {"1", "pc", "", 16},
      {"2", "ex", "", 16},
      {"2.54", "センチメートル", "", 96},
      {"", "em", "10", 10},
      {"8", "pixels", "", std::nullopt},
      {"-1", "px", "", std::nullopt},
      {"1", "em", "x", std::nullopt},
  };
  for (const Row& r : rows) {
    StyleDocument doc;
    on(doc, kSlotP), on(doc, kSlotBody);
    doc.slots[kSlotP].fontSize = r.size;
    doc.slots[kSlotP].sizeUnit = r.unit;
    doc.slots[kSlotBody].fontSize = r.bodySize;
    const auto pixels = phonePixels(doc, kSlotP);
    ASSERT_EQ(pixels.has_value(), r.pixels.has_value()) << r.size << r.unit;
    if (pixels) {
      EXPECT_NEAR(*pixels, *r.pixels, 1e-9) << r.size << r.unit;
    }
  }
}

TEST(ImagePaths, OnlyPlacesInThisComputerAreLocal) {
  for (const char* path : {"C:\\My Documents\\a.gif", "c:a.gif", "\\\\server\\a.gif", "\\a.gif", "/home/me/a.gif",
                           "file:///a.gif", "FILE:a.gif", "~/a.gif", "　D:/a.gif"})
    EXPECT_TRUE(isLocalImagePath(path)) << path;
  for (const char* path : {"a.gif", "img/a.gif", "../a.gif", "http://example.com/a.gif", "//example.com/a.gif", ""})
    EXPECT_FALSE(isLocalImagePath(path)) << path;
}

TEST(Advice, EachKindInTheWindowsWords) {
  const std::string fontStack =
      "\"ＭＳ Ｐゴシック\", \"MS PGothic\", \"Hiragino Kaku Gothic ProN\", \"Hiragino Sans\", \"Noto Sans JP\", "
      "\"Noto Sans CJK JP\", sans-serif";
  struct Row {
    const char* what;
    Edit setup;
    AdviceKind kind;
    ControlId place;
    std::vector<int> boxes;
    std::string text;
  } rows[] = {
      {"grey on white",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "777777"); },
       AdviceKind::Contrast,
       ControlId{"Text3", 0},
       {0},
       "「基本」タブの「段落（<P>～</P>）」の「フォントカラー」: 文字 #777777 と背景 #FFFFFF（指定なし） "
       "のコントラスト比は "
       "4.48:1 で、基準の 4.5:1 に足りず、読みにくい人がいます。「フォントカラー」を "
       "#767676（4.54:1）のように暗くしてください。"},  // no background is lighter than white
      {"an uncoloured link on a dark page",
       [](StyleDocument& d) { on(d, kSlotA), on(d, kSlotBody), colour(d, 18, "E6E9F0"), colour(d, 19, "0B1330"); },
       AdviceKind::Contrast,
       ControlId{"Text3", 1},
       {1, 19},
       "「基本」タブの「リンク(<A>～</A>)」の「フォントカラー」: 文字 #0000EE（ブラウザーが決めるリンクの色） と背景 "
       "#0B1330（「ページ本体」から） のコントラスト比は 1.94:1 で、基準の 4.5:1 に足りず、読みにくい人がいます。"
       "「フォントカラー」を #6E6EF6（4.54:1）のように明るくしてください。"},  // black behind it would not do
      {"links left unticked on a dark paragraph keep the browser's colour",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "FFFFFF"), colour(d, 5, "0B1330"); },
       AdviceKind::Contrast,
       ControlId{"Text3", 1},
       {1, 5},
       "「基本」タブの「リンク(<A>～</A>)」の「フォントカラー」: 文字 #0000EE（ブラウザーが決めるリンクの色） と背景 "
       "#0B1330（「段落（<P>～</P>）」から） のコントラスト比は 1.94:1 で、基準の 4.5:1 に足りず、読みにくい人がいま"
       "す。「リンク」をチェックして、「フォントカラー」を #6E6EF6（4.54:1）のように明るくしてください。"},
      {"large text",
       [](StyleDocument& d) { on(d, kSlotBody), colour(d, 18, "FC6500"), d.slots[kSlotBody].fontSize = "30"; },
       AdviceKind::Contrast,
       ControlId{"Text3", 18},
       {18},
       "「基本」タブの「ページ本体」の「フォントカラー」: 文字 #FC6500 と背景 #FFFFFF（指定なし） のコントラスト比は "
       "2.99:1 で、大きな文字の基準 3:1 に足りず、読みにくい人がいます。「フォントカラー」を #FB6400（3.03:1）のように"
       "暗くしてください。"},
      {"a background that can be lighter",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "666666"), colour(d, 5, "CCCCCC"); },
       AdviceKind::Contrast,
       ControlId{"Text3", 0},
       {0, 5},
       "「基本」タブの「段落（<P>～</P>）」の「フォントカラー」: 文字 #666666 と背景 #CCCCCC のコントラスト比は 3.58:1 "
       "で、基準の 4.5:1 に足りず、読みにくい人がいます。「フォントカラー」を #565656（4.57:1）のように暗くするか、「バ"
       "ックの色」をもっと明るくしてください。"},
      {"on black: no background is darker",
       [](StyleDocument& d) {
         on(d, kSlotBody), colour(d, 18, "333333"), colour(d, 19, "000000"), on(d, kSlotA), colour(d, 1, "FFFFFF");
       },
       AdviceKind::Contrast,
       ControlId{"Text3", 18},
       {18, 19},
       "「基本」タブの「ページ本体」の「フォントカラー」: 文字 #333333 と背景 #000000 のコントラスト比は 1.66:1 "
       "で、基準"
       "の 4.5:1 に足りず、読みにくい人がいます。「フォントカラー」を #757575（4.56:1）のように明るくしてください。"},
      {"a colour keyword and a see-through colour in the modern output",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "#FF000080"), colour(d, 5, " gold "), d.output.modern = 1; },
       AdviceKind::Contrast,
       ControlId{"Text3", 0},
       {0, 5},
       "「基本」タブの「段落（<P>～</P>）」の「フォントカラー」: 文字 #FF6B00（半透明の #FF000080） と背景 #FFD700 の"
       "コントラスト比は 2.04:1 で、基準の 4.5:1 に足りず、読みにくい人がいます。「フォントカラー」を #A14300（4.51:1）"
       "のように暗くしてください。"},
      {"dark scheme: a light text left without its dark colour, on the browser's dark background",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "333333"), d.output.modern = d.dark.enabled = 1; },
       AdviceKind::Contrast,
       ControlId{"Text3", 0},
       {0},
       "「基本」タブの「段落（<P>～</P>）」の「フォントカラー」: ダークモードでは、文字 "
       "#333333（ダークモードの色が空なの"
       "で明るいときの色） と背景 #121212（指定なし） のコントラスト比は 1.48:1 で、基準の 4.5:1 に足りず、読みにくい人"
       "がいます。ダークモードの「フォントカラー」を #7D7D7D（4.55:1）のように明るくしてください。"},
      {"the worst colour of a gradient counts",
       [](StyleDocument& d) {
         on(d, kSlotBody), colour(d, 18, "666666"), colour(d, 19, "FFFFFF"), d.output.modern = 1;
         d.gradients[kSlotBody] = {GradientKind::Linear, "90", {"CCCCCC", ""}, {}};
       },
       AdviceKind::Contrast,
       ControlId{"Text3", 18},
       {18, 19},
       "「基本」タブの「ページ本体」の「フォントカラー」: 文字 #666666 と背景 #CCCCCC（グラデーションの色2） "
       "のコントラス"
       "ト比は 3.58:1 で、基準の 4.5:1 に足りず、読みにくい人がいます。「フォントカラー」を #565656（4.57:1）のように暗"
       "くするか、「グラデーションの色2」をもっと明るくしてください。"},
      {"a gradient from dark to light that no text reads on",
       [](StyleDocument& d) {
         on(d, kSlotBody), colour(d, 18, "FFFFFF"), colour(d, 19, "000080"), d.output.modern = 1;
         d.gradients[kSlotBody] = {GradientKind::Radial, "", {"6699CC", ""}, {}};
         on(d, kSlotA), colour(d, 1, "FFFFFF"), colour(d, 6, "000080");  // links on a plain background
       },
       AdviceKind::Contrast,
       ControlId{"Text3", 18},
       {18, 19},
       "「基本」タブの「ページ本体」の「フォントカラー」: 文字 #FFFFFF と背景 #6699CC（グラデーションの色2） "
       "のコントラス"
       "ト比は 3.00:1 で、基準の 4.5:1 に足りず、読みにくい人がいます。グラデーションの色の明るさが離れすぎていて、どの"
       "文字の色でも足りません。「グラデーションの色2」を「バックの色」に近づけてください。"},
      {"a dark gradient with a stop left light",
       [](StyleDocument& d) {
         on(d, kSlotBody), d.output.modern = d.dark.enabled = 1;
         on(d, kSlotA), colour(d, 1, "FFFFFF"), colour(d, 6, "000000");  // links on a plain background
         colour(d, 18, "333333"), d.dark.colours[18] = "DDDDDD", colour(d, 19, "FFFFFF"), d.dark.colours[19] = "1A1A1A";
         d.gradients[kSlotBody] = {GradientKind::Linear, "180", {"EEEEEE", ""}, {"", ""}};
       },
       AdviceKind::Contrast,
       ControlId{"Text3", 18},
       {18, 19},
       "「基本」タブの「ページ本体」の「フォントカラー」: ダークモードでは、文字 #DDDDDD と背景 #EEEEEE（グラデーション"
       "の色2、ダークモードの色が空なので明るいときの色） のコントラスト比は 1.17:1 で、基準の 4.5:1 に足りず、読みにく"
       "い人がいます。グラデーションの色の明るさが離れすぎていて、どの文字の色でも足りません。ダークモードの「グラデー"
       "ションの色2」を「バックの色」に近づけてください。"},
      {"text under 12px on a phone",
       [](StyleDocument& d) { on(d, kSlotP), d.slots[kSlotP].fontSize = "8", d.slots[kSlotP].sizeUnit = "ポイント"; },
       AdviceKind::FontSize,
       ControlId{"Text1", kSlotP},
       {},
       "「基本」タブの「段落（<P>～</P>）」の「フォントサイズ」: 「8 ポイント」は 10.66px で、スマートフォンでは 12px "
       "よ"
       "り小さく、読みにくい人がいます。「フォントサイズ」を 9 ポイント以上にしてください。"},
      {"a relative size, of what it inherits",
       [](StyleDocument& d) {
         on(d, kSlotA), on(d, kSlotBody), d.slots[kSlotBody].fontSize = "12";
         d.slots[kSlotA].fontSize = "0.9", d.slots[kSlotA].sizeUnit = "em";
       },
       AdviceKind::FontSize,
       ControlId{"Text1", kSlotA},
       {},
       "「基本」タブの「リンク(<A>～</A>)」の「フォントサイズ」: 「0.9em」は 10.8px で、スマートフォンでは 12px "
       "より小さ"
       "く、読みにくい人がいます。「フォントサイズ」を 1em 以上にしてください。"},
      {"a drive letter",
       [](StyleDocument& d) {
         on(d, kSlotBody), d.slots[kSlotBody].useImage = Choice::First;
         d.slots[kSlotBody].imagePath = "C:\\My Documents\\bg.gif";
       },
       AdviceKind::ImagePath,
       ControlId{"Text6", kSlotBody},
       {},
       "「基本」タブの「ページ本体」の「背景画像」の「画像ファイルの場所」: 「C:\\My "
       "Documents\\bg.gif」はこのコンピューター"
       "の中の場所なので、ページを見る人には画像が表示されません。画像をページと同じフォルダーに置いて「bg."
       "gif」のように"
       "ページからの場所で書いてください。"},
      {"a font of Windows only, legacy output",
       [](StyleDocument& d) { on(d, kSlotA), d.slots[kSlotA].fontName = "ＭＳ Ｐゴシック"; },
       AdviceKind::Font,
       ControlId{"Combo1", kSlotA},
       {},
       "「基本」タブの「リンク(<A>～</A>)」の「フォント名」: 「ＭＳ Ｐゴシック」は Mac、iPhone、Android "
       "にないフォントで、"
       "そこではブラウザーが選ぶフォントで表示されます。「出力」タブの「出力形式」の「今のブラウザ向けに書き出す」をチ"
       "ェック"
       "すると、近いフォントを順に並べた次の指定で書き出します: " +
           fontStack},
      {"the same in the modern output",
       [](StyleDocument& d) { on(d, kSlotA), d.slots[kSlotA].fontName = "ＭＳ Ｐゴシック", d.output.modern = 1; },
       AdviceKind::Font,
       ControlId{"Combo1", kSlotA},
       {},
       "「基本」タブの「リンク(<A>～</A>)」の「フォント名」: 「ＭＳ Ｐゴシック」は Mac、iPhone、Android "
       "にないフォントで、"
       "そこではブラウザーが選ぶフォントで表示されます。今のブラウザ向けの出力は、近いフォントを順に並べた次の指定で書"
       "き出"
       "します: " +
           fontStack},
      {"a font of none of the stacks, legacy output",
       [](StyleDocument& d) { on(d, kSlotP), d.slots[kSlotP].fontName = "C059"; },
       AdviceKind::Font,
       ControlId{"Combo1", kSlotP},
       {},
       "「基本」タブの「段落（<P>～</P>）」の「フォント名」: "
       "「C059」はどのコンピューターにもあるフォントではなく、ページ"
       "を見る人のコンピューターにはおそらくありません。そこではブラウザーが選ぶフォントで表示されます。「出力」タブの"
       "「出力形式」の「今のブラウザ向けに書き出す」をチェックすると、フォントの種類を添えた次の指定で書き出します: "
       "\"C059\", sans-serif"},
      {"the same in the modern output",
       [](StyleDocument& d) { on(d, kSlotP), d.slots[kSlotP].fontName = " Nimbus Mono PS ", d.output.modern = 1; },
       AdviceKind::Font,
       ControlId{"Combo1", kSlotP},
       {},
       "「基本」タブの「段落（<P>～</P>）」の「フォント名」: 「Nimbus Mono PS」はどのコンピューターにもあるフォントでは"
       "なく、ページを見る人のコンピューターにはおそらくありません。そこではブラウザーが選ぶフォントで表示されます。今"
       "のブラウザ向けの出力は、フォントの種類を添えた次の指定で書き出します: \"Nimbus Mono PS\", monospace"},
      {"a name with the foundry this computer's font list adds",
       [](StyleDocument& d) { on(d, kSlotP), d.slots[kSlotP].fontName = "D050000L [URW ]"; },
       AdviceKind::Font,
       ControlId{"Combo1", kSlotP},
       {},
       "「基本」タブの「段落（<P>～</P>）」の「フォント名」: 「D050000L [URW ]」の「[URW ]」はこのコンピューターがフォ"
       "ントの作り手を見分ける印で、フォントの名前ではないため、どのブラウザーもこのフォントを見つけられません。「D0500"
       "00L」と書いてください。"},
  };
  for (const Row& r : rows) {
    const std::vector<Advice> advice = documentAdvice(documentWith(r.setup));
    ASSERT_EQ(advice.size(), 1u) << r.what;
    EXPECT_EQ(advice[0].kind, r.kind) << r.what;
    EXPECT_EQ(advice[0].place, r.place) << r.what;
    EXPECT_EQ(advice[0].colourBoxes, r.boxes) << r.what;
    EXPECT_BYTES(r.text, advice[0].text) << r.what;
  }
}

TEST(Advice, NothingToSayOrSaidOnce) {
  struct Row {
    const char* what;
    Edit setup;
    std::vector<ControlId> places;
  } rows[] = {
      {"a slot not written", [](StyleDocument& d) { colour(d, 0, "EEEEEE"); }, {}},
      {"unticked links on a light page", [](StyleDocument& d) { on(d, kSlotBody), colour(d, 19, "EEEEEE"); }, {}},
      {"an uncoloured hover on a dark page, A unticked: A's to tick",
       [](StyleDocument& d) { on(d, kSlotHover), on(d, kSlotBody), colour(d, 18, "FFFFFF"), colour(d, 19, "000000"); },
       {{"Text3", 1}}},
      {"passing colours", [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "767676"); }, {}},
      {"large enough for 3:1",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "949494"), d.slots[kSlotP].fontSize = "24"; },
       {}},
      {"a font the modern output carries as a web font",
       [](StyleDocument& d) {
         on(d, kSlotP), d.slots[kSlotP].fontName = "C059", d.output.modern = 1;
         d.fonts.slots[kSlotP].file = "/fonts/C059-Roman.otf";
       },
       {}},
      {"an image not chosen, a font every system has",
       [](StyleDocument& d) {
         on(d, kSlotP), d.slots[kSlotP].imagePath = "C:\\a.gif", d.slots[kSlotP].fontName = "Verdana";
       },
       {}},
      {"P showing BODY's colours is BODY's to fix",
       [](StyleDocument& d) { on(d, kSlotP), on(d, kSlotBody), colour(d, 18, "999999"); },
       {{"Text3", 18}}},
      {"hover showing A's colours is A's to fix",
       [](StyleDocument& d) { on(d, kSlotHover), on(d, kSlotA), colour(d, 1, "999999"); },
       {{"Text3", 1}}},
      {"two uncoloured links on one background: the first",
       [](StyleDocument& d) {
         on(d, kSlotA), on(d, kSlotHover), on(d, kSlotBody), colour(d, 18, "FFFFFF");
         colour(d, 19, "000000");
       },
       {{"Text3", 1}}},
      {"a colour name the legacy output writes as \"#red\"",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "red"); },
       {}},
      {"which the modern output writes",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "red"), d.output.modern = 1; },
       {{"Text3", 0}}},
      {"generic families and the faces of the font stacks are everywhere",
       [](StyleDocument& d) {
         on(d, kSlotP), on(d, kSlotA), on(d, kSlotBody), d.slots[kSlotP].fontName = "Serif";
         d.slots[kSlotA].fontName = "noto sans jp", d.slots[kSlotBody].fontName = "Liberation Sans";
       },
       {}},
      {"every kind of one slot, in order (then the unticked links on its black)",
       [](StyleDocument& d) {
         on(d, kSlotP), colour(d, 5, "000000"), d.slots[kSlotP].fontName = "ｍｓ　ｐ明朝";
         d.slots[kSlotP].useImage = Choice::First, d.slots[kSlotP].imagePath = "/home/me/a.png";
         d.slots[kSlotP].fontSize = "11";
       },
       {{"Text3", 0}, {"Combo1", 0}, {"Text6", 0}, {"Text1", 0}, {"Text3", 1}}},
      {"dark colours that pass in both schemes",
       [](StyleDocument& d) {
         on(d, kSlotP), colour(d, 0, "333333"), d.dark.colours[0] = "EEEEEE", d.output.modern = d.dark.enabled = 1;
       },
       {}},
      {"the legacy output writes no dark scheme",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "333333"), d.dark.enabled = 1; },
       {}},
      {"nor does the modern one with the dark variant off",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 0, "333333"), d.output.modern = 1; },
       {}},
      {"dark colours the same as the light ones are judged once",
       [](StyleDocument& d) {
         on(d, kSlotP), colour(d, 0, "777777"), colour(d, 5, "FFFFFF"), d.output.modern = d.dark.enabled = 1;
         d.dark.colours[0] = "777777";
         on(d, kSlotA), colour(d, 1, "0000EE");
       },
       {{"Text3", 0}}},
      {"a paragraph given a white background alone: the browser's dark-scheme text and links on it",
       [](StyleDocument& d) { on(d, kSlotP), colour(d, 5, "FFFFFF"), d.output.modern = d.dark.enabled = 1; },
       {{"Text3", 0}, {"Text3", 1}}},
      {"failing in each scheme: light, then dark",
       [](StyleDocument& d) {
         on(d, kSlotP), colour(d, 0, "777777"), colour(d, 5, "FFFFFF"), d.output.modern = d.dark.enabled = 1;
         d.dark.colours[5] = "333333";
       },
       {{"Text3", 0}, {"Text3", 0}}},
      {"the legacy output writes no gradient",
       [](StyleDocument& d) {
         on(d, kSlotBody), colour(d, 19, "FFFFFF"),
             d.gradients[kSlotBody] = {GradientKind::Linear, "", {"000000", ""}, {}};
       },
       {}},
      {"a link's size all inherited is BODY's to fix",
       [](StyleDocument& d) { on(d, kSlotA), on(d, kSlotBody), d.slots[kSlotBody].fontSize = "11.5"; },
       {{"Text1", kSlotBody}}},
      {"12px and 9pt are enough; a unit no browser reads says nothing",
       [](StyleDocument& d) {
         on(d, kSlotP), on(d, kSlotA), on(d, kSlotBody), d.slots[kSlotBody].fontSize = "12";
         d.slots[kSlotP].fontSize = "9", d.slots[kSlotP].sizeUnit = "ポイント", d.slots[kSlotA].fontSize = "8";
         d.slots[kSlotA].sizeUnit = "pixels";
       },
       {}},
  };
  for (const Row& r : rows) {
    std::vector<ControlId> places;
    for (const Advice& a : documentAdvice(documentWith(r.setup))) places.push_back(a.place);
    EXPECT_EQ(places, r.places) << r.what;
  }
}

}  // namespace
}  // namespace quillane
