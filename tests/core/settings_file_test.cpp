// Settings, sample and version-1 files: layout, round trips, refusals.
#include "persistence/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/cp932.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::FakePlatform;
using testing::ScratchFolder;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "the last line must end with CR LF";
  return lines;
}

std::string toCp932(const std::string& utf8) { return testing::cp932(utf8); }

// The lines as a file's CP932 bytes.
std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return toCp932(text);
}

// A document with every stored field away from its default.
StyleDocument everythingChanged() {
  StyleDocument doc;
  int n = 0;
  const auto next = [&] { return " v" + std::to_string(++n) + " "; };  // spaces survive
  for (auto& c : doc.colours) c = next();
  for (auto& s : doc.slots) {
    s.enabled = 1;
    s.weight = next();
    s.useImage = Choice::First;
    s.imagePath = next();
    s.italic = s.underline = s.overline = s.lineThrough = 1;
    s.blink = 2;
    s.fontName = "";
    s.fontSize = next();
    s.sizeUnit = "インチ";
    s.cursorLabel = "ヘルプ";
  }
  for (auto& on : doc.scrollbarEnabled) on = 1;
  doc.fixedBackground = 1;
  for (auto& c : doc.classes) {
    c.enabled = c.alphaOn = c.chromaOn = c.blurOn = c.waveOn = c.flipOn = c.flipVertical = c.flipHorizontal = 1;
    c.glowOn = c.toneOn = c.invert = c.xray = c.gray = c.shadowOn = c.specialOn = 1;
    c.className = "クラス" + next();
    c.target = Choice::Second;
    c.moveOpacitySlider(77);
    c.waveOverlay = Choice::First;
    for (std::string* f : {&c.chromaColor, &c.blurDirection, &c.blurStrength, &c.waveFreq, &c.waveLight, &c.wavePhase,
                           &c.waveStrength, &c.glowStrength, &c.glowColor, &c.shadowDirection, &c.shadowColor,
                           &c.specialColor1, &c.specialColor2, &c.specialStrength})
      *f = next();
  }
  return doc;
}

TEST(SettingsLayout, DefaultsGiveTheKnownLines) {
  const auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  ASSERT_EQ(lines.size(), 322u);
  for (int n = 1; n <= 11; ++n) EXPECT_EQ(lines[n - 1], "") << n;
  const char* scrollbar[] = {"000000", "BFBFBF", "CFCFCF", "FFFFFF", "000000", "808080", "EFEFEF"};
  for (int n = 12; n <= 18; ++n) EXPECT_EQ(lines[n - 1], scrollbar[n - 12]);
  for (int n = 33; n <= 38; ++n) EXPECT_EQ(lines[n - 1], "ピクセル");
  for (int n = 39; n <= 44; ++n) EXPECT_EQ(lines[n - 1], "自動");
  for (int n = 45; n <= 50; ++n) EXPECT_EQ(lines[n - 1], "False");
  for (int n = 51; n <= 56; ++n) EXPECT_EQ(lines[n - 1], "True");
  EXPECT_EQ(lines[56], "0");  // Check27
  for (int n = 185; n <= 190; ++n) EXPECT_EQ(lines[n - 1], "50");
  for (int c = 0; c < 6; ++c) EXPECT_EQ(lines[316 + c], "efect" + std::to_string(c));
  EXPECT_EQ(lines[280], "5");   // Text19, wave strength, before light strength
  EXPECT_EQ(lines[286], "10");  // Text17
}

TEST(SettingsLayout, SampleIsTheSettingsBehindTwoHeaderLines) {
  const StyleDocument doc = everythingChanged();
  const auto settings = linesOf(settingsFileText(doc, Layout::Settings));
  const auto sample = linesOf(settingsFileText(doc, Layout::Sample, "作者", "名前"));
  ASSERT_EQ(sample.size(), 324u);
  EXPECT_EQ(sample[0], "作者");
  EXPECT_EQ(sample[1], "名前");
  EXPECT_TRUE(std::equal(settings.begin(), settings.end(), sample.begin() + 2));
}

TEST(SettingsLayout, Version1IsTheSettingsWithoutLaterRows) {
  const auto& v1 = layoutFields(Layout::Version1);
  const auto& now = layoutFields(Layout::Settings);
  ASSERT_EQ(v1.size(), 99u);
  std::vector<ControlId> expected(now.begin(), now.begin() + 32);
  expected.insert(expected.end(), now.begin() + 44, now.begin() + 56);
  expected.insert(expected.end(), now.begin() + 57, now.begin() + 112);
  EXPECT_EQ(v1, expected);
}

TEST(SettingsLayout, EveryFieldIsStoredOnceExceptTheOpacityText) {
  auto fields = layoutFields(Layout::Settings);
  std::sort(fields.begin(), fields.end(), [](auto& a, auto& b) { return a.toString() < b.toString(); });
  EXPECT_EQ(std::adjacent_find(fields.begin(), fields.end()), fields.end());
  StyleDocument doc;
  for (const auto& id : fields) EXPECT_TRUE(fieldOf(doc, id).has_value()) << id.toString();
  EXPECT_EQ(std::count_if(fields.begin(), fields.end(), [](auto& id) { return id.family == "Text2"; }), 0);
}

TEST(SettingsRoundTrip, EveryStoredFieldComesBack) {
  const StyleDocument saved = everythingChanged();
  for (Layout layout : {Layout::Settings, Layout::Sample}) {
    StyleDocument loaded;
    loaded.classes[0].checkCaption = "old";
    const LoadResult r = loadSettings(loaded, layout, toCp932(settingsFileText(saved, layout, "a", "b")));
    ASSERT_TRUE(r.ok()) << r.error->describe("x");
    StyleDocument expected = saved;
    expected.currentClassTab = 5;              // walking the class names ends on the last tab
    expected.classes[0].checkCaption = "old";  // check-box captions are not stored
    for (int c = 1; c < 6; ++c)
      expected.classes[static_cast<std::size_t>(c)].checkCaption =
          loaded.classes[static_cast<std::size_t>(c)].checkCaption;
    EXPECT_TRUE(loaded == expected);
    EXPECT_EQ(loaded.classes[0].opacity, "77");
  }
}

TEST(SettingsRoundTrip, OpacityTypedWithoutTheSliderIsNotKept) {
  StyleDocument doc;
  doc.classes[0].opacity = "30";  // typed, slider still at 50
  StyleDocument loaded;
  loaded.classes[0].opacity = "99";
  ASSERT_TRUE(loadSettings(loaded, Layout::Settings, toCp932(settingsFileText(doc, Layout::Settings))).ok());
  EXPECT_EQ(loaded.classes[0].opacity, "99");  // the slider did not move, so the text stays
  loaded.classes[0].moveOpacitySlider(20);
  ASSERT_TRUE(loadSettings(loaded, Layout::Settings, toCp932(settingsFileText(doc, Layout::Settings))).ok());
  EXPECT_EQ(loaded.classes[0].opacity, "50");
}

TEST(SettingsRead, OptionPairsAreAppliedInFileOrder) {
  auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  lines[44] = "True";   // Option4(0) "使用する"
  lines[50] = "true";   // Option3(0) "使用しない": the second wins
  lines[45] = "FALSE";  // Option4(1)
  lines[51] = "0";      // Option3(1): neither selected
  lines[46] = "-1";     // Option4(2), a number
  lines[52] = "False";
  StyleDocument doc;
  const LoadResult r = loadSettings(doc, Layout::Settings, joinLines(lines));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(doc.slots[0].useImage, Choice::Second);
  EXPECT_EQ(doc.slots[1].useImage, Choice::Neither);
  EXPECT_EQ(doc.slots[2].useImage, Choice::First);
  EXPECT_EQ(r.changed, (std::vector<ControlId>{{"Option4", 0}, {"Option4", 2}, {"Option3", 0}, {"Option3", 1}}));
}

TEST(SettingsRead, ExtraLinesUpTo325AreIgnoredAndLineEndsMayVary) {
  auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  lines[99] = "1";                                 // Check7(0)
  lines.insert(lines.end(), {"False", "y", "z"});  // line 323 holds the modern-output switch
  std::string text = joinLines(lines);
  StyleDocument doc;
  ASSERT_TRUE(loadSettings(doc, Layout::Settings, text).ok());
  EXPECT_EQ(doc.slots[0].enabled, 1);

  // Lone CR and lone LF end lines too, and the last line needs no break.
  std::string mixed;
  for (std::size_t k = 0; k < 322; ++k) mixed += lines[k] + (k < 161 ? "\n" : "\r");
  mixed.pop_back();
  mixed = toCp932(mixed);
  StyleDocument other;
  ASSERT_TRUE(loadSettings(other, Layout::Settings, mixed).ok());
  EXPECT_TRUE(other == doc);
}

TEST(SettingsRead, RefusedFilesLeaveTheDocumentUntouched) {
  const auto good = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  struct Case {
    std::string name;
    std::string bytes;
    int line;
    std::string says;
  };
  std::vector<Case> cases;
  auto withLine = [&](std::size_t k, std::string value) {
    auto lines = good;
    lines[k] = std::move(value);
    return joinLines(lines);
  };
  cases.push_back({"check above range", withLine(99, "3"), 100, "「基本」タブの「変更する所」の「段落」には"});
  cases.push_back({"check below range", withLine(99, "-1"), 100, "チェックの状態（0、1、2のどれか）"});
  cases.push_back({"empty check", withLine(63, ""), 64, "「基本」タブの「段落（<P>～</P>）」の「属性」の「斜体」"});
  cases.push_back({"option word", withLine(44, "yes"), 45, "True か False"});
  cases.push_back({"slider word", withLine(184, "half"), 185, "0から100までの整数"});
  cases.push_back({"slider above range", withLine(185, "101"), 186,
                   "「エフェクト」タブのクラス「efect1」の「半透明にする」の「不透明度」"});
  cases.push_back({"slider below range", withLine(185, "-1"), 186, "0から100までの整数"});
  auto longer = good;
  longer.resize(326, "");
  cases.push_back({"326 lines", joinLines(longer), 326, "行が多すぎます"});
  auto shorter = good;
  shorter.resize(321);
  cases.push_back({"321 lines", joinLines(shorter), 322, "行が足りません"});
  cases.push_back({"empty file", "", 1, "行が足りません"});
  std::string badByte = withLine(20, "@@");
  badByte.replace(badByte.find("@@"), 2, "\x81\x20");
  cases.push_back({"bad byte", badByte, 21, "Shift_JIS"});

  for (const Case& c : cases) {
    StyleDocument doc;
    doc.colours[0] = "keep";
    const StyleDocument before = doc;
    const LoadResult r = loadSettings(doc, Layout::Settings, c.bytes);
    ASSERT_FALSE(r.ok()) << c.name;
    EXPECT_EQ(r.error->line, c.line) << c.name;
    EXPECT_NE(r.error->problem.find(c.says), std::string::npos) << c.name << ": " << r.error->problem;
    EXPECT_TRUE(doc == before) << c.name;
    EXPECT_TRUE(r.changed.empty());
  }
}

TEST(SettingsRead, ValuesAtTheEdgesOfTheirRangeLoadAndComeBack) {
  const auto good = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  for (int position : {0, 100}) {
    auto lines = good;
    lines[185] = std::to_string(position);      // the slider of class 1
    lines[99] = std::to_string(position / 50);  // Check7(0): 0 or 2
    StyleDocument doc;
    const LoadResult r = loadSettings(doc, Layout::Settings, joinLines(lines));
    ASSERT_TRUE(r.ok()) << position;
    EXPECT_EQ(doc.classes[1].opacitySlider, position);
    EXPECT_EQ(doc.classes[1].opacity, std::to_string(position));
    EXPECT_EQ(doc.slots[0].enabled, position / 50);
    EXPECT_EQ(linesOf(settingsFileText(doc, Layout::Settings)), lines);
  }
}

TEST(SettingsRead, LinesAreBoundedInLengthAndNumber) {
  auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  lines[57] = std::string(kMaxSettingsLineBytes, 'p');  // Text6(0), as long as a line may be
  StyleDocument doc;
  ASSERT_TRUE(loadSettings(doc, Layout::Settings, joinLines(lines)).ok());
  EXPECT_EQ(doc.slots[0].imagePath.size(), kMaxSettingsLineBytes);

  lines[57] += "p";
  StyleDocument refused;
  LoadResult r = loadSettings(refused, Layout::Settings, joinLines(lines));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 58);
  EXPECT_NE(r.error->problem.find("行が長すぎます"), std::string::npos);
  EXPECT_TRUE(refused == StyleDocument{});

  // Lone CRs by the million: refused at the first line too many, counted
  // after a sample's header.
  const std::string endless(1'000'000, '\r');
  r = loadSettings(refused, Layout::Settings, endless);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 326);
  r = loadSettings(refused, Layout::Sample, endless);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 328);
  // The first bound that a reader may stop at is enough to find either fault.
  r = loadSettings(refused, Layout::Settings, std::string(kMaxSettingsFileBytes, 'x'));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 1);
  EXPECT_FALSE(readSampleHeader(std::string(kMaxSettingsFileBytes, 'x')));
}

TEST(SettingsRead, AnEndlessFileIsReadOnlyAsFarAsItsFirstFault) {
  FakePlatform platform;
  StyleDocument doc;
  const LoadResult r = FileOpen(platform, doc, "/dev/zero", false);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 1);
}

TEST(SettingsRead, ARefusedValueIsShownEscapedAndCut) {
  auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  lines[44] = "\x1B]0;owned\x07" + std::string(4000, 'y');  // Option4(0)
  StyleDocument doc;
  const LoadResult r = loadSettings(doc, Layout::Settings, joinLines(lines));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->problem.find('\x1B'), std::string::npos);
  EXPECT_NE(r.error->problem.find("（今は「\\x1B]0;owned\\x07yyy"), std::string::npos) << r.error->problem;
  EXPECT_LT(r.error->problem.size(), 300u);
}

TEST(SettingsRead, SampleReadAsSettingsIsRefusedWhole) {
  const std::string sample = toCp932(settingsFileText(StyleDocument{}, Layout::Sample, "me", "mine"));
  StyleDocument doc;
  const LoadResult r = loadSettings(doc, Layout::Settings, sample);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 45);  // "ピクセル" lands on Option4(0)
  EXPECT_TRUE(doc == StyleDocument{});
}

TEST(SettingsRead, SampleHeaderLinesAreSkippedAndReadForTheMenu) {
  const std::string bytes = toCp932(settingsFileText(everythingChanged(), Layout::Sample, "", "夏の空"));
  StyleDocument doc;
  ASSERT_TRUE(loadSettings(doc, Layout::Sample, bytes).ok());
  EXPECT_EQ(doc.slots[0].sizeUnit, "インチ");
  const auto header = readSampleHeader(bytes);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->first, "");
  EXPECT_EQ(header->second, "夏の空");
  EXPECT_FALSE(readSampleHeader("only one line\r\n"));
  StyleDocument short1;
  EXPECT_FALSE(loadSettings(short1, Layout::Sample, "a\r\nb\r\n").ok());

  // A refused entry is named by its line in the file, header included.
  auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Sample, "a", "b"));
  lines[101] = "on";  // Check7(0), settings line 100
  StyleDocument refused;
  const LoadResult r = loadSettings(refused, Layout::Sample, joinLines(lines));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 102);
}

TEST(Version1, LaysItsFieldsOverTheDocument) {
  StyleDocument old = everythingChanged();
  std::vector<std::string> v1;
  const auto settingsLines = linesOf(settingsFileText(old, Layout::Settings));
  v1.assign(settingsLines.begin(), settingsLines.begin() + 32);
  v1.insert(v1.end(), settingsLines.begin() + 44, settingsLines.begin() + 56);
  v1.insert(v1.end(), settingsLines.begin() + 57, settingsLines.begin() + 112);

  StyleDocument doc;
  doc.slots[3].cursorLabel = "十字";
  doc.classes[2].className = "mine";
  doc.currentClassTab = 2;
  ASSERT_TRUE(loadSettings(doc, Layout::Version1, toCp932(joinLines(v1))).ok());
  EXPECT_EQ(doc.colours, old.colours);
  EXPECT_EQ(doc.slots[3].fontSize, old.slots[3].fontSize);
  EXPECT_EQ(doc.slots[3].enabled, 1);
  EXPECT_EQ(doc.scrollbarEnabled, old.scrollbarEnabled);
  EXPECT_EQ(doc.slots[3].cursorLabel, "十字");  // not in version 1
  EXPECT_EQ(doc.slots[3].sizeUnit, "ピクセル");
  EXPECT_EQ(doc.fixedBackground, 0);
  EXPECT_EQ(doc.classes[2].className, "mine");
  EXPECT_EQ(doc.classes[2].enabled, 0);
  EXPECT_EQ(doc.currentClassTab, 2);
}

TEST(Version1, ACurrentSettingsFileStopsAtTheSizeUnits) {
  StyleDocument doc;
  const LoadResult r =
      loadSettings(doc, Layout::Version1, toCp932(settingsFileText(StyleDocument{}, Layout::Settings)));
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->line, 33);
}

TEST(ModernSwitch, StoredOnLine323OnlyWhenOn) {
  StyleDocument doc = everythingChanged();
  doc.output.modern = 1;
  const auto settings = linesOf(settingsFileText(doc, Layout::Settings));
  ASSERT_EQ(settings.size(), 323u);
  EXPECT_EQ(settings[322], "True");
  const auto sample = linesOf(settingsFileText(doc, Layout::Sample, "a", "b"));
  ASSERT_EQ(sample.size(), 325u);
  EXPECT_EQ(sample[324], "True");

  for (Layout layout : {Layout::Settings, Layout::Sample}) {
    StyleDocument loaded;
    const LoadResult r = loadSettings(loaded, layout, joinLines(layout == Layout::Sample ? sample : settings));
    ASSERT_TRUE(r.ok()) << r.error->describe("x");
    EXPECT_EQ(loaded.output.modern, 1);
    EXPECT_EQ(r.changed.back(), (ControlId{"Check28"}));
  }
}

TEST(ModernSwitch, FilesWithoutTheLineAndVersion1FilesLoadOff) {
  auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  StyleDocument doc;
  doc.output.modern = 1;
  LoadResult r = loadSettings(doc, Layout::Settings, joinLines(lines));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(doc.output.modern, 0);
  EXPECT_EQ(r.changed, std::vector<ControlId>{{"Check28"}});

  // Both words in any case; an empty line 323 (a file ending in a blank line) is off.
  for (const auto& [text, on] : std::vector<std::pair<std::string, int>>{{"TRUE", 1}, {" false", 0}, {"", 0}}) {
    auto with = lines;
    with.push_back(text);
    doc.output.modern = 1 - on;
    ASSERT_TRUE(loadSettings(doc, Layout::Settings, joinLines(with)).ok()) << text;
    EXPECT_EQ(doc.output.modern, on) << text;
  }

  // Version 1 has no such line, whatever follows its 99.
  std::vector<std::string> v1(lines.begin(), lines.begin() + 32);
  v1.insert(v1.end(), lines.begin() + 44, lines.begin() + 56);
  v1.insert(v1.end(), lines.begin() + 57, lines.begin() + 112);
  v1.resize(323, "True");
  doc.output.modern = 1;
  ASSERT_TRUE(loadSettings(doc, Layout::Version1, joinLines(v1)).ok());
  EXPECT_EQ(doc.output.modern, 0);
}

TEST(ModernSwitch, AnythingButTrueOrFalseIsRefused) {
  for (const char* text : {"1", "yes", "True x"}) {
    for (Layout layout : {Layout::Settings, Layout::Sample}) {
      auto lines = linesOf(settingsFileText(StyleDocument{}, layout, "a", "b"));
      lines.push_back(text);
      StyleDocument doc;
      const LoadResult r = loadSettings(doc, layout, joinLines(lines));
      ASSERT_FALSE(r.ok()) << text;
      EXPECT_EQ(r.error->line, layout == Layout::Sample ? 325 : 323);
      EXPECT_NE(r.error->problem.find(
                    "「出力」タブの「出力形式」の「今のブラウザ向けに書き出す」にはTrue か Falseが必要です"),
                std::string::npos)
          << r.error->problem;
      EXPECT_TRUE(doc == StyleDocument{});
    }
  }
}

// Every value of the dark variant, the gradients and the web fonts away from its default.
void changeDarkAndGradients(StyleDocument& doc) {
  int n = 0;
  const auto next = [&] { return " =%☃表" + std::to_string(++n) + " "; };  // what the line escapes, and spaces
  doc.dark.enabled = 2;
  for (auto& c : doc.dark.colours) c = next();
  for (auto& c : doc.dark.classes)
    for (std::string* f : {&c.chromaColor, &c.glowColor, &c.shadowColor, &c.specialColor1, &c.specialColor2})
      *f = next();
  for (auto& g : doc.gradients) g = {GradientKind::Radial, next(), {next(), next()}, {next(), next()}};
  doc.gradients[0].kind = GradientKind::Linear;
  for (auto& f : doc.fonts.slots) f = {next(), next(), next()};
  doc.fonts.sets = next();
  doc.fonts.limitKilobytes = 100000;
}

TEST(SchemeLine, StoredAfterTheKeptStyleAndReadBack) {
  StyleDocument doc;
  doc.dark.enabled = 1;
  doc.dark.colours[18] = "EE EE=%";
  doc.gradients[kSlotBody] = {GradientKind::Linear, "90", {"DDDDDD", ""}, {"222222", ""}};
  doc.fonts.slots[kSlotP] = {"/f/Noto CJK.ttc", "Noto Sans CJK JP Regular", "Noto Sans CJK JP"};
  doc.fonts.limitKilobytes = 1;
  const auto settings = linesOf(settingsFileText(doc, Layout::Settings));
  std::vector<std::string> expected = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  expected.insert(expected.end(), {"False", "",
                                   "scheme:dark=1 dark.18=EE%20EE%3D%25 gradient.5=linear gradient.5.angle=90 "
                                   "gradient.5.colour2=DDDDDD gradient.5.dark2=222222 font.0.file=/f/Noto%20CJK.ttc "
                                   "font.0.face=Noto%20Sans%20CJK%20JP%20Regular font.0.family=Noto%20Sans%20CJK%20JP "
                                   "font.limit=1"});
  EXPECT_EQ(settings, expected);
  doc.keptStyle = "p {}";
  doc.output.modern = 1;
  const auto withKept = linesOf(settingsFileText(doc, Layout::Sample, "a", "b"));
  ASSERT_EQ(withKept.size(), 327u);
  EXPECT_EQ(withKept[324], "True");
  EXPECT_EQ(withKept[325], "style:p {}");
  EXPECT_EQ(withKept[326], expected[324]);

  StyleDocument all = everythingChanged();
  changeDarkAndGradients(all);
  for (const StyleDocument& original : {doc, all}) {
    for (Layout layout : {Layout::Settings, Layout::Sample}) {
      StyleDocument loaded;
      const LoadResult r = loadSettings(loaded, layout, toCp932(settingsFileText(original, layout, "a", "b")));
      ASSERT_TRUE(r.ok()) << r.error->describe("x");
      loaded.currentClassTab = original.currentClassTab;
      EXPECT_TRUE(loaded == original);
    }
  }
  EXPECT_EQ(unstorableValue(all), std::nullopt);
}

TEST(SchemeLine, FilesWithoutItAndUnknownKeysLoadTheDefaults) {
  StyleDocument changed;
  changeDarkAndGradients(changed);
  const auto lines = linesOf(settingsFileText(StyleDocument{}, Layout::Settings));
  struct Row {
    std::vector<std::string> after322;
    CheckState dark;
  } rows[] = {
      {{}, 0},
      {{"True", "style:a"}, 0},
      {{"False", "", "z"}, 0},  // not a scheme line, as before
      {{"False", "", "scheme:"}, 0},
      {{"False", "", "scheme:later.key=1  dark=1 gradient.9=conic"}, 1},  // what a later version may add
  };
  for (const Row& r : rows) {
    auto file = lines;
    file.insert(file.end(), r.after322.begin(), r.after322.end());
    StyleDocument doc = changed;
    ASSERT_TRUE(loadSettings(doc, Layout::Settings, joinLines(file)).ok()) << file.back();
    EXPECT_EQ(doc.dark.enabled, r.dark) << file.back();
    doc.dark.enabled = 0;
    EXPECT_TRUE(doc.dark == DarkVariant{} && doc.gradients == StyleDocument{}.gradients && doc.fonts == WebFonts{})
        << file.back();
  }
}

TEST(SchemeLine, BadEntriesAreRefusedWhole) {
  const std::pair<const char*, const char*> rows[] = {
      {"scheme:dark=3", "（「dark」の値「3」は使えません）。"},
      {"scheme:gradient.0=conic", "（「gradient.0」の値「conic」は使えません）。"},
      {"scheme:dark.1=%FF", "（%XX の並びが UTF-8 になりません）。"},
      {"scheme:dark.1=A dark", "（「dark」に = がありません）。"},
      {"scheme:font.limit=0", "（「font.limit」の値「0」は使えません）。"},
      {"scheme:font.limit=100001", "（「font.limit」の値「100001」は使えません）。"},
      {"scheme:font.limit=01", "（「font.limit」の値「01」は使えません）。"},
  };
  for (const auto& [line, says] : rows) {
    for (Layout layout : {Layout::Settings, Layout::Sample}) {
      auto lines = linesOf(settingsFileText(StyleDocument{}, layout, "a", "b"));
      lines.insert(lines.end(), {"False", "", line});
      StyleDocument doc;
      const LoadResult r = loadSettings(doc, layout, joinLines(lines));
      ASSERT_FALSE(r.ok()) << line;
      EXPECT_EQ(r.error->line, layout == Layout::Sample ? 327 : 325);
      EXPECT_EQ(r.error->problem, std::string("「ダークモード」とグラデーションの行が読めません") + says);
      EXPECT_TRUE(doc == StyleDocument{});
    }
  }
}

TEST(SettingsCommands, SaveAsksForSampleNamesAndWritesCp932) {
  FakePlatform platform;
  ScratchFolder folder;
  platform.promptReplies = {"", "青い海"};
  StyleDocument doc;
  ASSERT_TRUE(FileSave(platform, doc, folder / "a.smp", true));
  ASSERT_EQ(platform.prompts.size(), 2u);
  EXPECT_EQ(platform.prompts[0],
            "作者の名前|あなたの名前を入力してください\r\n省略可、偽名可。今後何かに利用するかもしれないだけです");
  EXPECT_EQ(platform.prompts[1], "サンプルの名前|サンプルの名前\r\nサンプルのメニューに表示される名前です。");
  const std::string bytes = testing::fileBytes(folder / "a.smp");
  EXPECT_TRUE(bytes.starts_with("\r\n\x90\xC2\x82\xA2\x8A\x43\r\n"));  // "", "青い海"
  EXPECT_EQ(doc.currentClassTab, 5);

  ASSERT_TRUE(FileSave(platform, doc, folder / "a.qlf", false));
  EXPECT_EQ(platform.prompts.size(), 2u);  // a settings file asks nothing
  StyleDocument loaded;
  EXPECT_TRUE(FileOpen(platform, loaded, folder / "a.smp", true).ok());
  EXPECT_TRUE(FileOpen(platform, loaded, folder / "a.qlf", false).ok());
}

TEST(SettingsCommands, AValueWithALineBreakIsNotSaved) {
  FakePlatform platform;
  ScratchFolder folder;
  StyleDocument doc;
  doc.slots[2].imagePath = "a\nb.png";
  EXPECT_EQ(fieldWithLineBreak(doc), (ControlId{"Text6", 2}));
  EXPECT_FALSE(FileSave(platform, doc, folder / "a.qlf", false));
  EXPECT_NE(platform.onlyMessage().text.find("「基本」タブの「表示したリンク」の「背景画像」の「画像ファイルの場所」"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "a.qlf"));
}

TEST(SettingsCommands, AValueTooLongForALineIsNotSaved) {
  FakePlatform platform;
  ScratchFolder folder;
  StyleDocument doc;
  doc.slots[1].imagePath = std::string(kMaxSettingsLineBytes + 1, 'i');
  EXPECT_EQ(fieldTooLongToStore(doc), (ControlId{"Text6", 1}));
  EXPECT_FALSE(FileSave(platform, doc, folder / "a.qlf", false));
  EXPECT_EQ(platform.onlyMessage().text,
            "「基本」タブの「リンク(<A>～</A>)」の「背景画像」の「画像ファイルの場所」の値が長すぎます（4096 "
            "バイトまで）。\r\n保存していません。");
  EXPECT_FALSE(std::filesystem::exists(folder / "a.qlf"));

  // Measured in the file's bytes, as reading measures it: 2048 kanji are
  // 4096 bytes of CP932 (6144 of UTF-8) and are saved and read back.
  std::string kanji;
  for (int i = 0; i < 2048; ++i) kanji += "表";
  doc.slots[1].imagePath = kanji;
  EXPECT_EQ(fieldTooLongToStore(doc), std::nullopt);
  ASSERT_TRUE(FileSave(platform, doc, folder / "a.qlf", false));
  StyleDocument read;
  const LoadResult loaded = FileOpen(platform, read, folder / "a.qlf", false);
  ASSERT_TRUE(loaded.ok()) << loaded.error->describe("a.qlf");
  EXPECT_EQ(read.slots[1].imagePath, kanji);
  doc.slots[1].imagePath += "i";
  EXPECT_EQ(fieldTooLongToStore(doc), (ControlId{"Text6", 1}));

  // The dark variant and the gradients share one line, which readers that
  // know the kept style line take up to 4096 bytes long.
  StyleDocument dark;
  dark.dark.colours[0] = std::string(kMaxSettingsLineBytes - 23, 'd');  // "scheme:dark.0=" and " dark.1=d"
  dark.dark.colours[1] = "d";
  EXPECT_EQ(unstorableValue(dark), std::nullopt);
  dark.dark.colours[1] = "dd";
  EXPECT_EQ(unstorableValue(dark), "「ダークモード」とグラデーションの値が合わせて長すぎます（4096 バイトまで）。");
  // Counted in CP932: a kanji is two bytes there, three in UTF-8.
  dark.dark.colours[0] = std::string(kMaxSettingsLineBytes - 25, 'd') + "表";  // 4097 bytes of UTF-8
  dark.dark.colours[1] = "d";
  EXPECT_EQ(unstorableValue(dark), std::nullopt);
}

TEST(SettingsCommands, OpenNamesAMissingFile) {
  FakePlatform platform;
  StyleDocument doc;
  const LoadResult r = FileOpenQL(platform, doc, "/no/such/file.qlf");
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->describe("/no/such/file.qlf"), "/no/such/file.qlf: ファイルが見つかりません。");
}

}  // namespace
}  // namespace quillane
