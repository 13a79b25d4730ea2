// The command-line contract: arguments, bytes out, exit codes.
#include "cli/cli.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/font_report.h"
#include "document/control_captions.h"
#include "document/message_text.h"
#include "fonts/font_file.h"
#include "fonts/font_subset.h"
#include "fonts/web_font_embed.h"
#include "generation/modern_filters.h"
#include "generation/modern_pages.h"
#include "generation/modern_stylesheet.h"
#include "generation/stylesheet_text.h"
#include "generation/value_checks.h"
#include "guarded_fields.h"
#include "linking/link_rewrite.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"
#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
};

class StringConsole : public cli::Console {
 public:
  explicit StringConsole(std::string input) : m_input(std::move(input)) {}
  bool readInput(std::string& bytes, std::size_t limit) override {
    bytes += m_input.substr(0, limit);
    return true;
  }
  bool writeOutput(std::string_view bytes) override {
    out.append(bytes);
    return true;
  }
  void writeError(std::string_view text) override { err.append(text); }
  std::string out, err;

 private:
  std::string m_input;
};

CliRun runCli(std::vector<std::string> args, const std::string& input = {}) {
  StringConsole console(input);
  CliRun r;
  r.exit = cli::run(args, console, {}, &cli::fontReport, &cli::embedFonts);
  r.out = console.out;
  r.err = console.err;
  return r;
}

using testing::cp932;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.slots[kSlotA].enabled = 1;
    doc.slots[kSlotA].fontName = "ＭＳ ゴシック";
    doc.scrollbarCheck(12) = 1;
    doc.classes[1].enabled = 1;
    doc.classes[1].className = "見出し";
    settingsPath = folder / "doc.qlf";
    testing::writeBytes(settingsPath, cp932(settingsFileText(doc, Layout::Settings)));
  }
  ScratchFolder folder;
  StyleDocument doc;
  std::string settingsPath;
};

TEST_F(Cli, CssAndHtmlWriteWhatMakeWrites) {
  const CliRun css = runCli({"css", settingsPath});
  EXPECT_EQ(css.exit, 0) << css.err;
  EXPECT_BYTES(cp932(buildStyleSheet(doc).text), css.out);

  StyleDocument titled = doc;
  titled.output.htmlTitle = "見本";
  const CliRun html = runCli({"html", settingsPath, "--title", "見本"});
  EXPECT_EQ(html.exit, 0);
  EXPECT_BYTES(cp932(buildEmbeddedPage(titled).text), html.out);
  EXPECT_BYTES(cp932(buildEmbeddedPage(doc).text), runCli({"html", settingsPath}).out);
}

TEST_F(Cli, ReadsStandardInputAndEachLayout) {
  const std::string sample = cp932(settingsFileText(doc, Layout::Sample, "me", "mine"));
  EXPECT_EQ(runCli({"css", "-", "--sample"}, sample).out, cp932(buildStyleSheet(doc).text));
  std::string v1;
  for (int n = 0; n < 99; ++n) v1 += n == 86 ? "1\r\n" : n >= 32 && n < 44 ? "False\r\n" : n >= 44 ? "0\r\n" : "\r\n";
  const CliRun r = runCli({"css", "-", "--v1"}, v1);  // P on, everything else blank
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("P {\r\n  color : #;\r\n")) << r.out;
}

TEST_F(Cli, SaveWritesSettingsOrSampleFiles) {
  const std::string out = folder / "copy.qlf";
  EXPECT_EQ(runCli({"save", settingsPath, "-o", out}).exit, 0);
  EXPECT_FILE_HOLDS(out, testing::fileBytes(settingsPath));
  const std::string smp = folder / "copy.smp";
  EXPECT_EQ(runCli({"save", settingsPath, "-o", smp, "--as-sample", "--author", "私", "--name", "秋"}).exit, 0);
  EXPECT_FILE_HOLDS(smp, cp932(settingsFileText(doc, Layout::Sample, "私", "秋")));
}

TEST_F(Cli, UsageErrorsExitOneWithUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                {"bake", "x"},
                                                                {"css"},
                                                                {"css", "a", "b"},
                                                                {"css", "a", "--sample", "--v1"},
                                                                {"save", "a"},
                                                                {"css", "a", "--title", "t"},
                                                                {"save", "a", "-o", "b", "--name", "n"},
                                                                {"css", "a", "-o"},
                                                                {"check", "a", "-o", "b"},
                                                                {"css", "a", "--x"},
                                                                {"import"},
                                                                {"import", "a", "--modern"},
                                                                {"fonts", "a"},
                                                                {"fonts", "a", "--set", "kana,greek"},
                                                                {"fonts", "a", "--set", "kana", "-o", "b"}}) {
    const CliRun r = runCli(args);
    EXPECT_EQ(r.exit, 1) << ::testing::PrintToString(args);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(runCli({"--help"}).exit, 0);
  EXPECT_EQ(runCli({"--version"}).out, "quillane-cli 2.1.0\n");
}

TEST_F(Cli, CheckWritesOneLinePerAdviceAndExitsZeroEitherWay) {
  const std::string font =
      "「基本」タブの「リンク(<A>～</A>)」の「フォント名」: 「ＭＳ ゴシック」は Mac、iPhone、Android にないフォントで、"
      "そこではブラウザーが選ぶフォントで表示されます。";
  const std::string stack =
      "\"ＭＳ ゴシック\", \"MS Gothic\", \"Hiragino Kaku Gothic ProN\", \"Hiragino Sans\", \"Noto Sans JP\", "
      "\"Noto Sans CJK JP\", sans-serif\n";
  const CliRun legacy = runCli({"check", settingsPath});
  EXPECT_EQ(legacy.exit, 0) << legacy.err;
  EXPECT_EQ(legacy.out, font +
                            "「出力」タブの「出力形式」の「今のブラウザ向けに書き出す」をチェックすると、近いフォントを"
                            "順に並べた次の指定で書き出します: " +
                            stack);
  doc.colours[foreColourIndex(kSlotA)] = "777777";
  const CliRun modern = runCli({"check", "-", "--modern"}, cp932(settingsFileText(doc, Layout::Settings)));
  EXPECT_EQ(modern.exit, 0) << modern.err;
  EXPECT_EQ(modern.out,
            "「基本」タブの「リンク(<A>～</A>)」の「フォントカラー」: 文字 #777777 と背景 #FFFFFF（指定なし） の"
            "コントラスト比は 4.48:1 で、基準の 4.5:1 に足りず、読みにくい人がいます。「フォントカラー」を #767676"
            "（4.54:1）のように暗くしてください。\n" +
                font + "今のブラウザ向けの出力は、近いフォントを順に並べた次の指定で書き出します: " + stack);
  const CliRun none = runCli({"check", "-"}, cp932(settingsFileText(StyleDocument{}, Layout::Settings)));
  EXPECT_EQ(none.exit, 0);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err, "");
}

TEST_F(Cli, SamplesListsTheMenuOfTheApplicationFolder) {
  const std::string app = folder / "app";
  std::filesystem::create_directories(app + "/sample");
  testing::writeBytes(app + "/sample/b.smp", cp932(settingsFileText(doc, Layout::Sample, "", "二番")));
  testing::writeBytes(app + "/sample/A.smp", cp932(settingsFileText(doc, Layout::Sample, "me", "一番")));
  testing::writeBytes(app + "/sample/c.smp", cp932(settingsFileText(doc, Layout::Sample, "", "\x1B]0;赤\x07")));
  testing::writeBytes(app + "/sample/broken.smp", "x");
  StringConsole console("");
  EXPECT_EQ(cli::run({"samples"}, console, app + "/"), 0);
  EXPECT_EQ(console.out,
            app + "/sample/A.smp\t一番\n" + app + "/sample/b.smp\t二番\n" + app + "/sample/c.smp\t\\x1B]0;赤\\x07\n");
  EXPECT_EQ(cli::run({"samples", "extra"}, console, app), 1);
  EXPECT_NE(console.err.find("samples takes no arguments"), std::string::npos);
}

TEST_F(Cli, RefusedInputExitsTwoNamingFileAndLine) {
  std::string bad = testing::fileBytes(settingsPath);
  bad.replace(bad.find("False"), 5, "Maybe");
  testing::writeBytes(folder / "bad.qlf", bad);
  for (const char* command : {"css", "check"}) {
    const CliRun r = runCli({command, folder / "bad.qlf"});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err, "quillane-cli: " + (folder / "bad.qlf") +
                         " の 45 行目: 「基本」タブの「段落（<P>～</P>）」の「背景画像」の「使用する」には"
                         "True か Falseが必要です（今は「Maybe」）。\n");
  }

  const CliRun missing = runCli({"css", folder / "none.qlf"});
  EXPECT_EQ(missing.exit, 2);
  EXPECT_NE(missing.err.find("none.qlf"), std::string::npos);
}

// `css` of a document with a web font writes the font into OUT's fonts/
// folder and the sheet that names it, by the helper when quillane-cli is
// run; nothing at all when it cannot.
TEST_F(Cli, CssWritesTheWebFontsBesideTheSheet) {
  doc.output.modern = 1;
  doc.slots[kSlotP].enabled = 1;
  doc.fonts.slots[kSlotP] = {"/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf", "", ""};
  testing::writeBytes(settingsPath, cp932(settingsFileText(doc, Layout::Settings)));
  fs::create_directories(folder.path() / "site");
  testing::writeBytes(folder / "site/index.html", "<p>Hello</p>");
  const fonts::EmbedResult made = fonts::embedWebFonts(doc, folder / "site/");
  ASSERT_TRUE(made.ok() && made.faces.size() == 1);
  const std::string sheet = buildModernStyleSheet(doc, made.faces).text;
  const std::string font = folder / ("site/" + made.faces[0].fileName);

  const CliRun css = runCli({"css", settingsPath, "-o", folder / "site/style.css"});
  EXPECT_EQ(css.exit, 0) << css.err;
  EXPECT_FILE_HOLDS(folder / "site/style.css", sheet);
  EXPECT_FILE_HOLDS(font, made.faces[0].woff2);

  fs::remove_all(folder.path() / "site/fonts");
  fs::remove(folder.path() / "site/style.css");
  const std::string program = std::string(QUILLANE_CLI_PATH) + " css " + settingsPath;
  ASSERT_EQ(std::system((program + " -o " + folder / "site/style.css").c_str()), 0);
  EXPECT_FILE_HOLDS(folder / "site/style.css", sheet);
  EXPECT_FILE_HOLDS(font, made.faces[0].woff2);

  const CliRun noOutput = runCli({"css", settingsPath});
  EXPECT_EQ(noOutput.exit, 2);
  EXPECT_EQ(noOutput.err, "quillane-cli: " + shownPath(settingsPath) +
                              ": the document embeds web fonts; name the output with -o, beside which they go\n");
  doc.fonts.limitKilobytes = 1;
  testing::writeBytes(settingsPath, cp932(settingsFileText(doc, Layout::Settings)));
  const CliRun tooLarge = runCli({"css", settingsPath, "-o", folder / "site/big.css"});
  EXPECT_EQ(tooLarge.exit, 2);
  EXPECT_FALSE(fs::exists(folder.path() / "site/big.css"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path() / "site/fonts"), fs::directory_iterator()), 1);
}

TEST_F(Cli, FontsReportsTheFontAndWhatThePagesLackWritingNothing) {
  constexpr const char* kNoto = "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
  ASSERT_TRUE(fs::exists(kNoto)) << "install fonts-noto-cjk";
  fs::create_directories(folder.path() / "site");
  // あい, then U+1F600, which Noto Sans CJK does not have.
  testing::writeBytes(folder / "site/index.html", "<meta charset=shift_jis><p>\x82\xA0\x82\xA2&#x1F600;</p>");
  const fonts::FontFile noto = fonts::openFontFile(kNoto);
  fonts::CharacterSet wanted{U'😀'};
  fonts::addNamedSet(wanted, fonts::NamedSet::Kana);
  ASSERT_EQ(wanted.size(), 420u);  // 64 + 86 + 7 + 96 of U+3000-30FF, 96 + 63 + 7 of U+FF01-FFE6, and U+1F600
  const fonts::FontSubset subset = fonts::subsetFont(noto, noto.faces[0], wanted);
  const CliRun r = runCli({"fonts", kNoto, "--face", "Noto Sans CJK JP", "--pages", folder / "site", "--set", "kana"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "フォント: Noto Sans CJK JP Regular（10 個のうち 1 番目）\n"
            "埋め込み: このフォントは埋め込みが許されています（制限なし）。\n"
            "ライセンス: This Font Software is licensed under the SIL Open Font License, Version 1.1. This Font "
            "Software is distributed on an \"AS IS\" BASIS, WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either "
            "express or implied. See the SIL Open Font License for the specific language, permissions and "
            "limitations governing your use of this Font Software.\n"
            "ライセンスの URL: http://scripts.sil.org/OFL\n"
            "ページ: 1 個、3 字\n"
            "文字: 420 字のうちフォントにあるのは " +
                std::to_string(subset.kept.size()) +
                " 字\n"
                "大きさ: 19,484,784 バイト → " +
                byteCountText(subset.woff2Bytes) +
                "（WOFF2）\n"
                "ページの文字でフォントにないもの: 1 字 😀\n");
  EXPECT_EQ(fs::directory_iterator(folder.path() / "site")->path().filename(), "index.html");

  const CliRun noPages = runCli({"fonts", kNoto, "--pages", folder / "none"});
  EXPECT_EQ(noPages.exit, 2);
  EXPECT_EQ(noPages.out, "");
  EXPECT_EQ(noPages.err, "quillane-cli: " + (folder / "none") + ": not a folder of pages\n");

  testing::writeBytes(folder / "cut.ttf",
                      testing::fileBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").substr(0, 2000));
  const CliRun cut = runCli({"fonts", folder / "cut.ttf", "--set", "ascii"});
  EXPECT_EQ(cut.exit, 2);
  EXPECT_EQ(cut.out, "");
  EXPECT_EQ(cut.err, "quillane-cli: " + (folder / "cut.ttf") +
                         ": 「cut.ttf」は壊れているか途中で切れています（表「GPOS」がファイルの外を指しています）。\n");
}

TEST_F(Cli, ImportWritesASettingsFileAndReportsWhereEachRuleWent) {
  const std::string css = folder / "site.css";
  testing::writeBytes(css, "p { color: #F00; margin: 0 }\r\n@media print {\r\n  p { color: #000 }\r\n}\r\n");
  const std::string out = folder / "site.qlf";
  const CliRun r = runCli({"import", css, "-o", out});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, css + ":1: form: p { color: #F00 }\n" + css + ":1: kept: p { margin: 0 }\n" + css +
                       ":2: kept: @media print { p { color: #000 } }\n");
  StyleDocument imported;
  ASSERT_TRUE(loadSettings(imported, Layout::Settings, testing::fileBytes(out)).ok());
  EXPECT_EQ(runCli({"css", out}).out,
            "@charset \"UTF-8\";\r\np {\r\n  color: #F00;\r\n}\r\np { margin: 0 }\r\n"
            "@media print {\r\n  p { color: #000 }\r\n}\r\n");

  // This program's own legacy sheet comes back as the same bytes, from standard input too.
  const std::string legacy = cp932(buildStyleSheet(doc).text);
  const CliRun fromInput = runCli({"import", "-", "-o", out}, legacy);
  EXPECT_EQ(fromInput.exit, 0) << fromInput.err;
  EXPECT_BYTES(legacy, runCli({"css", out}).out);

  // What the file holds reaches the terminal escaped: the report, and the advice of check.
  testing::writeBytes(css, "/* \x1B]2;owned\x07 */\r\np { font-family: \"\x1B[2J\" }\r\n");
  const CliRun escaped = runCli({"import", css, "-o", out});
  EXPECT_EQ(escaped.exit, 0) << escaped.err;
  EXPECT_EQ(escaped.err,
            css + ":1: kept: /* \\x1B]2;owned\\x07 */\n" + css + ":2: kept: p { font-family: \"\\x1B[2J\" }\n");
  StyleDocument local;
  local.slots[kSlotP].enabled = 1;
  local.slots[kSlotP].useImage = Choice::First;
  local.slots[kSlotP].imagePath = "/\x1B]2;x\x07.png";
  EXPECT_EQ(runCli({"check", "-"}, cp932(settingsFileText(local, Layout::Settings))).out,
            "「基本」タブの「段落（<P>～</P>）」の「背景画像」の「画像ファイルの場所」: 「/\\x1B]2;x\\x07.png」は"
            "このコンピューターの中の場所なので、ページを見る人には画像が表示されません。画像をページと同じフォルダーに"
            "置いて「\\x1B]2;x\\x07.png」のようにページからの場所で書いてください。\n");

  const CliRun missing = runCli({"import", folder / "none.css", "-o", out});
  EXPECT_EQ(missing.exit, 2);
  EXPECT_NE(missing.err.find("none.css"), std::string::npos);
  const CliRun huge = runCli({"import", "-"}, std::string((16 << 20) + 1, ' '));
  EXPECT_EQ(huge.exit, 2);
  EXPECT_EQ(huge.err, "quillane-cli: (standard input): ファイルが大きすぎます（16 MiB まで）。\n");
}

TEST_F(Cli, UnwritableOutputOrBadFilterNumberExitsTwo) {
  const CliRun r = runCli({"css", settingsPath, "-o", folder / "no/dir/x.css"});
  EXPECT_EQ(r.exit, 2);
  EXPECT_NE(r.err.find("x.css"), std::string::npos);

  doc.classes[1].glowOn = 1;
  doc.classes[1].glowStrength = "high";
  testing::writeBytes(settingsPath, cp932(settingsFileText(doc, Layout::Settings)));
  const CliRun bad = runCli({"css", settingsPath, "-o", folder / "x.css"});
  EXPECT_EQ(bad.exit, 2);
  EXPECT_NE(bad.err.find("クラス「見出し」の「光る」の「強さ」"), std::string::npos) << bad.err;
  EXPECT_FALSE(std::filesystem::exists(folder / "x.css"));
}

// The same check as the editor's writers: a breaking value in any one field
// the output writes ends the run with one line naming that field.
TEST_F(Cli, EveryGuardedFieldIsRefusedNamingIt) {
  const std::string breaking = "x</style><script>";
  for (const testing::GuardedField& field : testing::guardedFields()) {
    if (field.scope == testing::GuardedField::LinkPage) continue;  // the tool writes no linking page
    if (field.control.family == "Text2") continue;                 // files keep the slider, not the text
    StyleDocument bad;
    field.switchOn(bad, field.control.index);
    const auto value = fieldOf(bad, field.control);
    ASSERT_TRUE(value && value->text);
    *value->text = breaking;
    const std::string path = folder / "bad.qlf";
    testing::writeBytes(path, cp932(settingsFileText(bad, Layout::Settings)));
    const std::string says = "quillane-cli: " + path + ": " +
                             ValueError{field.control, screenWords(field.control, bad), "<", breaking}.describe() +
                             "\n";
    std::vector<std::vector<std::string>> runs = {{"css", path}, {"html", path}};
    if (field.scope == testing::GuardedField::Class)
      runs.push_back({"class-preview", path, std::to_string(field.control.index)});
    for (auto args : runs) {
      for (bool modern : {false, true}) {
        if (modern) args.push_back("--modern");
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exit, 2) << field.control.toString() << " " << args[0];
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err, says) << args[0];
      }
    }
  }
}

TEST_F(Cli, LinkRewritesThePageKeepingItsBytes) {
  const std::string page = "<html><head>\n<title>\x95\x5C</title></head><body></body></html>";
  testing::writeBytes(folder / "p.html", page);
  const CliRun r = runCli({"link", folder / "p.html", "site.css", "--no-comment"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_BYTES(
      "\r\n<html><head>\n<title>\x95\x5C</title>\r\n<LINK href=\"site.css\" rel=\"stylesheet\" "
      "type=\"text/css\">\r\n</HEAD><body></body></html>",
      r.out);
  // A modern sheet beside the page gives it the SVG filters it carries.
  StyleDocument doc;
  doc.output.modern = doc.classes[0].enabled = doc.classes[0].blurOn = 1;
  testing::writeBytes(folder / "site.css", buildModernStyleSheet(doc).text);
  EXPECT_BYTES(
      "\r\n<html><head>\n<title>\x95\x5C</title>\r\n<LINK href=\"site.css\" rel=\"stylesheet\" "
      "type=\"text/css\">\r\n</HEAD><body>\r\n" +
          modernFilterBlock(doc) + "</body></html>",
      runCli({"link", folder / "p.html", "site.css", "--no-comment"}).out);
  // No head: answered as OK. The comment comes first by default.
  const CliRun top = runCli({"link", "-", "a.css"}, "<p>x</p>");
  EXPECT_TRUE(top.out.starts_with("<HEAD>\r\n<LINK href=\"a.css\""));
  EXPECT_NE(top.out.find("\r\n<!"), std::string::npos);
  EXPECT_EQ(runCli({"link", "-", "名前.css"}, "<HEAD></HEAD>").exit, 0);
  EXPECT_EQ(runCli({"link", "-", "😀.css"}, "<HEAD></HEAD>").exit, 2);      // not for a Shift_JIS page
  EXPECT_EQ(runCli({"link", "-", "😀.css"}, "<HEAD></HEAD>日本").exit, 0);  // a UTF-8 page holds it
  EXPECT_EQ(runCli({"link", "-"}).exit, 1);

  // A Shift_JIS style sheet beside a UTF-8 page: linked, with a warning.
  testing::writeBytes(folder / "u.html", "<meta charset=utf-8><head></head>");
  testing::writeBytes(folder / "sjis.css", "P { font-family: \"\x96\xbe\x92\xa9\"; }");
  const CliRun warned = runCli({"link", folder / "u.html", "sjis.css", "--no-comment"});
  EXPECT_EQ(warned.exit, 0);
  EXPECT_EQ(warned.err, "quillane-cli: " + (folder / "sjis.css") + ": " +
                            *misreadStyleSheetWarning("\x96\xbe", PageEncoding::Utf8, "sjis.css") + "\n");
}

TEST_F(Cli, ClassPreviewWritesTheClassPage) {
  const CliRun r = runCli({"class-preview", settingsPath, "1", "--title", "T"});
  EXPECT_EQ(r.exit, 0) << r.err;
  std::string text;
  std::size_t bad = 0;
  ASSERT_TRUE(decodeCp932(r.out, text, bad));
  EXPECT_TRUE(text.starts_with("<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>"));
  EXPECT_NE(text.find("<P class=\"見出し\">サンプルです</P>"), std::string::npos);
  EXPECT_EQ(runCli({"class-preview", settingsPath, "6"}).exit, 1);
  EXPECT_EQ(runCli({"class-preview", settingsPath}).exit, 1);
}

// One line on standard error, and nothing else.
::testing::AssertionResult oneLine(const std::string& err) {
  if (!err.empty() && err.find('\n') == err.size() - 1) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "not one line: " << err.substr(0, 300);
}

TEST_F(Cli, HugeInputIsRefusedInOneLine) {
  const CliRun noBreaks = runCli({"css", "-"}, std::string(3'000'000, 'x'));
  EXPECT_EQ(noBreaks.exit, 2);
  EXPECT_TRUE(oneLine(noBreaks.err));
  EXPECT_NE(noBreaks.err.find("1 行目: 行が長すぎます"), std::string::npos) << noBreaks.err;
  const CliRun crOnly = runCli({"html", "-", "--sample"}, std::string(3'000'000, '\r'));
  EXPECT_EQ(crOnly.exit, 2);
  EXPECT_NE(crOnly.err.find("328 行目: 行が多すぎます"), std::string::npos) << crOnly.err;
  const CliRun page = runCli({"link", "-", "a.css"}, std::string(kMaxPageBytes + 1, ' '));
  EXPECT_EQ(page.exit, 2);
  EXPECT_TRUE(oneLine(page.err));
  EXPECT_TRUE(page.out.empty());
}

TEST_F(Cli, ValuesThatWouldLeaveTheirPlaceAreRefusedBeforeWriting) {
  const std::string out = folder / "out.html";
  doc.slots[kSlotA].fontName = "Arial\"; } body { display:none";
  testing::writeBytes(settingsPath, cp932(settingsFileText(doc, Layout::Settings)));
  for (const char* command : {"css", "html"}) {
    const CliRun r = runCli({command, settingsPath, "-o", out});
    EXPECT_EQ(r.exit, 2);
    EXPECT_EQ(r.err,
              "quillane-cli: " + settingsPath +
                  ": 「基本」タブの「リンク(<A>～</A>)」の「フォント名」には「;」を使えません（今は「Arial\"; } body "
                  "{ display:none」）。\n");
  }
  EXPECT_EQ(runCli({"class-preview", settingsPath, "1"}).exit, 0);  // the preview writes no tag rules
  EXPECT_FALSE(std::filesystem::exists(out));

  const CliRun title = runCli({"class-preview", settingsPath, "1", "--title", "</TITLE><script>"});
  EXPECT_NE(title.out.find("<TITLE>&lt;/TITLE&gt;&lt;script&gt;</TITLE>"), std::string::npos);
  const CliRun name = runCli({"link", "-", "x.css\" onload=\"alert(1)"}, "<HEAD></HEAD>");
  EXPECT_EQ(name.exit, 2);
  EXPECT_TRUE(oneLine(name.err));
}

TEST_F(Cli, LinkKeepsTheByteOrderMarkAndRefusesWidePages) {
  const CliRun marked = runCli({"link", "-", "a.css", "--no-comment"}, "\xEF\xBB\xBF<HEAD></HEAD>");
  EXPECT_EQ(marked.exit, 0);
  EXPECT_TRUE(marked.out.starts_with("\xEF\xBB\xBF\r\n<HEAD>\r\n<LINK href=\"a.css\""));
  const CliRun wide = runCli({"link", "-", "a.css"}, std::string("\xFF\xFE<\0H\0", 6));
  EXPECT_EQ(wide.exit, 2);
  EXPECT_TRUE(oneLine(wide.err));
}

TEST_F(Cli, ArgumentsAreEchoedWithoutTheirControlCharacters) {
  const CliRun r = runCli({"css", settingsPath, "\x1B]0;title\x07"});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(r.err.find('\x1B'), std::string::npos);
  EXPECT_NE(r.err.find("unexpected argument '\\x1B]0;title\\x07'"), std::string::npos);
}

TEST_F(Cli, DarkVariantAndGradientsComeFromTheSettingsFile) {
  StyleDocument dark;
  dark.dark.enabled = dark.slots[kSlotBody].enabled = 1;
  dark.colours[18] = "333333", dark.dark.colours[18] = "EEEEEE";
  dark.colours[19] = "FFFFFF", dark.dark.colours[19] = "121212";
  dark.gradients[kSlotBody] = {GradientKind::Linear, "90", {"DDDDDD", ""}, {"222222", ""}};
  const std::string file = cp932(settingsFileText(dark, Layout::Settings));
  EXPECT_BYTES(
      testing::crlf(
          {"@charset \"UTF-8\";", ":root {", "  color-scheme: light dark;", "}", "body {", "  color: #333333;",
           "  background-color: #FFFFFF;", "  background-image: linear-gradient(90deg, #FFFFFF, #DDDDDD);", "}",
           "@media (prefers-color-scheme: dark) {", "  body {", "    color: #EEEEEE;", "    background-color: #121212;",
           "    background-image: linear-gradient(90deg, #121212, #222222);", "  }", "}"}),
      runCli({"css", "-", "--modern"}, file).out);
  // The legacy sheet and the saved file are what they were without them.
  StyleDocument light = dark;
  light.dark = {};
  light.gradients = {};
  EXPECT_BYTES(buildStyleSheet(light).text, runCli({"css", "-"}, file).out);
  const std::string out = folder / "dark.qlf";
  ASSERT_EQ(runCli({"save", "-", "-o", out}, file).exit, 0);
  EXPECT_FILE_HOLDS(out, file);
}

TEST_F(Cli, ModernWritesUtf8OnEverySubcommand) {
  StyleDocument modern = doc;
  modern.output.modern = 1;
  EXPECT_BYTES(buildModernStyleSheet(modern).text, runCli({"css", settingsPath, "--modern"}).out);
  EXPECT_BYTES(buildModernEmbeddedPage(modern).text, runCli({"html", "--modern", settingsPath}).out);
  EXPECT_BYTES(buildModernClassPreview(modern, 1).text, runCli({"class-preview", settingsPath, "1", "--modern"}).out);

  // save --modern writes the line-323 form, which then reads as modern without the option.
  const std::string out = folder / "modern.qlf";
  ASSERT_EQ(runCli({"save", settingsPath, "--modern", "-o", out}).exit, 0);
  EXPECT_FILE_HOLDS(out, cp932(settingsFileText(modern, Layout::Settings)));
  EXPECT_TRUE(testing::fileBytes(out).ends_with("\r\nTrue\r\n"));
  EXPECT_BYTES(buildModernStyleSheet(modern).text, runCli({"css", out}).out);

  // UTF-8 holds what CP932 cannot.
  modern.output.htmlTitle = "€";
  EXPECT_BYTES(buildModernEmbeddedPage(modern).text, runCli({"html", settingsPath, "--modern", "--title", "€"}).out);
  EXPECT_EQ(runCli({"html", settingsPath, "--title", "€"}).exit, 2);

  EXPECT_EQ(runCli({"link", "-", "a.css", "--modern"}).exit, 1);
  EXPECT_NE(runCli({"--help"}).out.find("--modern"), std::string::npos);
}

// The real program, as a script would run it.
TEST_F(Cli, TheProgramWritesExactBytesToStandardOutput) {
  const std::string command = std::string(QUILLANE_CLI_PATH) + " css " + settingsPath + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_BYTES(cp932(buildStyleSheet(doc).text), out);

  const int refused = std::system((std::string(QUILLANE_CLI_PATH) + " css /no/such 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(refused), 2);
  const int usage = std::system((std::string(QUILLANE_CLI_PATH) + " 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(usage), 1);
}

// Runs the real program through the shell; its exit status and what it printed.
struct ShellRun {
  int status = -1;
  std::string printed;
};
ShellRun runShell(const std::string& arguments) {
  ShellRun run;
  FILE* pipe = ::popen((std::string(QUILLANE_CLI_PATH) + arguments).c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
    run.printed.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Shell habits: output into pipes, named pipes and appended logs, never
// over the input.
TEST_F(Cli, TheProgramWritesThroughPipesNamedPipesAndAppends) {
  const std::string css = cp932(buildStyleSheet(doc).text);
  const std::string cli = std::string(QUILLANE_CLI_PATH) + " css " + settingsPath;
  const ShellRun piped = runShell(" css " + settingsPath + " -o /dev/stdout");  // popen's pipe
  EXPECT_EQ(piped.status, 0);
  EXPECT_BYTES(css, piped.printed);

  const std::string log = folder / "log.txt";
  testing::writeBytes(log, "earlier\n");
  ASSERT_EQ(std::system((cli + " -o /dev/stdout >> " + log).c_str()), 0);
  EXPECT_FILE_HOLDS(log, "earlier\n" + css);

  const std::string fifo = folder / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // A named pipe that happens to bear the style sheet's name is not read.
  EXPECT_EQ(std::system(("cd " + folder.str() + " && echo '<head></head>' | " + std::string(QUILLANE_CLI_PATH) +
                         " link - fifo >/dev/null")
                            .c_str()),
            0);
  const std::string got = folder / "got.css";
  ASSERT_EQ(std::system(("cat " + fifo + " > " + got + " & " + cli + " -o " + fifo + " && wait").c_str()), 0);
  EXPECT_FILE_HOLDS(got, css);
  const auto start = std::chrono::steady_clock::now();
  const ShellRun unread = runShell(" css " + settingsPath + " -o " + fifo + " 2>&1");
  EXPECT_EQ(unread.status, 2);
  EXPECT_EQ(unread.printed, "quillane-cli: " + fifo + ": nothing reads from this named pipe (waited 3 seconds)\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

  const std::string before = testing::fileBytes(settingsPath);
  fs::create_symlink(settingsPath, folder.path() / "same.qlf");
  for (const std::string& out : {settingsPath, folder / "same.qlf"}) {
    const ShellRun over = runShell(" css " + settingsPath + " -o " + out + " 2>&1");
    EXPECT_EQ(over.status, 2);
    EXPECT_EQ(over.printed,
              "quillane-cli: " + out + ": -o names the input file, which would be replaced; write elsewhere\n");
  }
  EXPECT_FILE_HOLDS(settingsPath, before);
  // A page is linked in place, as the link window saves it.
  testing::writeBytes(folder / "p.html", "<head></head>");
  EXPECT_EQ(runShell(" link " + (folder / "p.html") + " a.css --no-comment -o " + (folder / "p.html")).status, 0);
  EXPECT_FILE_HOLDS(folder / "p.html",
                    "\r\n<head>\r\n<LINK href=\"a.css\" rel=\"stylesheet\" type=\"text/css\">\r\n</HEAD>");
}

// An endless input ends in exit status 2 and one line, not in an abort.
TEST_F(Cli, TheProgramRefusesEndlessInputInOneLine) {
  for (const std::string args :
       {" css /dev/zero", " html - --sample </dev/zero", " link /dev/zero a.css", " fonts /dev/zero --set ascii"}) {
    const ShellRun run = runShell(args + " 2>&1 >/dev/null");
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_TRUE(oneLine(run.printed)) << args;
  }
}

// The program finds the samples laid out beside it in the build tree.
TEST_F(Cli, TheProgramListsTheSamplesBesideIt) {
  const ShellRun run = runShell(" samples");
  EXPECT_EQ(run.status, 0);
  const std::string beside =
      std::filesystem::canonical(std::filesystem::path(QUILLANE_CLI_PATH).parent_path()).string() + "/sample/";
  EXPECT_EQ(run.printed.find(beside + "01-simple.smp\t"), 0u) << run.printed;
  EXPECT_GE(std::count(run.printed.begin(), run.printed.end(), '\n'), 10);
}

// --- The documents' lists of commands ---------------------------------------

// A command and the options its usage line names, in order:
//   "link PAGE CSSNAME [--no-comment] [-o OUT]" -> {"link", {"--no-comment", "-o"}}
struct Usage {
  std::string command;
  std::vector<std::string> options;
  friend bool operator==(const Usage&, const Usage&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Usage& u) {
    out << u.command;
    for (const std::string& o : u.options) out << " " << o;
    return out;
  }
};

// The usage of one line that starts with "quillane-cli", or nothing for
// the line of --help and --version.
std::optional<Usage> usageOf(const std::string& line) {
  std::istringstream words(std::regex_replace(line, std::regex(R"([\[\]|"])"), " "));
  std::string word;
  words >> word;  // quillane-cli
  Usage usage;
  if (!(words >> usage.command) || usage.command.starts_with('-')) return std::nullopt;
  while (words >> word)
    if (word.starts_with('-')) usage.options.push_back(word);
  return usage;
}

std::string fileText(const std::string& relative) {
  std::ifstream in(std::string(QUILLANE_PROJECT_FOLDER) + "/" + relative, std::ios::binary);
  EXPECT_TRUE(in) << relative;
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The usage lines of plain text: each line that starts with "quillane-cli"
// after `prefix`.
std::vector<Usage> usagesIn(const std::string& text, const std::string& prefix) {
  std::vector<Usage> usages;
  for (const std::string& line : linesOf(text))
    if (line.starts_with(prefix + "quillane-cli "))
      if (auto usage = usageOf(line.substr(prefix.size()))) usages.push_back(*usage);
  return usages;
}

// A manual page's synopsis (entries parted by ".br", the font macros left
// out) and the commands its section `commands` describes (".TP" then ".B name").
std::pair<std::vector<Usage>, std::vector<std::string>> manualPage(const std::string& path, const std::string& synopsis,
                                                                   const std::string& commands) {
  std::vector<Usage> usages;
  std::vector<std::string> described;
  std::string section, entry;
  std::string previous;
  for (std::string line : linesOf(fileText(path))) {
    line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
    if (line.starts_with(".SH ")) section = line.substr(4);
    if (section == synopsis && (line == ".br" || line.starts_with(".SH "))) {
      if (auto usage = usageOf(entry)) usages.push_back(*usage);
      entry.clear();
    } else if (section == synopsis) {
      entry += " " + std::regex_replace(line, std::regex(R"(^\.[A-Z]+ ?)"), "");
    }
    if (section == commands && previous == ".TP" && line.starts_with(".B ")) described.push_back(line.substr(3));
    previous = line;
  }
  if (auto usage = usageOf(entry)) usages.push_back(*usage);
  return {usages, described};
}

TEST(Documents, ListTheCommandsOfTheProgramsUsage) {
  const std::vector<Usage> program = usagesIn(runCli({"--help"}).out, "  ");
  ASSERT_EQ(program.size(), 9u);
  std::vector<std::string> commands;
  for (const Usage& u : program) commands.push_back(u.command);
  for (const auto& [path, synopsis, section] : {std::tuple{"data/man/quillane-cli.1.in", "SYNOPSIS", "COMMANDS"},
                                                std::tuple{"data/man/ja/quillane-cli.1.in", "書式", "コマンド"}}) {
    const auto [usages, described] = manualPage(path, synopsis, section);
    EXPECT_EQ(usages, program) << path;
    EXPECT_EQ(described, commands) << path;
  }
  EXPECT_EQ(usagesIn(fileText("README.md"), "    build/bin/"), program);
  const std::string help = fileText("install/help/index.html");
  EXPECT_EQ(usagesIn(std::regex_replace(help, std::regex("<pre>"), "\n"), ""), program);
}

// A sample the help names is named as the "サンプル" menu names it.
TEST(Documents, NameTheSamplesAsTheMenuDoes) {
  StringConsole console("");
  ASSERT_EQ(cli::run({"samples"}, console, std::string(QUILLANE_PROJECT_FOLDER) + "/install/"), 0);
  std::vector<std::string> menu;
  for (const std::string& line : linesOf(console.out)) menu.push_back(line.substr(line.find('\t') + 1));
  const std::string help = fileText("install/help/index.html");
  const std::regex named("サンプル「(.*?)」");
  int count = 0;
  for (auto it = std::sregex_iterator(help.begin(), help.end(), named); it != std::sregex_iterator(); ++it, ++count)
    EXPECT_NE(std::find(menu.begin(), menu.end(), (*it)[1].str()), menu.end()) << (*it)[1].str();
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace quillane
