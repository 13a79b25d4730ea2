// Settings named in the words of the screen, and values shown in messages.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "document/control_captions.h"
#include "document/message_text.h"
#include "generation/output_choice.h"
#include "persistence/settings_layout.h"
#include "test_support.h"

namespace quillane {
namespace {

TEST(ScreenWords, NameTabPageFrameAndCaption) {
  StyleDocument doc;
  doc.classes[1].className = "見出し";
  doc.classes[1].checkCaption = "見出し";
  const std::pair<ControlId, const char*> cases[] = {
      {{"Option4", 0}, "「基本」タブの「段落（<P>～</P>）」の「背景画像」の「使用する」"},
      {{"Combo3", 1}, "「基本」タブの「リンク(<A>～</A>)」の「フォントサイズ」の単位"},
      {{"Text3", 6}, "「基本」タブの「リンク(<A>～</A>)」の「バックの色」"},
      {{"Text3", 18}, "「基本」タブの「ページ本体」の「フォントカラー」"},
      {{"Check27"}, "「基本」タブの「ページ本体」の「背景画像」の「背景画像をスクロールさせない」"},
      {{"Check7", 4}, "「基本」タブの「変更する所」の「マウスが上にあるリンク」"},
      {{"Check6", 16}, "「スクロールバー」タブの「設定」の「枠（右下、内」のチェック"},
      {{"Text3", 11}, "「スクロールバー」タブの「設定」の「矢印の色」"},
      {{"Text14", 0}, "「エフェクト」タブのクラス「efect0」の「ぶれる」の「角度」"},
      {{"Option12", 1}, "「エフェクト」タブのクラス「見出し」の「波立たせる」の「上書き描画」の「する」"},
      {{"SSTab4", 1}, "「エフェクト」タブのクラス「見出し」の名前"},
      {{"Check12", 1}, "「エフェクト」タブの「変更させるタグ」の「見出し」"},
      {{"Check26", 0},
       "「エフェクト」タブのクラス「efect0」の「適応させるフィルター」の「スペシャル(いろいろ試して)」"},
      {{"Text12"}, "「出力」タブの「スタイルシート」の「スタイルシートを読みこむHTMLファイル」の「ページタイトル」"},
      {{"Check8"}, "画面に出ない設定「HTML形式」の「サンプル用の文字を入れる」"},
  };
  for (const auto& [id, words] : cases) EXPECT_EQ(screenWords(id, doc), words) << id.toString();
}

// Names a screen reader says: the place first, then the frame right around
// the control, its words and the part.
TEST(SpokenName, PlaceFrameWordsAndPart) {
  StyleDocument doc;
  doc.classes[1].className = "見出し";
  doc.classes[2].checkCaption = "本文";
  const std::pair<ControlId, const char*> cases[] = {
      {{"Text3", 0}, "段落 フォントカラー"},
      {{"Text3", 19}, "ページ本体 バックの色"},
      {{"Combo3", 1}, "リンク フォントサイズ 単位"},
      {{"Option4", 3}, "選択されたリンク 背景画像 使用する"},
      {{"Check7", 4}, "基本 変更する所 マウスが上にあるリンク"},
      {{"Check6", 12}, "スクロールバー 設定 メインの色 チェック"},
      {{"Text2", 1}, "見出し 半透明にする 不透明度"},
      {{"Slider1", 1}, "見出し 半透明にする 不透明度 スライダー"},
      {{"Option12", 0}, "efect0 上書き描画 する"},
      {{"Check12", 2}, "エフェクト 変更させるタグ 本文"},
      {{"Text9"}, "出力 HTML形式 保存先(フォルダを選択)"},
      {{"Text2"}, ""},
  };
  for (const auto& [id, words] : cases) EXPECT_EQ(spokenName(id, doc), words) << id.toString();
}

// The special frame's boxes are named by the labels beside them on the
// screen: Text24 sits beside "色1#", Text25 (the shadow colour) beside "色2#".
TEST(ScreenWords, TheSpecialColoursAreNamedByTheLabelBesideEachBox) {
  StyleDocument doc;
  EXPECT_EQ(screenWords({"Text24", 0}, doc),
            "「エフェクト」タブのクラス「efect0」の「スペシャル（ほぼ文字列用）」の「色1」");
  EXPECT_EQ(screenWords({"Text25", 0}, doc),
            "「エフェクト」タブのクラス「efect0」の「スペシャル（ほぼ文字列用）」の「色2」");
  doc.classes[0].enabled = doc.classes[0].specialOn = 1;
  doc.classes[0].specialColor1 = "GGGGGG";
  doc.output.modern = 1;
  const OutputText out = styleSheetOutput(doc);
  ASSERT_FALSE(out.ok());
  EXPECT_NE(out.refusal->find("「スペシャル」の「色2」"), std::string::npos) << *out.refusal;
}

TEST(ScreenWords, EveryStoredSettingHasWordsAndNoDesignName) {
  StyleDocument doc;
  std::set<std::string> seen;
  for (const auto& family : allFamilies()) {
    for (int i = family.first; i <= family.last; ++i) {
      const ControlId id{family.family, i};
      ASSERT_NE(captionRowOf(id), nullptr) << id.toString();
      const std::string words = screenWords(id, doc);
      EXPECT_EQ(words.find(std::string(family.family)), std::string::npos) << words;
      EXPECT_TRUE(seen.insert(words).second) << "two settings read " << words;
    }
  }
  for (const CaptionRow& row : captionRows()) {
    const std::size_t indexes = row.first == kNoIndex ? 1 : static_cast<std::size_t>(row.last - row.first + 1);
    EXPECT_TRUE(row.caption.size() <= 1 || row.caption.size() == indexes) << row.family;
  }
}

TEST(ShownText, EscapesControlsAndCutsLongValues) {
  EXPECT_EQ(shownText("見出し \"a\""), "見出し \"a\"");
  EXPECT_EQ(shownText("\x1B[2Jx\r\n\t\x7F"), "\\x1B[2Jx\\r\\n\\t\\x7F");
  EXPECT_EQ(shownText("a\xC2\x85"
                      "b"),
            "a\\x85b");                                     // C1 control
  EXPECT_EQ(shownText("\xFF\xE3\x81"), "\\xFF\\xE3\\x81");  // not UTF-8
  EXPECT_EQ(shownText(std::string(1 << 20, 'x')), std::string(kShownValueLength, 'x') + "…");
  std::string kana;
  for (int k = 0; k < 50; ++k) kana += "あ";
  EXPECT_EQ(shownText(kana, 3), "あああ…");  // cut between characters
  EXPECT_EQ(shownPath(std::string(300, 'p') + "\n"), std::string(300, 'p') + "\\n");
}

TEST(CountText, GroupsDigitsByThrees) {
  const std::pair<std::size_t, std::string> rows[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {100000, "100,000"}, {1456789, "1,456,789"}};
  for (const auto& [count, text] : rows) EXPECT_EQ(countText(count), text) << count;
  EXPECT_EQ(byteCountText(19310196), "19,310,196 バイト");
}

}  // namespace
}  // namespace quillane
