// The style document: every setting the editor holds, with its defaults.
//
// The record is the one store of all settings. The editor's widgets bind to
// it, the generators read it, the settings files write and read it. Field
// names follow the meaning of a setting; field_table.h maps each control
// identity of the design (`Text3(18)`, `Check6(12)`, `Option9(3)`) to its field.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quillane {

inline constexpr int kTagSlotCount = 6;
inline constexpr int kUserClassCount = 6;
inline constexpr int kColourBoxCount = 20;  // Text3(0..19)
inline constexpr int kFirstScrollbarColour = 11;
inline constexpr int kLastScrollbarColour = 17;
inline constexpr int kScrollbarColourCount = kLastScrollbarColour - kFirstScrollbarColour + 1;

// Tag slot indexes, the same in every control family of a slot.
enum TagSlotIndex : int { kSlotP = 0, kSlotA = 1, kSlotVisited = 2, kSlotActive = 3, kSlotHover = 4, kSlotBody = 5 };

// A pair of option buttons. Selecting one deselects its partner, and a
// settings file can leave neither selected, so there are three states.
enum class Choice : std::uint8_t { Neither, First, Second };

// A check box state: 0 unchecked, 1 checked, 2 greyed (only a settings file
// can set 2). Generation asks for == 1 and sums states.
using CheckState = int;

// The field tables read best aligned.
// clang-format off
struct TagSlot {
  CheckState enabled = 0;              // Check7(i)
  std::string weight;                  // Text4(i)
  Choice useImage = Choice::Second;    // First: Option4(i) "使用する", Second: Option3(i) "使用しない"
  std::string imagePath;               // Text6(i)
  CheckState italic = 0;               // Check1(i)
  CheckState underline = 0;            // Check2(i)
  CheckState overline = 0;             // Check3(i)
  CheckState lineThrough = 0;          // Check4(i)
  CheckState blink = 0;                // Check5(i)
  std::string fontName;                // Combo1(i)
  std::string fontSize;                // Text1(i)
  std::string sizeUnit = "ピクセル";   // Combo3(i)
  std::string cursorLabel = "自動";    // Combo2(i)

  friend bool operator==(const TagSlot&, const TagSlot&) = default;
};

struct UserClass {
  CheckState enabled = 0;              // Check12(c)
  std::string className;               // caption of SSTab4 page c
  std::string checkCaption;            // caption of Check12(c): a copy made at start-up and on rename only
  Choice target = Choice::First;       // First: Option9(c) "文字列" (text), Second: Option10(c) "画像" (image)
  CheckState alphaOn = 0;              // Check13(c)
  std::string opacity = "50";          // Text2(c)
  int opacitySlider = 50;              // Slider1(c), 0..100; moving it rewrites `opacity`
  CheckState chromaOn = 0;             // Check14(c)
  std::string chromaColor = "000000";  // Text13(c)
  CheckState blurOn = 0;               // Check15(c)
  std::string blurDirection = "0";     // Text14(c)
  std::string blurStrength = "10";     // Text15(c)
  CheckState waveOn = 0;               // Check16(c)
  Choice waveOverlay = Choice::Second; // First: Option12(c) "する", Second: Option13(c) "しない"
  std::string waveFreq = "5";          // Text16(c)
  std::string waveLight = "10";        // Text17(c)
  std::string wavePhase = "0";         // Text18(c)
  std::string waveStrength = "5";      // Text19(c)
  CheckState flipOn = 0;               // Check17(c)
  CheckState flipVertical = 0;         // Check18(c)
  CheckState flipHorizontal = 0;       // Check19(c)
  CheckState glowOn = 0;               // Check20(c)
  std::string glowStrength = "10";     // Text20(c)
  std::string glowColor = "000000";    // Text21(c)
  CheckState toneOn = 0;               // Check21(c)
  CheckState invert = 0;               // Check22(c)
  CheckState xray = 0;                 // Check23(c)
  CheckState gray = 0;                 // Check24(c)
  CheckState shadowOn = 0;             // Check25(c)
  std::string shadowDirection = "10";  // Text22(c)
  std::string shadowColor = "000000";  // Text23(c)
  CheckState specialOn = 0;            // Check26(c)
  std::string specialColor1 = "000000";  // Text25(c), beside "色2#" on the screen
  std::string specialColor2 = "000000";  // Text24(c), beside "色1#"
  std::string specialStrength = "10";    // Text26(c) "強さ#"

  // Sets the slider as a user drag would: the opacity text follows only
  // when the position actually changes.
  void moveOpacitySlider(int position);
  // The slider position whose text is exactly `opacity`, which the settings
  // file (it keeps the slider) then holds as typed: "90" -> 90. Nothing for
  // a text the slider cannot hold: "090", "9.5", "101", "".
  std::optional<int> opacityAsSlider() const;

  friend bool operator==(const UserClass&, const UserClass&) = default;
};

struct OutputOptions {
  Choice format = Choice::First;       // First: Option5 "HTML形式", Second: Option6 "スタイルシート"
  std::string cssFolder;               // Text7
  std::string cssFileName = "style.css";        // Text8
  Choice makeLinkPage = Choice::First; // First: Option7 "作成する", Second: Option8 "作成しない"
  std::string linkPageFileName = "style.html";  // Text5
  std::string linkPageTitle = "untitle";        // Text12
  CheckState linkPageSample = 1;       // Check11 (parked, never shown)
  CheckState linkPageBreaks = 1;       // Check10 (parked)
  std::string htmlFolder;              // Text9
  std::string htmlFileName = "style.html";      // Text10
  std::string htmlTitle = "untitle";   // Text11
  CheckState htmlSample = 1;           // Check8 (parked)
  CheckState htmlBreaks = 1;           // Check9 (parked)
  CheckState modern = 0;               // Check28 "今のブラウザ向けに書き出す": UTF-8 and standard CSS instead of the fixed legacy bytes

  friend bool operator==(const OutputOptions&, const OutputOptions&) = default;
};

// clang-format on

// A background that runs through two or three colours. Its first colour is
// the slot's own background colour box, which every output writes as the
// plain colour; the modern output adds the gradient over it.
enum class GradientKind : std::uint8_t { None, Linear, Radial };

struct Gradient {
  GradientKind kind = GradientKind::None;
  std::string angle = "180";  // degrees, as typed; linear only (180: top to bottom)
  // The second and third colours; an empty third one makes two colours.
  std::array<std::string, 2> colours;
  // Their counterparts in the dark variant; the first stop's is the dark
  // colour of the background box.
  std::array<std::string, 2> darkColours;

  friend bool operator==(const Gradient&, const Gradient&) = default;
};

// The dark counterparts of the colours of a user class.
struct ClassDarkColours {
  std::string chromaColor;    // of Text13(c)
  std::string glowColor;      // of Text21(c)
  std::string shadowColor;    // of Text23(c)
  std::string specialColor1;  // of Text25(c)
  std::string specialColor2;  // of Text24(c)

  friend bool operator==(const ClassDarkColours&, const ClassDarkColours&) = default;
};

// "ダークモード": a second colour for each colour the user fills in, which
// the modern output writes for visitors whose system prefers dark pages.
// An empty dark colour keeps the light one.
struct DarkVariant {
  CheckState enabled = 0;
  std::array<std::string, kColourBoxCount> colours;  // of Text3(0..19)
  std::array<ClassDarkColours, kUserClassCount> classes;

  friend bool operator==(const DarkVariant&, const DarkVariant&) = default;
};

// "このフォントを埋め込む": a slot's font cut from a font file to the
// characters the site shows and carried with the modern output as a WOFF2
// web font, first in the slot's font stack. The legacy output never
// writes it.
struct EmbeddedFont {
  std::string file;    // the font file; empty: nothing embedded
  std::string face;    // the face's full name in a collection; empty: the file's only face
  std::string family;  // the family the style sheet gives it, read from the face

  bool chosen() const { return !file.empty(); }
  friend bool operator==(const EmbeddedFont&, const EmbeddedFont&) = default;
};

struct WebFonts {
  std::array<EmbeddedFont, kTagSlotCount> slots;  // by tag slot index
  // The named character sets kept besides the pages' and the form's
  // characters, by key, apart by commas ("ascii,kana,jis1").
  std::string sets = "ascii,kana";
  int limitKilobytes = 1000;  // a larger web font is refused

  friend bool operator==(const WebFonts&, const WebFonts&) = default;
};

struct StyleDocument {
  StyleDocument();

  std::array<TagSlot, kTagSlotCount> slots;
  // Text3(0..19): 0-4 text colours of P..A:HOVER, 5-9 their backgrounds,
  // 10 reserved (stored, never written), 11-17 scrollbar colours,
  // 18-19 BODY text and background.
  std::array<std::string, kColourBoxCount> colours;
  std::array<CheckState, kScrollbarColourCount> scrollbarEnabled{};  // Check6(11..17)
  CheckState fixedBackground = 0;                                    // Check27
  std::array<UserClass, kUserClassCount> classes;
  OutputOptions output;
  int currentClassTab = 0;  // the selected page of SSTab4
  // "そのほかのスタイル": style text the form has no field for, kept as an
  // import found it (CR LF line ends) and written after the generated rules.
  std::string keptStyle;
  DarkVariant dark;
  std::array<Gradient, kTagSlotCount> gradients;  // by tag slot index
  WebFonts fonts;

  CheckState& scrollbarCheck(int k) { return scrollbarEnabled[static_cast<std::size_t>(k - kFirstScrollbarColour)]; }
  CheckState scrollbarCheck(int k) const {
    return scrollbarEnabled[static_cast<std::size_t>(k - kFirstScrollbarColour)];
  }

  friend bool operator==(const StyleDocument&, const StyleDocument&) = default;
};

// Text3 index of the text colour and the background colour of tag slot i:
// i and i + 5 for slots 0..4, 18 and 19 for BODY.
int foreColourIndex(int slot);
int backColourIndex(int slot);

// The selector text written for each slot ("P {", "A:HOVER {"...).
const char* selectorOf(int slot);

}  // namespace quillane
