// The words on the screen for every control that holds a stored setting.
//
// A message about a setting names it the way the user finds it in the
// window: the tab, the page of a tab strip (a tag's page, or a user class's
// page, whose caption is the class name), the frames around the control and
// the control's own caption. Never a design name such as `Option4(0)`.
//   Combo3(1)  -> 「基本」タブの「リンク(<A>～</A>)」の「フォントサイズ」の単位
//   Text14(0)  -> 「エフェクト」タブのクラス「efect0」の「ぶれる」の「角度」
//   Check6(12) -> 「スクロールバー」タブの「設定」の「メインの色」のチェック
//
// The table holds the captions exactly as the form shows them, one row per
// control family, so that the form could be built from the same rows.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/field_table.h"
#include "document/style_document.h"

namespace quillane {

// The tabs of the main tab strip (SSTab1), in order.
inline constexpr std::array<std::string_view, 6> kMainTabCaptions = {"基本", "スクロールバー", "エフェクト",
                                                                     "出力", "ダークモード",   "Webフォント"};

// The pages of the tag tab strip (SSTab2), one per tag slot.
inline constexpr std::array<std::string_view, kTagSlotCount> kSlotTabCaptions = {
    "段落（<P>～</P>）",      "リンク(<A>～</A>)", "表示したリンク", "選択されてアクティブなリンク",
    "マウスが上にあるリンク", "ページ本体"};

// The captions of the row labels of the scrollbar colours, Text3(11..17).
inline constexpr std::array<std::string_view, kScrollbarColourCount> kScrollbarRowCaptions = {
    "矢印の色       #",  "メインの色      #", "枠（左上、外）  #", "枠（左上、内）　#",
    "枠（右下、外）　#", "枠（右下、内 　#",  "バックの色 　　#"};

// Which page of a tab strip a control sits on.
enum class CaptionPage {
  None,      // directly on its tab
  Slot,      // a page of the tag tab strip
  Class,     // a page of the class tab strip, captioned with the class name
  ClassRow,  // directly on its tab, in the row of a user class, which its name heads
};

// One control family, or an index range of one.
struct CaptionRow {
  std::string_view family;
  int first = kNoIndex;
  int last = kNoIndex;
  std::string_view tab;  // a caption of kMainTabCaptions; empty for a control never shown
  CaptionPage page = CaptionPage::None;
  int pageOfFirst = 0;                    // the page of index `first`; later indexes follow on
  std::vector<std::string_view> frames;   // the frames around the control, outermost first
  std::vector<std::string_view> caption;  // one caption, or one per index; empty: the class check box's
  std::string_view part;                  // a part of the control that the caption does not name ("単位")
};

// Every row, in the order of the form's tabs.
const std::vector<CaptionRow>& captionRows();

// The row that holds `id`, or nothing for a control that stores no setting.
const CaptionRow* captionRowOf(ControlId id);

// The words on the screen for `id`, with the class names (and class check
// box captions) of `doc`. A caption keeps its words, not the "#" or spaces
// that end some of them. Falls back to the design name for a control the
// table does not hold.
std::string screenWords(ControlId id, const StyleDocument& doc);

// The short name a screen reader says for `id`: where it is (the tag slot as
// its check box names it, the class by its name in `doc`, or the tab), the
// frame right around it, its words and the part, separated by spaces.
//   Text3(0)  -> "段落 フォントカラー"
//   Text2(1)  -> "見出し 半透明にする 不透明度" (class 1 named 見出し)
//   Check6(12) -> "スクロールバー 設定 メインの色 チェック"
// Empty for a control the table does not hold.
std::string spokenName(ControlId id, const StyleDocument& doc);

}  // namespace quillane
