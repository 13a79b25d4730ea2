#include "document/control_captions.h"

#include <algorithm>
#include <deque>

#include "document/message_text.h"

namespace quillane {

namespace {

constexpr std::string_view kBasic = kMainTabCaptions[0];
constexpr std::string_view kScrollbar = kMainTabCaptions[1];
constexpr std::string_view kEffects = kMainTabCaptions[2];
constexpr std::string_view kOutput = kMainTabCaptions[3];
constexpr std::string_view kDark = kMainTabCaptions[4];
constexpr std::string_view kWebFonts = kMainTabCaptions[5];
constexpr int kLastSlot = kTagSlotCount - 1;
constexpr int kLastClass = kUserClassCount - 1;

using Captions = std::vector<std::string_view>;

CaptionRow slotRow(std::string_view family, Captions frames, std::string_view caption, std::string_view part = {}) {
  return {family, 0, kLastSlot, kBasic, CaptionPage::Slot, 0, std::move(frames), {caption}, part};
}

CaptionRow classRow(std::string_view family, Captions frames, Captions caption, std::string_view part = {}) {
  return {family, 0, kLastClass, kEffects, CaptionPage::Class, 0, std::move(frames), std::move(caption), part};
}

CaptionRow outputRow(std::string_view family, Captions frames, std::string_view caption) {
  return {family, kNoIndex, kNoIndex, kOutput, CaptionPage::None, 0, std::move(frames), {caption}, {}};
}

// Parked controls carry a caption but are never shown; the frame says which
// output they belong to.
CaptionRow parkedRow(std::string_view family, int index, Captions frames, std::string_view caption) {
  return {family, index, index, {}, CaptionPage::None, 0, std::move(frames), {caption}, {}};
}

CaptionRow darkRow(std::string_view family, int first, int last, std::string_view frame, Captions caption) {
  return {family, first, last, kDark, CaptionPage::None, 0, {frame}, std::move(caption), {}};
}

CaptionRow darkClassRow(std::string_view family, std::string_view caption) {
  return {family, 0, kLastClass, kDark, CaptionPage::ClassRow, 0, {"エフェクトの色"}, {caption}, {}};
}

std::vector<CaptionRow> buildRows() {
  const std::string_view fore = "フォントカラー　#";
  const std::string_view back = "バックの色 　　#";
  const Captions scrollbar(kScrollbarRowCaptions.begin(), kScrollbarRowCaptions.end());
  const Captions special = {
      "スペシャル(いろいろ試して)", "スペシャル", "スペシャル", "スペシャル", "スペシャル", "スペシャル"};
  const Captions filters = {"適応させるフィルター"};
  // The dark tab names a slot's colours after the slot, as its check box does.
  const Captions slotNames = {"段落",      "リンク", "表示したリンク", "選択されたリンク", "マウスが上にあるリンク",
                              "ページ本体"};
  const auto ofEachSlot = [&](std::string_view what, int first, int last) {
    Captions words;
    static std::deque<std::string> kept;  // the words outlive the table, which holds views
    for (int i = first; i <= last; ++i) {
      kept.push_back(std::string(slotNames[static_cast<std::size_t>(i)]) + "の" + std::string(what));
      words.emplace_back(kept.back());
    }
    return words;
  };
  // clang-format off
  return {
    // The basic tab: the slot check boxes above the tag pages, then each page.
    {"Check7", 0, kLastSlot, kBasic, CaptionPage::None, 0, {"変更する所"},
     {"段落", "リンク", "表示したリンク", "選択されたリンク", "マウスが上にあるリンク", "ページ本体"}, {}},
    slotRow("Combo1", {}, "フォント名"),
    slotRow("WebFontFace", {}, "Webフォント"),
    slotRow("Text1", {}, "フォントサイズ"),
    slotRow("Combo3", {}, "フォントサイズ", "単位"),
    {"Text3", 0, 4, kBasic, CaptionPage::Slot, 0, {}, {fore}, {}},
    {"Text3", 5, 9, kBasic, CaptionPage::Slot, 0, {}, {back}, {}},
    {"Text3", 18, 18, kBasic, CaptionPage::Slot, kSlotBody, {}, {fore}, {}},
    {"Text3", 19, 19, kBasic, CaptionPage::Slot, kSlotBody, {}, {back}, {}},
    slotRow("Check1", {"属性"}, "斜体"),
    slotRow("Check2", {"属性"}, "下線"),
    slotRow("Check3", {"属性"}, "上線"),
    slotRow("Check4", {"属性"}, "取り消し線"),
    slotRow("Check5", {"属性"}, "点滅（IEでは動作しません）"),
    slotRow("Text4", {}, "文字の太さ　100～900（400が標準）"),
    slotRow("Combo2", {}, "マウスポインターの形"),
    slotRow("Option4", {"背景画像"}, "使用する"),
    slotRow("Option3", {"背景画像"}, "使用しない"),
    slotRow("Text6", {"背景画像"}, "画像ファイルの場所"),
    {"Check27", kNoIndex, kNoIndex, kBasic, CaptionPage::Slot, kSlotBody, {"背景画像"},
     {"背景画像をスクロールさせない"}, {}},
    slotRow("ComboGradient", {"グラデーション"}, "種類"),
    slotRow("TextAngle", {"グラデーション"}, "角度"),
    slotRow("TextGradient2", {"グラデーション"}, "色2　#"),
    slotRow("TextGradient3", {"グラデーション"}, "色3　#"),
    // The scrollbar tab: one row of a check box and a colour per colour.
    {"Check6", kFirstScrollbarColour, kLastScrollbarColour, kScrollbar, CaptionPage::None, 0, {"設定"}, scrollbar,
     "チェック"},
    {"Text3", kFirstScrollbarColour, kLastScrollbarColour, kScrollbar, CaptionPage::None, 0, {"設定"}, scrollbar, {}},
    // The effects tab: each class page, then the class check boxes below them.
    classRow("SSTab4", {}, {}, "名前"),
    classRow("Option9", {"対象"}, {"文字列"}),
    classRow("Option10", {"対象"}, {"画像"}),
    classRow("Check13", filters, {"半透明にする"}),
    classRow("Check14", filters, {"特定の色を消す"}),
    classRow("Check15", filters, {"ぶれる"}),
    classRow("Check16", filters, {"波立たせる"}),
    classRow("Check17", filters, {"反転"}),
    classRow("Check20", filters, {"光る"}),
    classRow("Check21", filters, {"色調"}),
    classRow("Check25", filters, {"影を落とす"}),
    classRow("Check26", filters, special),
    classRow("Text2", {"半透明にする"}, {"不透明度"}),
    classRow("Slider1", {"半透明にする"}, {"不透明度"}, "スライダー"),
    classRow("Text13", {"特定の色を消す"}, {"消す色#"}),
    classRow("Text14", {"ぶれる"}, {"角度"}),
    classRow("Text15", {"ぶれる"}, {"強さ"}),
    classRow("Option12", {"波立たせる", "上書き描画"}, {"する"}),
    classRow("Option13", {"波立たせる", "上書き描画"}, {"しない"}),
    classRow("Text16", {"波立たせる"}, {"波の数"}),
    classRow("Text19", {"波立たせる"}, {"波の強さ"}),
    classRow("Text17", {"波立たせる"}, {"影の強さ"}),
    classRow("Text18", {"波立たせる"}, {"影の形"}),
    classRow("Check18", {"反転"}, {"縦"}),
    classRow("Check19", {"反転"}, {"横"}),
    classRow("Check22", {"色調"}, {"反転"}),
    classRow("Check23", {"色調"}, {"レントゲン"}),
    classRow("Check24", {"色調"}, {"グレー"}),
    classRow("Text20", {"光る"}, {"強さ"}),
    classRow("Text21", {"光る"}, {"色#"}),
    classRow("Text22", {"影を落とす"}, {"方向"}),
    classRow("Text23", {"影を落とす"}, {"色#"}),
    classRow("Text24", {"スペシャル（ほぼ文字列用）"}, {"色1#"}),
    classRow("Text25", {"スペシャル（ほぼ文字列用）"}, {"色2#"}),
    classRow("Text26", {"スペシャル（ほぼ文字列用）"}, {"強さ#"}),
    {"Check12", 0, kLastClass, kEffects, CaptionPage::None, 0, {"変更させるタグ"}, {}, {}},
    // The output tab.
    outputRow("Option6", {"出力形式"}, "スタイルシート"),
    outputRow("Option5", {"出力形式"}, "HTML形式"),
    outputRow("Check28", {"出力形式"}, "今のブラウザ向けに書き出す"),
    outputRow("Text9", {"HTML形式"}, "保存先(フォルダを選択)"),
    outputRow("Text10", {"HTML形式"}, "ファイルの名前"),
    outputRow("Text11", {"HTML形式"}, "ページタイトル"),
    outputRow("Text7", {"スタイルシート"}, "保存先(フォルダを選択)"),
    outputRow("Text8", {"スタイルシート"}, "ファイルの名前"),
    outputRow("Option7", {"スタイルシート", "スタイルシートを読みこむHTMLファイル"}, "作成する"),
    outputRow("Option8", {"スタイルシート", "スタイルシートを読みこむHTMLファイル"}, "作成しない"),
    outputRow("Text5", {"スタイルシート", "スタイルシートを読みこむHTMLファイル"}, "ファイル名"),
    outputRow("Text12", {"スタイルシート", "スタイルシートを読みこむHTMLファイル"}, "ページタイトル"),
    // The web fonts' tab.
    {"WebFontSet", 0, 3, kWebFonts, CaptionPage::None, 0, {}, {"英数字と記号", "かな", "常用漢字", "JIS第1水準"}, {}},
    {"WebFontLimit", kNoIndex, kNoIndex, kWebFonts, CaptionPage::None, 0, {}, {"1つのフォントの上限"}, {}},
    // The dark tab: its switch, then the dark colours by where their light ones are.
    {"CheckDark", kNoIndex, kNoIndex, kDark, CaptionPage::None, 0, {}, {"ダークモードの色も書き出す"}, {}},
    darkRow("Text3Dark", 0, 4, "タグの色", ofEachSlot("文字の色", 0, 4)),
    darkRow("Text3Dark", 5, 9, "タグの色", ofEachSlot("バックの色", 0, 4)),
    darkRow("Text3Dark", 18, 18, "タグの色", ofEachSlot("文字の色", kSlotBody, kSlotBody)),
    darkRow("Text3Dark", 19, 19, "タグの色", ofEachSlot("バックの色", kSlotBody, kSlotBody)),
    darkRow("TextGradient2Dark", 0, kLastSlot, "タグの色", ofEachSlot("グラデーションの色2", 0, kLastSlot)),
    darkRow("TextGradient3Dark", 0, kLastSlot, "タグの色", ofEachSlot("グラデーションの色3", 0, kLastSlot)),
    darkRow("Text3Dark", kFirstScrollbarColour, kLastScrollbarColour, "スクロールバーの色", scrollbar),
    darkClassRow("Text13Dark", "消す色"),
    darkClassRow("Text21Dark", "光る色"),
    darkClassRow("Text23Dark", "影の色"),
    darkClassRow("Text25Dark", "スペシャルの色1"),
    darkClassRow("Text24Dark", "スペシャルの色2"),
    // Held but never shown.
    parkedRow("Text3", 10, {}, "予備の色"),
    parkedRow("Text3Dark", 10, {"ダークモード"}, "予備の色"),
    parkedRow("Check8", kNoIndex, {"HTML形式"}, "サンプル用の文字を入れる"),
    parkedRow("Check9", kNoIndex, {"HTML形式"}, "改行を大量に挿入する（スクロールバーを表示させるため。）"),
    parkedRow("Check10", kNoIndex, {"スタイルシートを読みこむHTMLファイル"},
              "改行を大量に挿入する（スクロールバーを表示させるため。）"),
    parkedRow("Check11", kNoIndex, {"スタイルシートを読みこむHTMLファイル"}, "サンプル用の文字を入れる"),
  };
  // clang-format on
}

// "フォントカラー　#" -> "フォントカラー"; "枠（右下、内 　#" -> "枠（右下、内"
std::string_view wordsOf(std::string_view caption) {
  for (;;) {
    if (caption.ends_with("#") || caption.ends_with(" "))
      caption.remove_suffix(1);
    else if (caption.ends_with("　"))
      caption.remove_suffix(std::string_view("　").size());
    else
      return caption;
  }
}

std::string quoted(std::string_view words) { return "「" + std::string(words) + "」"; }

}  // namespace

const std::vector<CaptionRow>& captionRows() {
  static const std::vector<CaptionRow> rows = buildRows();
  return rows;
}

const CaptionRow* captionRowOf(ControlId id) {
  const auto& rows = captionRows();
  const auto it = std::find_if(rows.begin(), rows.end(), [&](const CaptionRow& row) {
    return row.family == id.family && id.index >= row.first && id.index <= row.last;
  });
  return it == rows.end() ? nullptr : &*it;
}

std::string screenWords(ControlId id, const StyleDocument& doc) {
  const CaptionRow* row = captionRowOf(id);
  if (row == nullptr) return id.toString();
  const int offset = id.index == kNoIndex ? 0 : id.index - row->first;
  const auto& classOf = [&](int c) -> const UserClass& { return doc.classes[static_cast<std::size_t>(c)]; };

  std::vector<std::string> pieces;
  if (!row->tab.empty()) pieces.push_back(quoted(row->tab) + "タブ");
  const int page = row->pageOfFirst + offset;
  if (row->page == CaptionPage::Slot) pieces.push_back(quoted(kSlotTabCaptions[static_cast<std::size_t>(page)]));
  if (row->page == CaptionPage::Class) pieces.push_back("クラス" + quoted(shownText(classOf(page).className)));
  for (std::string_view frame : row->frames) pieces.push_back(quoted(frame));
  if (row->page == CaptionPage::ClassRow) pieces.push_back("クラス" + quoted(shownText(classOf(page).className)));
  if (row->caption.size() == 1)
    pieces.push_back(quoted(wordsOf(row->caption[0])));
  else if (!row->caption.empty())
    pieces.push_back(quoted(wordsOf(row->caption[static_cast<std::size_t>(offset)])));
  else if (row->page == CaptionPage::None)  // the class check boxes carry their own captions
    pieces.push_back(quoted(shownText(classOf(id.index).checkCaption)));
  if (!row->part.empty()) pieces.emplace_back(row->part);

  std::string words = row->tab.empty() ? "画面に出ない設定" : "";
  for (std::size_t k = 0; k < pieces.size(); ++k) words += (k == 0 ? "" : "の") + pieces[k];
  return words;
}

std::string spokenName(ControlId id, const StyleDocument& doc) {
  const CaptionRow* row = captionRowOf(id);
  if (row == nullptr) return {};
  const int offset = id.index == kNoIndex ? 0 : id.index - row->first;
  const int page = row->pageOfFirst + offset;
  const auto& classOf = [&](int c) -> const UserClass& { return doc.classes[static_cast<std::size_t>(c)]; };

  std::vector<std::string> pieces;
  if (row->page == CaptionPage::Slot)
    pieces.emplace_back(captionRowOf({"Check7", page})->caption[static_cast<std::size_t>(page)]);
  else if (row->page == CaptionPage::Class)
    pieces.push_back(shownText(classOf(page).className));
  else if (!row->tab.empty())
    pieces.emplace_back(row->tab);
  if (!row->frames.empty()) pieces.emplace_back(row->frames.back());
  if (row->page == CaptionPage::ClassRow) pieces.push_back(shownText(classOf(page).className));
  if (row->caption.size() == 1)
    pieces.emplace_back(wordsOf(row->caption[0]));
  else if (!row->caption.empty())
    pieces.emplace_back(wordsOf(row->caption[static_cast<std::size_t>(offset)]));
  else if (row->page == CaptionPage::None)
    pieces.push_back(shownText(classOf(id.index).checkCaption));
  if (!row->part.empty()) pieces.emplace_back(row->part);

  std::string words;
  for (const std::string& piece : pieces) words += (words.empty() ? "" : " ") + piece;
  return words;
}

}  // namespace quillane
