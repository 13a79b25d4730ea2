// The pages of Form1, line by line. The words of every stored control, and
// the titles of the frames around them, come from the caption table; the
// captions here are only those of controls that store nothing.
#include "editor/form_table.h"

namespace quillane {

namespace {

using enum Index;

constexpr FormCell cell(CellKind kind, std::string_view family, Index index) {
  FormCell c;
  c.kind = kind;
  c.family = family;
  c.index = index;
  return c;
}
constexpr FormCell saying(FormCell c, std::string_view caption) {
  c.caption = caption;
  return c;
}

// A label naming the control after it: Label1 "フォント名" beside Combo1.
constexpr FormCell label(std::string_view family, Index index = None) {
  FormCell c = cell(CellKind::Label, family, index);
  c.words = Words::Beside;
  return c;
}
// A label with its own words; `family` may be empty for one nothing refers to.
constexpr FormCell label(std::string_view family, Index index, std::string_view caption) {
  return saying(cell(CellKind::Label, family, index), caption);
}
constexpr FormCell note(std::string_view family, std::string_view caption, Index index = None) {
  return saying(cell(CellKind::Note, family, index), caption);
}
constexpr FormCell text(std::string_view family, Index index = None) { return cell(CellKind::Text, family, index); }
// A number box of a class page: 40 pixels wide.
constexpr FormCell box(std::string_view family) {
  FormCell c = cell(CellKind::Text, family, Page);
  c.width = 40;
  return c;
}
constexpr FormCell colour(std::string_view textFamily, Index index = Page) {
  return cell(CellKind::Colour, textFamily, index);
}
constexpr FormCell freeList(std::string_view family, Items items) {
  FormCell c = cell(CellKind::FreeList, family, Page);
  c.items = items;
  return c;
}
constexpr FormCell check(std::string_view family, Index index = None) { return cell(CellKind::Check, family, index); }
constexpr FormCell option(std::string_view family, Index index = None) { return cell(CellKind::Option, family, index); }
constexpr FormCell button(std::string_view family, std::string_view caption, Index index = None) {
  return saying(cell(CellKind::Button, family, index), caption);
}
constexpr FormCell nest(const FormTable& table) {
  FormCell c = cell(CellKind::Nest, {}, None);
  c.nested = &table;
  return c;
}
constexpr FormCell group(std::string_view family, const FormTable& table, Index index = None) {
  FormCell c = cell(CellKind::Group, family, index);
  c.nested = &table;
  return c;
}
constexpr FormCell stretch(int factor) { return cell(CellKind::Stretch, {}, None).stretched(factor); }

constexpr FormCell tabs(std::string_view family, const FormTable& pages) {
  FormCell c = cell(CellKind::Tabs, family, None);
  c.nested = &pages;
  return c;
}
// A control of a fixed index: the parked Text3(10).
constexpr FormCell fixed(FormCell c, int index) {
  c.index = Fixed;
  c.offset = index;
  return c;
}

// --- "基本": the slot check boxes, then one page per tag slot -----------------

constexpr FormLine kSlotCheckLines[] = {{{check("Check7", Each).repeated(kTagSlotCount, 3)}}};
constexpr FormTable kSlotChecks{FormLayout::Grid, kSlotCheckLines};
constexpr FormLine kBasicLines[] = {
    {{group("Frame10", kSlotChecks)}},
    {{tabs("SSTab2", kSlotPage).stretched(1)}},
};

// The image path and its browse button also follow the image option.
constexpr FormCell image(FormCell c) { return c.following(Follows::Image); }

constexpr FormLine kSizeBoxLines[] = {{{text("Text1", Page), freeList("Combo3", Items::Units)}}};
constexpr FormTable kSizeBoxes{FormLayout::Line, kSizeBoxLines};

constexpr FormLine kAttributeLines[] = {
    {{check("Check1", Page), check("Check2", Page), check("Check3", Page), check("Check4", Page)}},
    {{check("Check5", Page).spanning(4)}},
};
constexpr FormTable kAttributes{FormLayout::Grid, kAttributeLines};

constexpr FormLine kImageLines[] = {
    {{option("Option4", Page), option("Option3", Page)}},
    {{label("Label10", Page), image(text("Text6", Page)).spanning(2), image(button("Command4", "参照", Page))}},
    {{check("Check27").spanning(4).only(onPages({kSlotBody}))}},
};
constexpr FormTable kImage{FormLayout::Grid, kImageLines};

// A label with the words of the frame the caption table puts around the
// controls after it, which the form shows without a frame: "属性".
constexpr FormCell frameLabel(std::string_view family) {
  FormCell c = label(family, Page);
  c.words = Words::FrameOf;
  return c;
}

// The web font embedded for the slot: the face shown, and the buttons that
// choose one and stop embedding it.
constexpr FormLine kWebFontLine[] = {
    {{cell(CellKind::Shown, "WebFontFace", Page).stretched(1), button("WebFontChoose", "このフォントを埋め込む…", Page),
      button("WebFontStop", "埋め込みをやめる", Page)}},
};
constexpr FormTable kWebFontSlot{FormLayout::Line, kWebFontLine, {-1, -1, -1, -1, 4}};

// The background's gradient: its first colour is the background colour
// above it; the others and the angle mean something only for some kinds.
constexpr FormCell gradientKind() {
  FormCell c = cell(CellKind::List, "ComboGradient", Page);
  c.items = Items::GradientKinds;
  return c;
}
constexpr FormCell angleBox() {
  FormCell c = cell(CellKind::Text, "TextAngle", Page).limited(6).following(Follows::Linear);
  c.width = 54;
  return c;
}
constexpr FormCell stop(std::string_view family) { return colour(family).following(Follows::Gradient); }
constexpr FormLine kGradientLines[] = {
    {{label({}), gradientKind(), label({}), angleBox()}},
    {{label({}), stop("TextGradient2"), label({}), stop("TextGradient3"), stretch(1)}},
};
constexpr FormTable kGradient{FormLayout::Line, kGradientLines, {0, 0, 0, 0, 8}};

constexpr FormLine kSlotLines[] = {
    {{label("Label1", Page), freeList("Combo1", Items::Fonts).spanning(4)}},
    {{label("WebFontLabel", Page), nest(kWebFontSlot).spanning(4)}},
    {{label("Label2", Page), nest(kSizeBoxes).spanning(4)}},
    {{label("Label6", Page), colour("Text3", Fore)}},
    {{label("Label9", Page), colour("Text3", Back)}},
    {{frameLabel("LabelGradient"), nest(kGradient).spanning(4)}},
    {{frameLabel("Label7"), nest(kAttributes).spanning(4)}},
    {{label("Label8", Page).spanning(2), text("Text4", Page).spanning(3)}},
    {{label("Label24", Page), freeList("Combo2", Items::Cursors).spanning(2),
      label({}, None, "←利用価値なし？").spanning(2).only(onPages({kSlotActive, kSlotHover}))}},
    {{group("Frame4", kImage, Page).following(Follows::Page).spanning(5)}},
    {{label("Label22", Page, "変更したくない項目は、空白のままにしておいてください。").spanning(5)}},
};

// --- "スクロールバー": the picture beside one row per colour ----------------------

constexpr FormLine kPictureLines[] = {
    {{label("Label23", None, "サンプル（目安）")}},
    {{cell(CellKind::Picture, "BarPic1", None).aligned(Qt::AlignHCenter)}},
    {{stretch(1)}},
};
constexpr FormTable kPictureColumn{FormLayout::Column, kPictureLines};

// Row k of the settings: Label9(k - 5), Text3(k), Command2(k), Shape1(k).
constexpr FormCell rowLabel() {
  FormCell c = label("Label9", Each);
  c.offset = -5;
  return c;
}
constexpr FormLine kScrollbarColourLines[] = {{{rowLabel(), colour("Text3", Each).following(Follows::Row)}}};
constexpr FormTable kScrollbarColour{FormLayout::Grid, kScrollbarColourLines};

constexpr FormCell rowCheck() {
  FormCell c = check("Check6", Each);
  c.words = Words::None;
  return c;
}
constexpr FormLine kScrollbarRowLines[] = {
    {{rowCheck(), nest(kScrollbarColour)}, kFirstScrollbarColour, kLastScrollbarColour},
    {{label("Label20", None, "変更するものにチェックをいれる").spanning(2)}},
    {{note("Label21", "バックの色を指定しないと、メインの色を薄くしたものに自動でなります。").spanning(2)}},
};
constexpr FormTable kScrollbarRows{FormLayout::Grid, kScrollbarRowLines};

constexpr FormLine kScrollbarLines[] = {
    {{label("Label3", None, "スクロールバーの色を変更出来ます").spanning(2)}},
    {{nest(kPictureColumn), group("Frame5", kScrollbarRows).aligned(Qt::AlignTop)}},
};

// --- "エフェクト": the notes, one page per user class, the class check boxes -------

constexpr FormCell plain(FormCell c) {
  c.plainText = true;
  return c;
}

constexpr FormLine kClassCheckLines[] = {{{saying(check("Check12", Each), "Check12").repeated(kUserClassCount)}}};
constexpr FormTable kClassChecks{FormLayout::Grid, kClassCheckLines};
constexpr FormLine kEffectsBottomLines[] = {
    {{group("Frame11", kClassChecks).stretched(1), button("Command8", "プレビュー").aligned(Qt::AlignBottom)}},
};
constexpr FormTable kEffectsBottom{FormLayout::Line, kEffectsBottomLines};

constexpr FormLine kEffectsLines[] = {
    {{note("Label27",
           "エフェクトを利用するには、ＨＴＭＬファイルをテキストエディターで開き、以下のように変更してください")}},
    {{plain(note("Label28",
                 "例：変更したい　<P>～</P>　の部分を<P class=\"efect\">～</P>　のように書き換えてください。"))}},
    {{note("Label29", "また、efect の部分はタブの名前に合わせてください")}},
    {{tabs("SSTab4", kClassPage).stretched(1)}},
    {{nest(kEffectsBottom)}},
};

// A class page: three columns of frames. Every control in them follows the
// class's check box (kClassPage), but for the swatches and the frames not
// marked so.
constexpr FormCell switched(FormCell c) { return c.following(Follows::Page); }
constexpr FormSpacing kFrameGrid{3, 2, 2, 4, 3};

constexpr FormLine kTargetLines[] = {{{option("Option9", Page), option("Option10", Page)}}};
constexpr FormTable kTarget{FormLayout::Grid, kTargetLines, kFrameGrid};

constexpr FormLine kFilterLines[] = {
    {{check("Check13", Page)}}, {{check("Check14", Page)}}, {{check("Check15", Page)}},
    {{check("Check16", Page)}}, {{check("Check17", Page)}}, {{check("Check20", Page)}},
    {{check("Check21", Page)}}, {{check("Check25", Page)}}, {{check("Check26", Page)}},
};
constexpr FormTable kFilters{FormLayout::Grid, kFilterLines, {3, 2, 2, 4, 3, 0}};

constexpr FormLine kAlphaLines[] = {
    {{label("Label5", Page), box("Text2").limited(3)}},
    {{cell(CellKind::Slider, "Slider1", Page).spanning(2)}},
};
constexpr FormTable kAlpha{FormLayout::Grid, kAlphaLines, kFrameGrid};

constexpr FormLine kChromaLines[] = {{{label("Label30", Page), colour("Text13")}}};
constexpr FormTable kChroma{FormLayout::Grid, kChromaLines, kFrameGrid};

constexpr FormLine kBlurLines[] = {
    {{label("Label31", Page), box("Text14").limited(3), label("Label32", Page), box("Text15").limited(3)}},
};
constexpr FormTable kBlur{FormLayout::Grid, kBlurLines, kFrameGrid};

constexpr FormLine kOverlayLines[] = {{{option("Option12", Page), option("Option13", Page)}}};
constexpr FormTable kOverlay{FormLayout::Grid, kOverlayLines, kFrameGrid};

constexpr FormLine kWaveLines[] = {
    {{switched(group("Frame17", kOverlay, Page)).spanning(2)}},
    {{label("Label33", Page), box("Text16")}},
    {{label("Label36", Page), box("Text19")}},
    {{label("Label34", Page), box("Text17")}},
    {{label("Label35", Page), box("Text18").limited(3)}},
};
constexpr FormTable kWave{FormLayout::Grid, kWaveLines, kFrameGrid};

constexpr FormLine kFlipLines[] = {{{check("Check18", Page), check("Check19", Page)}}};
constexpr FormTable kFlip{FormLayout::Grid, kFlipLines, kFrameGrid};

constexpr FormLine kToneLines[] = {
    {{check("Check22", Page), check("Check23", Page)}},
    {{check("Check24", Page)}},
};
constexpr FormTable kTone{FormLayout::Grid, kToneLines, kFrameGrid};

constexpr FormLine kGlowLines[] = {
    {{label("Label37", Page), box("Text20").limited(3)}},
    {{label("Label38", Page), colour("Text21")}},
};
constexpr FormTable kGlow{FormLayout::Grid, kGlowLines, kFrameGrid};

constexpr FormLine kShadowLines[] = {
    {{label("Label39", Page), box("Text22").limited(3)}},
    {{label("Label40", Page), colour("Text23")}},
};
constexpr FormTable kShadow{FormLayout::Grid, kShadowLines, kFrameGrid};

constexpr FormLine kSpecialLines[] = {
    {{label("Label41", Page), colour("Text24")}},
    {{label("Label42", Page), colour("Text25")}},
    {{label("Label43", Page), box("Text26").limited(6)}},
};
constexpr FormTable kSpecial{FormLayout::Grid, kSpecialLines, kFrameGrid};

constexpr FormSpacing kClassColumn{-1, -1, -1, -1, 2};

// Target, the filter list and opacity.
constexpr FormLine kFirstColumnLines[] = {
    {{switched(group("Frame14", kTarget, Page))}},
    {{switched(group("Frame13", kFilters, Page))}},
    {{group("Frame3", kAlpha, Page)}},
    {{stretch(1)}},
};
// Chroma, blur, wave and flips.
constexpr FormLine kSecondColumnLines[] = {
    {{group("Frame15", kChroma, Page)}},
    {{group("Frame12", kBlur, Page)}},
    {{group("Frame16", kWave, Page)}},
    {{group("Frame18", kFlip, Page)}},
    {{stretch(1)}},
};
// Tone, glow, shadow and the special combination.
constexpr FormLine kThirdColumnLines[] = {
    {{group("Frame20", kTone, Page)}},
    {{group("Frame19", kGlow, Page)}},
    {{group("Frame21", kShadow, Page)}},
    {{group("Frame22", kSpecial, Page)}},
    {{stretch(1)}},
};
constexpr FormTable kFirstColumn{FormLayout::Column, kFirstColumnLines, kClassColumn};
constexpr FormTable kSecondColumn{FormLayout::Column, kSecondColumnLines, kClassColumn};
constexpr FormTable kThirdColumn{FormLayout::Column, kThirdColumnLines, kClassColumn};

// The filter list keeps its width; the other two columns share the rest.
constexpr FormLine kClassLines[] = {
    {{nest(kFirstColumn), nest(kSecondColumn).stretched(1), nest(kThirdColumn).stretched(1)}},
};

// --- "出力": format, the HTML page, the style sheet and its linking page ----------

constexpr FormSpacing kOutputGrid{-1, -1, -1, -1, -1, 3};

constexpr FormLine kFormatLines[] = {
    {{option("Option6"), option("Option5")}},
    {{note("Label15",
           "HTML形式で保存した場合そのファイルでのみの適用となりますが、スタイルシート形式にすると、スタイルシートを読"
           "みこむようにしてあるすべてのファイルに適用させる事が出来ます。")
          .spanning(2)}},
    {{note("Label16",
           "よって、1つのページにしかスタイル適用させる予定がない場合はHTML形式、複数のファイルに適応させる場合はスタ"
           "イルシート形式で保存する事をお勧めします。またスタイルシート形式にした場合はスタイルシートファイル（*."
           "css）を1つ変更するだけで全てのファイルの見た目を一気に変える事が出来ます。")
          .spanning(2)}},
    {{cell(CellKind::Switch, "Check28", None).spanning(2)}},
};
constexpr FormTable kFormat{FormLayout::Grid, kFormatLines, kOutputGrid};

constexpr FormCell html(FormCell c) { return c.following(Follows::Html); }
constexpr FormLine kHtmlLines[] = {
    {{html(label("Label13")), html(text("Text9")), html(button("Command3", "参照"))}},
    {{html(label("Label14")), html(text("Text10"))}},
    {{html(label("Label17")), html(text("Text11"))}},
};
constexpr FormTable kHtml{FormLayout::Grid, kHtmlLines, kOutputGrid};

constexpr FormCell sheet(FormCell c) { return c.following(Follows::StyleSheet); }
constexpr FormCell linked(FormCell c) { return c.following(Follows::LinkPage); }
constexpr FormLine kLinkLines[] = {
    {{sheet(option("Option7")), sheet(option("Option8"))}},
    {{linked(label("Label18")), linked(text("Text5"))}},
    {{linked(label("Label19")), linked(text("Text12"))}},
};
constexpr FormTable kLink{FormLayout::Grid, kLinkLines, kOutputGrid};

constexpr FormLine kSheetLines[] = {
    {{sheet(label("Label11")), sheet(text("Text7")), sheet(button("Command5", "参照"))}},
    {{sheet(label("Label12")), sheet(text("Text8"))}},
    {{sheet(group("Frame9", kLink)).spanning(3)}},
};
constexpr FormTable kSheet{FormLayout::Grid, kSheetLines, kOutputGrid};

// The web fonts' tab: the character sets and the limit on one line, then
// the measuring with its progress.
constexpr FormLine kWebFontSetLines[] = {
    {{cell(CellKind::Switch, "WebFontSet", Each).repeated(4), stretch(1), label("WebFontLimitLabel"),
      cell(CellKind::Number, "WebFontLimit", None)}},
};
constexpr FormTable kWebFontSets{FormLayout::Line, kWebFontSetLines};
constexpr FormLine kWebFontRunLines[] = {
    {{button("WebFontMeasure", "大きさを調べる"), cell(CellKind::Progress, "WebFontProgress", None).stretched(1),
      button("WebFontCancel", "中止")}},
};
constexpr FormTable kWebFontRun{FormLayout::Line, kWebFontRunLines};

constexpr FormLine kOutputLines[] = {
    {{group("Frame6", kFormat)}},
    {{html(group("Frame7", kHtml))}},
    {{sheet(group("Frame8", kSheet))}},
    {{button("Command6", "出力する").aligned(Qt::AlignRight)}},
    {{stretch(1)}},
};

// --- "ダークモード": the switch, then a dark colour for every light one -------------

constexpr FormLine kDarkSwitchLines[] = {
    {{check("CheckDark").following(Follows::Modern).stretched(1),
      button("CommandDark", "自動で作る").following(Follows::Dark)}},
};
constexpr FormTable kDarkSwitch{FormLayout::Line, kDarkSwitchLines};

constexpr FormCell dark(FormCell c) { return c.following(Follows::Dark); }
// Words over the colour cells below them, three grid columns each.
constexpr FormCell heading(std::string_view words) { return label({}, None, words).spanning(3); }
constexpr FormCell corner() { return label({}, None, ""); }
constexpr FormCell slotName() {
  FormCell c = cell(CellKind::Label, {}, Each);
  c.words = Words::SlotName;
  return c;
}
constexpr FormCell className() {
  FormCell c = cell(CellKind::Label, "LabelClass", Each);
  c.words = Words::ClassName;
  c.plainText = true;
  return c;
}
constexpr FormSpacing kDarkGrid{6, 2, 6, 4, 6, 2};

constexpr FormLine kDarkSlotLines[] = {
    {{corner(), heading("文字の色"), heading("バックの色"), heading("グラデーションの色2"),
      heading("グラデーションの色3")}},
    {{slotName(), dark(colour("Text3Dark", EachFore)), dark(colour("Text3Dark", EachBack)),
      dark(colour("TextGradient2Dark", Each)), dark(colour("TextGradient3Dark", Each))},
     0,
     kTagSlotCount - 1},
};
constexpr FormTable kDarkSlots{
    .layout = FormLayout::Grid, .lines = kDarkSlotLines, .spacing = kDarkGrid, .stretchColumn = 13};

constexpr FormCell darkBar(int k) { return dark(fixed(colour("Text3Dark"), k)); }
constexpr FormLine kDarkScrollbarLines[] = {
    {{label({}), darkBar(11), label({}), darkBar(12), label({}), darkBar(13)}},
    {{label({}), darkBar(14), label({}), darkBar(15), label({}), darkBar(16)}},
    {{label({}), darkBar(17)}},
};
constexpr FormTable kDarkScrollbar{
    .layout = FormLayout::Grid, .lines = kDarkScrollbarLines, .spacing = kDarkGrid, .stretchColumn = 12};

constexpr FormLine kDarkClassLines[] = {
    {{corner(), heading("消す色"), heading("光る色"), heading("影の色"), heading("スペシャルの色1"),
      heading("スペシャルの色2")}},
    {{className(), dark(colour("Text13Dark", Each)), dark(colour("Text21Dark", Each)), dark(colour("Text23Dark", Each)),
      dark(colour("Text25Dark", Each)), dark(colour("Text24Dark", Each))},
     0,
     kUserClassCount - 1},
};
constexpr FormTable kDarkClasses{
    .layout = FormLayout::Grid, .lines = kDarkClassLines, .spacing = kDarkGrid, .stretchColumn = 16};

constexpr FormLine kDarkLines[] = {
    {{nest(kDarkSwitch)}},
    {{label({}, None,
            "空白の色は明るいときの色のままです。「出力」タブの「今のブラウザ向けに書き出す」を選んだときだけ"
            "書き出されます。")}},
    {{group("FrameDark1", kDarkSlots)}},
    {{group("FrameDark2", kDarkScrollbar)}},
    {{group("FrameDark3", kDarkClasses)}},
    {{stretch(1)}},
};

// --- "Webフォント": the character sets kept besides the pages' own, the -------
// --- largest font written, and what cutting the chosen fonts gives ---------

constexpr FormLine kWebFontLines[] = {
    {{label({}, None, "残す文字"), nest(kWebFontSets)}},
    {{nest(kWebFontRun).spanning(2)}},
    {{cell(CellKind::Report, "WebFontReport", None).spanning(2)}},
};
constexpr FormTable kWebFont{FormLayout::Grid, kWebFontLines, kOutputGrid, 1};
constexpr FormLine kWebFontTabLines[] = {
    {{label({}, None, "ページに埋め込むフォントは、「基本」タブの各タグのページの「Webフォント」で選びます。")}},
    {{label({}, None, "「出力」タブの「今のブラウザ向けに書き出す」を選んだときだけ書き出されます。")}},
    {{nest(kWebFont)}},
    {{stretch(1)}},
};

// --- the parking area under the visible window -----------------------------

constexpr FormLine kReservedLines[] = {
    {{fixed(text("Text3"), 10), fixed(cell(CellKind::Swatch, "Shape1", None), 10), fixed(text("Text3Dark"), 10)}}};
constexpr FormTable kReserved{FormLayout::Line, kReservedLines};

constexpr FormLine kParkingLines[] = {
    {{label({}, None, "ごみ捨て場")}}, {{nest(kReserved)}},          {{html(check("Check8"))}},
    {{html(check("Check9"))}},         {{linked(check("Check10"))}}, {{linked(check("Check11"))}},
};

}  // namespace

const FormTable kBasicTab{FormLayout::Column, kBasicLines};
// Every control of a slot page follows the slot's check box, but for the
// swatches and the note beside the cursor list, which store nothing.
const FormTable kSlotPage{.layout = FormLayout::Grid,
                          .lines = kSlotLines,
                          .spacing = {.vertical = 3},
                          .stretchColumn = 4,
                          .stretchBelow = true,
                          .follows = Follows::Page};
const FormTable kScrollbarTab{
    .layout = FormLayout::Grid, .lines = kScrollbarLines, .stretchColumn = 1, .stretchBelow = true};
const FormTable kEffectsTab{FormLayout::Column, kEffectsLines, {4, 6, 4, 4, 2}};
const FormTable kClassPage{
    .layout = FormLayout::Line, .lines = kClassLines, .spacing = {0, 4, 0, 2, 3}, .follows = Follows::Page};
const FormTable kOutputTab{FormLayout::Column, kOutputLines, {6, 6, 6, 4, 4}};
const FormTable kDarkTab{FormLayout::Column, kDarkLines, {6, 6, 6, 4, 4}};
const FormTable kWebFontTab{FormLayout::Column, kWebFontTabLines, {6, 6, 6, 4, 4}};
const FormTable kParking{FormLayout::Column, kParkingLines};

}  // namespace quillane
