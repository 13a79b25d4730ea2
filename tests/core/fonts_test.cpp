// Web fonts: reading font files, their licence, the characters to keep, the
// cut and compressed font, and its @font-face rule. The fonts come from
// Debian packages at fixed paths (fonts-dejavu-core, fonts-noto-cjk; both
// in scripts/setup.sh).
#include <gtest/gtest.h>
#include <hb-ot.h>
#include <hb.h>
#include <sys/stat.h>
#include <woff2/decode.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/message_text.h"
#include "fake_platform.h"
#include "fonts/character_set.h"
#include "fonts/font_file.h"
#include "fonts/font_licence.h"
#include "fonts/font_subset.h"
#include "fonts/web_font_embed.h"
#include "generation/font_face_rule.h"
#include "generation/make_command.h"
#include "generation/modern_values.h"
#include "generation/output_choice.h"
#include "test_support.h"

namespace quillane::fonts {
namespace {

using quillane::testing::FakePlatform;
using quillane::testing::ScratchFolder;
using quillane::testing::writeBytes;

constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* kDejaVuSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
constexpr const char* kNotoCjk = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";

std::string fontBytes(const char* path) {
  std::string bytes;
  if (!std::filesystem::exists(path)) {
    ADD_FAILURE() << path << " is missing: install the package scripts/setup.sh names";
    return bytes;
  }
  return quillane::testing::fileBytes(path);
}

// Where the table `tag` of a single font starts.
std::size_t tableOffset(const std::string& font, std::string_view tag) {
  const auto be = [&](std::size_t at, int n) {
    std::size_t v = 0;
    for (int k = 0; k < n; ++k) v = (v << 8) | static_cast<unsigned char>(font[at + static_cast<std::size_t>(k)]);
    return v;
  };
  for (std::size_t k = 0; k < be(4, 2); ++k)
    if (std::string_view(font).substr(12 + k * 16, 4) == tag) return be(12 + k * 16 + 8, 4);
  ADD_FAILURE() << "no table " << tag;
  return 0;
}

// The code points a font maps, read back with HarfBuzz from WOFF2 bytes.
CharacterSet mappedCharacters(const std::string& woff2, std::vector<hb_tag_t>* features = nullptr) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(woff2.data());
  std::string ttf(woff2::ComputeWOFF2FinalSize(data, woff2.size()), '\0');
  woff2::WOFF2StringOut out(&ttf);
  EXPECT_TRUE(woff2::ConvertWOFF2ToTTF(data, woff2.size(), &out));
  hb_blob_t* blob =
      hb_blob_create(ttf.data(), static_cast<unsigned>(ttf.size()), HB_MEMORY_MODE_READONLY, nullptr, nullptr);
  hb_face_t* face = hb_face_create(blob, 0);
  hb_set_t* unicodes = hb_set_create();
  hb_face_collect_unicodes(face, unicodes);
  CharacterSet mapped;
  for (hb_codepoint_t c = HB_SET_VALUE_INVALID; hb_set_next(unicodes, &c);) mapped.insert(c);
  if (features) {
    for (const hb_tag_t table : {HB_OT_TAG_GSUB, HB_OT_TAG_GPOS}) {
      hb_tag_t tags[64];
      unsigned count = 64;
      hb_ot_layout_table_get_feature_tags(face, table, 0, &count, tags);
      features->insert(features->end(), tags, tags + count);
    }
  }
  hb_set_destroy(unicodes);
  hb_face_destroy(face);
  hb_blob_destroy(blob);
  return mapped;
}

TEST(FontLicence, TheBitsOfFsTypeGiveThePermissionTheLeastRestrictiveFirst) {
  struct Row {
    std::uint16_t fsType;
    Embedding embedding;
    bool embeds;
  };
  for (const Row& row : {Row{0x0000, Embedding::Installable, true}, Row{0x0001, Embedding::Installable, true},
                         Row{0x0002, Embedding::Restricted, false}, Row{0x0004, Embedding::PreviewAndPrint, true},
                         Row{0x0008, Embedding::Editable, true}, Row{0x0006, Embedding::PreviewAndPrint, true},
                         Row{0x000A, Embedding::Editable, true}, Row{0x000C, Embedding::Editable, true},
                         Row{0x000E, Embedding::Editable, true}, Row{0x0100, Embedding::NoSubsetting, false},
                         Row{0x0108, Embedding::NoSubsetting, false}, Row{0x0200, Embedding::BitmapOnly, false},
                         Row{0x0300, Embedding::BitmapOnly, false}}) {
    EXPECT_EQ(embeddingOf(row.fsType), row.embedding) << row.fsType;
    EXPECT_EQ(mayEmbed(row.embedding), row.embeds) << row.fsType;
  }
  EXPECT_EQ(embeddingMessage(Embedding::Restricted),
            "このフォントは作者が埋め込みを禁じている（制限付きライセンス）ため、埋め込めません。");
}

TEST(FontLicence, IsReadFromTheFontsOs2TableWithItsText) {
  std::string bytes = fontBytes(kDejaVu);
  const std::size_t os2 = tableOffset(bytes, "OS/2");
  for (const std::uint16_t fsType : {0x0000, 0x0002, 0x0004, 0x0008, 0x0104}) {
    bytes[os2 + 8] = static_cast<char>(fsType >> 8);
    bytes[os2 + 9] = static_cast<char>(fsType & 0xFF);
    const FontFile file = readFontFile(bytes, "DejaVuSans.ttf");
    ASSERT_TRUE(file.ok()) << file.refused;
    const FontLicence licence = licenceOf(file, file.faces[0]);
    EXPECT_EQ(licence.fsType, fsType);
    EXPECT_EQ(licence.embedding, embeddingOf(fsType));
    EXPECT_EQ(licence.address, "http://dejavu.sourceforge.net/wiki/index.php/License");
    EXPECT_TRUE(
        licence.description.starts_with("Fonts are (c) Bitstream (see below). DejaVu changes are in public "
                                        "domain. Glyphs imported from Arev fonts are (c) Tavmjung Bah (see "
                                        "below)\n\nBitstream Vera Fonts Copyright\n"));
  }
}

TEST(FontFile, ADamagedOrCutFileIsRefusedWithWhy) {
  const std::string dejavu = fontBytes(kDejaVu);
  std::string noCmap = dejavu;
  for (std::size_t k = 0; k < 40; ++k)
    if (noCmap.substr(12 + k * 16, 4) == "cmap") noCmap.replace(12 + k * 16, 4, "cmaq");
  std::string farTable = dejavu;
  farTable[12 + 8] = '\x7F';  // the first table's offset, far past the end
  struct Row {
    std::string bytes;
    std::string refused;
  };
  const std::string cut = "「f」は壊れているか途中で切れています";
  for (const Row& row : {
           Row{"", cut + "（フォントの見出しがありません）。"},
           Row{"<html>not a font</html>",
               "「f」はフォントファイルではありません（TrueType か OpenType "
               "のフォントを選んでください）。"},
           Row{dejavu.substr(0, 100), cut + "（表の目録がファイルの外にあります）。"},
           Row{dejavu.substr(0, dejavu.size() / 2), cut + "（表「glyf」がファイルの外を指しています）。"},
           Row{farTable, cut + "（表「FFTM」がファイルの外を指しています）。"},
           Row{noCmap, "「f」には表「cmap」がなく、フォントとして使えません。"},
           Row{std::string("ttcf\0\1\0\0\0\0\0\x40", 12), cut + "（集まりの目録がファイルの外にあります）。"},
           Row{std::string("ttcf\0\1\0\0\0\0\0\1\0\0\0\x20", 16), cut + "（フォントの見出しがありません）。"},
       }) {
    const FontFile file = readFontFile(row.bytes, "f");
    EXPECT_EQ(file.refused, row.refused);
    EXPECT_TRUE(file.faces.empty());
    std::string why;
    EXPECT_FALSE(chooseFace(file, "", why));
    EXPECT_EQ(why, row.refused);
  }
  // What a settings file may name instead of a font file: read as far as
  // the limit, or refused at once (a named pipe is never waited on).
  ScratchFolder folder;
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  for (const Row& row :
       {Row{folder / "pipe", "「pipe」はファイルではありません（フォントのファイルを選んでください）。"},
        Row{folder.str(), "「」はファイルではありません（フォントのファイルを選んでください）。"},
        Row{"/dev/zero", "「zero」はファイルではありません（フォントのファイルを選んでください）。"},
        Row{folder / "none.ttf", "「none.ttf」を読めません（No such file or directory）。"}})
    EXPECT_EQ(openFontFile(row.bytes).refused, row.refused) << row.bytes;
}

TEST(FontFile, NamesLoseTheControlsATerminalWouldObey) {
  const std::string_view name =
      "a\x1B[2Jb\r\nc\xC2\x9B"
      "1m\x7F\xC2\xA9\xC2";
  EXPECT_EQ(withoutControls(name, false), "a[2Jbc1m\xC2\xA9\xC2");
  EXPECT_EQ(withoutControls(name, true), "a[2Jb\nc1m\xC2\xA9\xC2");
}

TEST(FontFile, ScrambledTablesNeverCrashTheCut) {
  const std::string dejavu = fontBytes(kDejaVu);
  const std::size_t directoryEnd = 12 + 20 * 16;
  std::uint32_t seed = 12345;
  for (int round = 0; round < 4; ++round) {
    std::string bytes = dejavu;
    for (int k = 0; k < 400; ++k) {
      seed = seed * 1103515245u + 12345u;
      bytes[directoryEnd + seed % (bytes.size() - directoryEnd)] = static_cast<char>(seed >> 24);
    }
    const FontFile file = readFontFile(bytes, "f");
    if (!file.ok()) continue;
    CharacterSet wanted;
    addNamedSet(wanted, NamedSet::Ascii);
    const FontSubset subset = subsetFont(file, file.faces[0], wanted);
    EXPECT_EQ(subset.ok(), !subset.woff2.empty());
  }
}

TEST(FontFile, AFaceOfACollectionIsChosenByName) {
  const FontFile noto = openFontFile(kNotoCjk);
  ASSERT_TRUE(noto.ok()) << noto.refused;
  std::string names;
  for (const FontFace& face : noto.faces) names += (names.empty() ? "「" : "、「") + face.name() + "」";
  struct Row {
    std::string name;
    int index;  // -1: refused
  };
  for (const Row& row : {Row{"Noto Sans CJK JP Regular", 0}, Row{"Noto Sans CJK KR", 1},
                         Row{"Noto Sans Mono CJK HK Regular", 9}, Row{"Noto Sans CJK", -1}, Row{"", -1}}) {
    std::string why;
    const auto face = chooseFace(noto, row.name, why);
    if (row.index < 0) {
      EXPECT_FALSE(face) << row.name;
      EXPECT_EQ(why, row.name.empty()
                         ? "このファイルには 10 個のフォントがあります。どれを使うか名前で選んでください: " + names
                         : "フォント「" + row.name + "」はこのファイルにありません。あるのは " + names + " です。");
    } else {
      ASSERT_TRUE(face) << row.name << ": " << why;
      EXPECT_EQ(face->index, static_cast<unsigned>(row.index)) << row.name;
    }
  }
  EXPECT_EQ(names,
            "「Noto Sans CJK JP Regular」、「Noto Sans CJK KR Regular」、「Noto Sans CJK SC Regular」、「Noto Sans "
            "CJK TC Regular」、「Noto Sans CJK HK Regular」、「Noto Sans Mono CJK JP Regular」、「Noto Sans Mono "
            "CJK KR Regular」、「Noto Sans Mono CJK SC Regular」、「Noto Sans Mono CJK TC Regular」、「Noto Sans "
            "Mono CJK HK Regular」");
  const FontFile dejavu = openFontFile(kDejaVu);
  std::string why;
  const auto only = chooseFace(dejavu, "", why);
  ASSERT_TRUE(only) << why;
  EXPECT_EQ(only->name(), "DejaVu Sans Book");
}

TEST(FontSubset, HoldsExactlyTheWantedCharactersTheFontHas) {
  const FontFile dejavu = openFontFile(kDejaVu);
  ASSERT_TRUE(dejavu.ok()) << dejavu.refused;
  const FontSubset subset = subsetFont(dejavu, dejavu.faces[0], {U'A', U'b', U'é', U'あ', U'€'});
  ASSERT_TRUE(subset.ok()) << subset.refused;
  EXPECT_EQ(subset.kept, (CharacterSet{U'A', U'b', U'é', U'€'}));
  EXPECT_EQ(subset.lacking, CharacterSet{U'あ'});
  EXPECT_EQ(subset.woff2Bytes, subset.woff2.size());
  EXPECT_EQ(subset.woff2.substr(0, 4), "wOF2");
  EXPECT_EQ(mappedCharacters(subset.woff2), subset.kept);

  const FontSubset tooLarge = subsetFont(dejavu, dejavu.faces[0], {U'A'}, 100);
  EXPECT_EQ(tooLarge.refused, "埋め込むフォントが " + byteCountText(tooLarge.woff2Bytes) +
                                  "になり、上限の 100 バイトを超えます（1 字）。文字の組（JIS第1水準 "
                                  "など）を外すか、上限を上げてください。");
  EXPECT_TRUE(tooLarge.woff2.empty());
  EXPECT_EQ(subsetFont(dejavu, dejavu.faces[0], {U'あ'}).refused, "このフォントには、残す文字が一つもありません。");
}

TEST(FontSubset, KeepsTheVerticalAndProportionalForms) {
  const FontFile noto = openFontFile(kNotoCjk);
  ASSERT_TRUE(noto.ok()) << noto.refused;
  const FontSubset subset = subsetFont(noto, noto.faces[0], {U'あ', U'ー', U'「', U'。'});
  ASSERT_TRUE(subset.ok()) << subset.refused;
  std::vector<hb_tag_t> features;
  EXPECT_EQ(mappedCharacters(subset.woff2, &features), (CharacterSet{U'あ', U'ー', U'「', U'。'}));
  for (const char* tag : {"vert", "vrt2", "palt", "halt", "kern", "vpal"})
    EXPECT_NE(std::find(features.begin(), features.end(), hb_tag_from_string(tag, 4)), features.end()) << tag;
}

TEST(FontFaceRule, IsWrittenWhole) {
  EXPECT_EQ(fontFaceRule("Noto Sans CJK JP", "fonts/noto-sans-cjk-jp-e25ef552.woff2", "U+20-7E, U+3041-3096"),
            "@font-face {\r\n"
            "  font-family: \"Noto Sans CJK JP\";\r\n"
            "  src: url(\"fonts/noto-sans-cjk-jp-e25ef552.woff2\") format(\"woff2\");\r\n"
            "  font-display: swap;\r\n"
            "  unicode-range: U+20-7E, U+3041-3096;\r\n"
            "}\r\n");
  struct Row {
    std::string family;
    std::string string;  // as a CSS string
    std::string file;
  };
  // The hash of "abc": 64-bit FNV-1a 0xE71FA2190541574B, its halves XORed.
  for (const Row& row : {Row{"Noto Sans CJK JP", R"("Noto Sans CJK JP")", "fonts/noto-sans-cjk-jp-e25ef552.woff2"},
                         Row{"源ノ角ゴシック", R"("源ノ角ゴシック")", "fonts/font-e25ef552.woff2"},
                         Row{"M+ 1p\\\"", R"("M+ 1p\\\"")", "fonts/m-1p-e25ef552.woff2"},
                         Row{"x</style>\n", R"("x\3C /style\3E \A ")", "fonts/x-style-e25ef552.woff2"},
                         Row{"  -Über 2- ", R"("  -Über 2- ")", "fonts/ber-2-e25ef552.woff2"},
                         Row{std::string(50, 'A'), "\"" + std::string(50, 'A') + "\"",
                             "fonts/" + std::string(40, 'a') + "-e25ef552.woff2"}}) {
    EXPECT_EQ(cssString(row.family), row.string) << row.family;
    EXPECT_EQ(fontFileName(row.family, "abc"), row.file) << row.family;
  }
}

TEST(CharacterSet, UnicodeRangeJoinsRuns) {
  CharacterSet runs;
  for (char32_t c = 0x20; c <= 0x7E; ++c) runs.insert(c);
  for (char32_t c = 0x3041; c <= 0x3096; ++c) runs.insert(c);
  runs.insert(0x20BB7);
  struct Row {
    CharacterSet characters;
    std::string range;
  };
  for (const Row& row : {Row{{}, ""}, Row{{0x41}, "U+41"}, Row{{0x41, 0x43}, "U+41, U+43"},
                         Row{{0x41, 0x42}, "U+41-42"}, Row{runs, "U+20-7E, U+3041-3096, U+20BB7"}})
    EXPECT_EQ(unicodeRangeText(row.characters), row.range);
}

TEST(CharacterSet, NamedSets) {
  CharacterSet jis1;
  addNamedSet(jis1, NamedSet::Jis1);
  EXPECT_EQ(jis1.size(), 2965u);
  EXPECT_TRUE(jis1.contains(U'亜'));   // row 16, cell 1
  EXPECT_TRUE(jis1.contains(U'腕'));   // row 47, cell 51
  EXPECT_FALSE(jis1.contains(U'弌'));  // row 48, cell 1: level 2
  EXPECT_FALSE(jis1.contains(U'あ'));
  CharacterSet joyo;
  addNamedSet(joyo, NamedSet::Joyo);
  EXPECT_EQ(joyo.size(), 2136u);
  // Of the 2010 list: the first and a late addition, and the four that JIS X
  // 0208 lacks in the list's forms; not their JIS substitutes, nor a kanji
  // the list dropped (勺), nor kana.
  for (const char32_t c : {U'一', U'鬱', U'𠮟', U'塡', U'剝', U'頰'})
    EXPECT_TRUE(joyo.contains(c)) << static_cast<unsigned>(c);
  for (const char32_t c : {U'叱', U'填', U'剥', U'頬', U'勺', U'あ'})
    EXPECT_FALSE(joyo.contains(c)) << static_cast<unsigned>(c);
  CharacterSet kana;
  addNamedSet(kana, NamedSet::Kana);
  for (const char32_t c :
       {U'　', U'、', U'〜', U'ぁ', U'ゖ', U'ゞ', U'ァ', U'ヶ', U'ー', U'・', U'！', U'Ａ', U'ｶ', U'ﾟ', U'￥'})
    EXPECT_TRUE(kana.contains(c)) << static_cast<unsigned>(c);
  EXPECT_FALSE(kana.contains(U'A'));
  CharacterSet ascii;
  addNamedSet(ascii, NamedSet::Ascii);
  for (const char32_t c : {U' ', U'~', U'©', U'…', U'※', U'→'})
    EXPECT_TRUE(ascii.contains(c)) << static_cast<unsigned>(c);
  EXPECT_FALSE(ascii.contains(0x7F));
  EXPECT_EQ(namedSetOfKey("jis1"), NamedSet::Jis1);
  EXPECT_EQ(namedSetOfKey("JIS1"), std::nullopt);
}

// 日本 in each encoding: UTF-8 E6 97 A5 E6 9C AC, Shift_JIS 93 FA 96 7B,
// EUC-JP C6 FC CB DC, ISO-2022-JP ESC $ B 46 7C 4B 5C ESC ( B.
TEST(CharacterSet, PagesAreReadInTheirDeclaredEncoding) {
  const auto page = [](std::string_view meta, std::string_view nihon) {
    return "<html><head>" + std::string(meta) + "<title>T</title><style>p{}</style></head><body><!-- c -->" +
           "<p title=\"v&gt;\">" + std::string(nihon) + "&amp;<img alt='a>b'></p><script>x<y</script></body></html>";
  };
  struct Row {
    std::string bytes;
    std::string text;
  };
  const std::string shown = "Tv> 日本&a>b ";
  for (const Row& row : {
           Row{page("<meta charset=\"utf-8\">", "\xE6\x97\xA5\xE6\x9C\xAC"), shown},
           Row{page("", "\xE6\x97\xA5\xE6\x9C\xAC"), shown},
           Row{page("<META http-equiv=Content-Type content=\"text/html; charset=Shift_JIS\">", "\x93\xFA\x96\x7B"),
               shown},
           Row{page("", "\x93\xFA\x96\x7B"), shown},
           Row{page("<meta charset=EUC-JP>", "\xC6\xFC\xCB\xDC"), shown},
           Row{page("<meta charset=\"iso-2022-jp\">", "\x1B$BF|K\\\x1B(B"), shown},
           Row{page("<meta charset=EUC-JP>", "\xC6\xFC\xCB"), "Tv> 日\xEF\xBF\xBD&a>b "},
           Row{"<p>&copy;&amp;copy;&hellip;&#x2603;&nosuch;&#169</p>", "©&copy;…☃&nosuch;&#169"},
       })
    EXPECT_EQ(pageText(row.bytes), row.text);

  ScratchFolder folder;
  std::filesystem::create_directories(folder.path() / "sub");
  writeBytes(folder / "sjis.html", "<meta charset=shift_jis><p>\x82\xA0\x93\xFA</p>");  // あ日
  writeBytes(folder / "sub/euc.HTM", "<meta charset=euc-jp><p>\xA4\xA4\xCB\xDC</p>");   // い本
  writeBytes(folder / "utf8.htm", "<p>\xE3\x81\x86\xF0\xA0\xAE\xB7\r\n</p>");           // う𠮷
  writeBytes(folder / "notes.txt", "<p>\xE3\x81\x88</p>");                              // え: not a page
  const PagesCharacters pages = charactersOfPages(folder.path().string());
  EXPECT_EQ(pages.pages, 3);
  EXPECT_TRUE(pages.refused.empty());
  EXPECT_EQ(pages.characters, (CharacterSet{U'あ', U'日', U'い', U'本', U'う', 0x20BB7}));

  // A folder the output has not made yet holds no pages; one that cannot be
  // read is named.
  const PagesCharacters none = charactersOfPages(folder / "not-yet");
  EXPECT_EQ(none.pages, 0);
  EXPECT_TRUE(none.refused.empty());
  const std::string file = folder / "notes.txt";
  EXPECT_EQ(charactersOfPages(file).refused,
            std::vector<std::string>{"フォルダー「" + file + "」を読めません（Not a directory）。"});
}

// A style sheet whose paragraphs embed DejaVu Serif, over a folder holding
// one page; no named sets, so the characters kept are the page's and those
// of the page the output writes beside the sheet (its title "untitle").
struct EmbedCase {
  ScratchFolder folder;
  StyleDocument doc;
  EmbedCase() {
    writeBytes(folder / "index.html", "<!DOCTYPE html><title>Hello</title><p>Hello</p>");
    doc.output.modern = 1;
    doc.output.format = Choice::Second;
    doc.output.cssFolder = folder.str();
    doc.slots[kSlotP].enabled = 1;
    doc.fonts.slots[kSlotP] = {kDejaVuSerif, "", ""};
    doc.fonts.sets = "";
  }
};

TEST(WebFontEmbed, WritesTheSubsetBesideTheSheetAndNamesItFirst) {
  EmbedCase c;
  std::vector<std::tuple<int, int, std::string>> steps;
  const EmbedResult made = embedWebFonts(c.doc, c.folder.str(), [&](const EmbedProgress& p) {
    steps.emplace_back(p.done, p.total, p.step);
    return true;
  });
  ASSERT_TRUE(made.ok()) << made.refusal.value_or("cancelled");
  EXPECT_EQ(steps, (std::vector<std::tuple<int, int, std::string>>{{0, 4, "ページの文字を集めています"},
                                                                   {1, 4, "「DejaVuSerif.ttf」を読んでいます"},
                                                                   {2, 4, "「DejaVu Serif」を切り出しています"},
                                                                   {3, 4, "「DejaVu Serif」を圧縮しています"},
                                                                   {4, 4, ""}}));
  ASSERT_EQ(made.faces.size(), 1u);
  const WebFontFace& face = made.faces[0];
  const std::string file = fontFileName("DejaVu Serif", face.woff2);
  EXPECT_EQ(face, (WebFontFace{kSlotP, "DejaVu Serif", file, "U+48, U+65, U+69, U+6C, U+6E-6F, U+74-75", face.woff2}));
  EXPECT_EQ(mappedCharacters(face.woff2), (CharacterSet{U'H', U'e', U'i', U'l', U'n', U'o', U't', U'u'}));
  EXPECT_EQ(made.pages, 1);
  ASSERT_EQ(made.fonts.size(), 1u);
  EXPECT_EQ(made.fonts[0].fontFileBytes, fontBytes(kDejaVuSerif).size());
  EXPECT_EQ(made.fonts[0].woff2Bytes, face.woff2.size());

  FakePlatform platform;
  makeWithWebFonts(platform, c.doc, c.folder.str(), made.faces);
  EXPECT_EQ(platform.onlyMessage().text, "保存完了");
  EXPECT_FILE_HOLDS(c.folder / file, face.woff2);
  EXPECT_FILE_HOLDS(c.folder / "style.css",
                    "@charset \"UTF-8\";\r\n"
                    "@font-face {\r\n"
                    "  font-family: \"DejaVu Serif\";\r\n"
                    "  src: url(\"" +
                        file +
                        "\") format(\"woff2\");\r\n"
                        "  font-display: swap;\r\n"
                        "  unicode-range: U+48, U+65, U+69, U+6C, U+6E-6F, U+74-75;\r\n"
                        "}\r\n"
                        "p {\r\n"
                        "  font-family: \"DejaVu Serif\", serif;\r\n"
                        "}\r\n");
  // The page with the style in it gets its fonts beside it the same way.
  c.doc.output.format = Choice::First;
  c.doc.output.htmlFolder = c.folder.str() + "page/";
  c.doc.output.htmlFileName = "page.html";
  std::filesystem::create_directory(c.folder.path() / "page");
  const EmbedResult forPage = embedWebFonts(c.doc, c.doc.output.htmlFolder);
  ASSERT_TRUE(forPage.ok() && forPage.faces.size() == 1);
  makeWithWebFonts(platform, c.doc, c.folder.str(), forPage.faces);
  EXPECT_FILE_HOLDS(c.folder / "page/page.html", embeddedPageOutput(c.doc, forPage.faces).text);
  EXPECT_FILE_HOLDS(c.folder / ("page/" + forPage.faces[0].fileName), forPage.faces[0].woff2);
}

TEST(WebFontEmbed, RefusesOrStopsBeforeAnythingIsWritten) {
  // The size the limit refuses, found by the cut alone.
  CharacterSet kept{U'H', U'e', U'l', U'o'};
  addNamedSet(kept, NamedSet::Ascii);
  const FontFile serif = openFontFile(kDejaVuSerif);
  const FontSubset cut = subsetFont(serif, serif.faces[0], kept, SIZE_MAX);
  const std::string place = "「基本」タブの「段落（<P>～</P>）」の「フォント名」に埋め込むフォント: ";
  struct Row {
    void (*change)(StyleDocument&);
    int cancelAt;  // the step whose progress call cancels; -1 none
    std::optional<std::string> refusal;
    bool cancelled;
  };
  const Row rows[] = {
      {[](StyleDocument& d) { d.fonts.slots[kSlotP].file = "/nonexistent/f.ttf"; }, -1,
       place + "「f.ttf」を読めません（No such file or directory）。\r\n何も保存していません。", false},
      {[](StyleDocument& d) { d.fonts.slots[kSlotP].face = "DejaVu Sans"; }, -1,
       place + "フォント「DejaVu Sans」はこのファイルにありません。あるのは 「DejaVu Serif Book」 "
               "です。\r\n何も保存していません。",
       false},
      {[](StyleDocument& d) {
         d.fonts.limitKilobytes = 1;
         d.fonts.sets = "ascii";
       },
       -1,
       place + "WOFF2 にすると " + byteCountText(cut.woff2Bytes) + "になり、上限の 1,000 バイトを超えます（" +
           countText(cut.kept.size()) +
           " 字）。文字の組から「英数字と記号」を外すか、上限を上げてください。\r\n何も保存していません。",
       false},
      {[](StyleDocument&) {}, 0, std::nullopt, true},
      {[](StyleDocument&) {}, 3, std::nullopt, true},  // during the compression: after it
      // Nothing to embed: the legacy output, or the slot not ticked.
      {[](StyleDocument& d) { d.output.modern = 0; }, 0, std::nullopt, false},
      {[](StyleDocument& d) { d.slots[kSlotP].enabled = 0; }, 0, std::nullopt, false},
  };
  for (const Row& row : rows) {
    EmbedCase c;
    row.change(c.doc);
    const EmbedResult made =
        embedWebFonts(c.doc, c.folder.str(), [&](const EmbedProgress& p) { return p.done != row.cancelAt; });
    EXPECT_EQ(made.refusal, row.refusal);
    EXPECT_EQ(made.cancelled, row.cancelled);
    EXPECT_TRUE(made.faces.empty());
    EXPECT_FALSE(std::filesystem::exists(c.folder / "fonts"));
  }
}

TEST(WebFontAdvice, NamesThePagesCharactersTheFaceLacks) {
  EmbedCase c;
  EXPECT_TRUE(webFontAdvice(c.doc, c.folder.str()).empty());
  writeBytes(c.folder / "more.html", "<p>日本語 AB</p>");
  const std::vector<Advice> advice = webFontAdvice(c.doc, c.folder.str());
  ASSERT_EQ(advice.size(), 1u);
  EXPECT_EQ(
      advice[0].text,
      "「基本」タブの「段落（<P>～</P>）」の「フォント名」: 埋め込むフォント「DejaVuSerif.ttf」には、出力先のページの"
      "文字のうち 3 字がありません（日本語）。この文字は閲覧者のコンピューターのフォントで表示されます。");
  EXPECT_EQ(advice[0].place, (ControlId{"Combo1", kSlotP}));
  for (const auto& [file, shown] :
       {std::pair{"/nonexistent.ttf", "nonexistent.ttf"}, {"/etc/hostname", "hostname"}, {"/dev/zero", "zero"}}) {
    c.doc.fonts.slots[kSlotP].file = file;
    const std::vector<Advice> unread = webFontAdvice(c.doc, c.folder.str());
    ASSERT_EQ(unread.size(), 1u) << file;
    EXPECT_EQ(unread[0].text, "「基本」タブの「段落（<P>～</P>）」の「フォント名」: 埋め込むフォント「" +
                                  std::string(shown) + "」を読めません。出力できません。");
  }
  c.doc.output.modern = 0;
  EXPECT_TRUE(webFontAdvice(c.doc, c.folder.str()).empty());
}

}  // namespace
}  // namespace quillane::fonts
