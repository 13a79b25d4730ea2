// The command-line contract: arguments, bytes out, exit codes.
#include "cli/cli.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

#include "generation/stylesheet_text.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"
#include "test_support.h"

namespace quillane {
namespace {

using testing::ScratchFolder;

struct CliRun {
  int exit = -1;
  std::string out;
  std::string err;
};

class StringConsole : public cli::Console {
 public:
  explicit StringConsole(std::string input) : m_input(std::move(input)) {}
  bool readInput(std::string& bytes) override {
    bytes += m_input;
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
  r.exit = cli::run(args, console);
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
                                                                {"css", "a", "--x"}}) {
    const CliRun r = runCli(args);
    EXPECT_EQ(r.exit, 1) << ::testing::PrintToString(args);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(runCli({"--help"}).exit, 0);
  EXPECT_EQ(runCli({"--version"}).out, "quillane-cli 2.1.0\n");
}

TEST_F(Cli, SamplesListsTheMenuOfTheApplicationFolder) {
  const std::string app = folder / "app";
  std::filesystem::create_directories(app + "/sample");
  testing::writeBytes(app + "/sample/b.smp", cp932(settingsFileText(doc, Layout::Sample, "", "二番")));
  testing::writeBytes(app + "/sample/A.smp", cp932(settingsFileText(doc, Layout::Sample, "me", "一番")));
  testing::writeBytes(app + "/sample/broken.smp", "x");
  StringConsole console("");
  EXPECT_EQ(cli::run({"samples"}, console, app + "/"), 0);
  EXPECT_EQ(console.out, app + "/sample/A.smp\t一番\n" + app + "/sample/b.smp\t二番\n");
  EXPECT_EQ(cli::run({"samples", "extra"}, console, app), 1);
  EXPECT_NE(console.err.find("samples takes no arguments"), std::string::npos);
}

TEST_F(Cli, RefusedInputExitsTwoNamingFileAndLine) {
  std::string bad = testing::fileBytes(settingsPath);
  bad.replace(bad.find("False"), 5, "Maybe");
  testing::writeBytes(folder / "bad.qlf", bad);
  const CliRun r = runCli({"css", folder / "bad.qlf"});
  EXPECT_EQ(r.exit, 2);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err, "quillane-cli: " + (folder / "bad.qlf") +
                       " の 45 行目: Option4(0) にはTrue か Falseが必要です（今は「Maybe」）。\n");

  const CliRun missing = runCli({"css", folder / "none.qlf"});
  EXPECT_EQ(missing.exit, 2);
  EXPECT_NE(missing.err.find("none.qlf"), std::string::npos);
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

TEST_F(Cli, LinkRewritesThePageKeepingItsBytes) {
  const std::string page = "<html><head>\n<title>\x95\x5C</title></head><body></body></html>";
  testing::writeBytes(folder / "p.html", page);
  const CliRun r = runCli({"link", folder / "p.html", "site.css", "--no-comment"});
  EXPECT_EQ(r.exit, 0) << r.err;
  EXPECT_BYTES(
      "\r\n<html><head>\n<title>\x95\x5C</title>\r\n<LINK href=\"site.css\" rel=\"stylesheet\" "
      "type=\"text/css\">\r\n</HEAD><body></body></html>",
      r.out);
  // No head: answered as OK. The comment comes first by default.
  const CliRun top = runCli({"link", "-", "a.css"}, "<p>x</p>");
  EXPECT_TRUE(top.out.starts_with("<HEAD>\r\n<LINK href=\"a.css\""));
  EXPECT_NE(top.out.find("\r\n<!"), std::string::npos);
  EXPECT_EQ(runCli({"link", "-", "名前.css"}, "<HEAD></HEAD>").exit, 0);
  EXPECT_EQ(runCli({"link", "-", "😀.css"}, "<HEAD></HEAD>").exit, 2);      // not for a Shift_JIS page
  EXPECT_EQ(runCli({"link", "-", "😀.css"}, "<HEAD></HEAD>日本").exit, 0);  // a UTF-8 page holds it
  EXPECT_EQ(runCli({"link", "-"}).exit, 1);
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

// The program finds the samples laid out beside it in the build tree.
TEST_F(Cli, TheProgramListsTheSamplesBesideIt) {
  const std::string command = std::string(QUILLANE_CLI_PATH) + " samples";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) out.append(buffer.data(), n);
  EXPECT_EQ(WEXITSTATUS(::pclose(pipe)), 0);
  const std::string beside =
      std::filesystem::canonical(std::filesystem::path(QUILLANE_CLI_PATH).parent_path()).string() + "/sample/";
  EXPECT_EQ(out.find(beside + "01-simple.smp\t"), 0u) << out;
  EXPECT_GE(std::count(out.begin(), out.end(), '\n'), 10);
}

}  // namespace
}  // namespace quillane
