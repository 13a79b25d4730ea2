// The make command and its writers, seen through the fake platform.
#include "generation/make_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "generation/stylesheet_text.h"
#include "platform/text_file.h"
#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::ScratchFolder;

class MakeCommand : public ::testing::Test {
 protected:
  FakePlatform platform;
  ScratchFolder folder;
  StyleDocument doc;

  void chooseStyleSheet(const std::string& dir, const std::string& name) {
    doc.output.format = Choice::Second;
    doc.output.cssFolder = dir;
    doc.output.cssFileName = name;
  }
};

TEST_F(MakeCommand, DefaultsAskForAFolderAndWriteNothing) {
  Command6_Click(platform, doc, folder.str());
  const auto& m = platform.onlyMessage();
  EXPECT_EQ(m.text, "保存先を指定してください");
  EXPECT_EQ(m.title, "保存時エラー");
  EXPECT_EQ(m.icon, MessageIcon::Exclamation);
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST_F(MakeCommand, MissingFileNameIsRefusedInBothFormats) {
  doc.output.htmlFolder = folder.str();
  doc.output.htmlFileName = "";
  Command6_Click(platform, doc, folder.str());
  chooseStyleSheet(folder.str(), "");
  Command6_Click(platform, doc, folder.str());
  ASSERT_EQ(platform.messages.size(), 2u);
  for (const auto& m : platform.messages) EXPECT_EQ(m.text, "ファイル名を指定してください");
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST_F(MakeCommand, HtmlFormatWritesThePageAndSaysDone) {
  doc.output.htmlFolder = folder.path().string();  // no trailing separator
  doc.output.htmlFileName = "page";
  Command6_Click(platform, doc, "/nowhere/");
  EXPECT_EQ(testing::fileText(folder / "page.html"), buildEmbeddedPage(doc).text);
  const auto& m = platform.onlyMessage();
  EXPECT_EQ(m.text, "保存完了");
  EXPECT_EQ(m.title, "");  // the application title
  EXPECT_EQ(m.icon, MessageIcon::Information);
}

TEST_F(MakeCommand, PageNamesKeepHtmOrHtmlCaseSensitively) {
  doc.output.htmlFolder = folder.str();
  for (const char* name : {"a.htm", "b.html", "C.HTML"}) {
    doc.output.htmlFileName = name;
    EXHtml(platform, doc, "", false);
  }
  EXPECT_TRUE(fs::exists(folder / "a.htm"));
  EXPECT_TRUE(fs::exists(folder / "b.html"));
  EXPECT_TRUE(fs::exists(folder / "C.HTML.html"));
}

TEST_F(MakeCommand, StyleSheetFormatWritesSheetAndLinkingPage) {
  chooseStyleSheet(folder.str(), "style.CSS");
  doc.output.linkPageFileName = "INDEX.HTML";
  doc.slots[kSlotP].enabled = 1;
  Command6_Click(platform, doc, folder.str());
  EXPECT_EQ(testing::fileText(folder / "style.CSS.css"), buildStyleSheet(doc).text);
  EXPECT_EQ(testing::fileText(folder / "INDEX.HTML.html"), buildLinkPage(doc, "style.CSS.css"));
  EXPECT_EQ(platform.onlyMessage().text, "保存完了");
}

TEST_F(MakeCommand, NothingEnabledWritesAnEmptySheetAndNoPageWhenNotAsked) {
  chooseStyleSheet(folder.str(), "empty.css");
  doc.output.makeLinkPage = Choice::Second;
  Command6_Click(platform, doc, folder.str());
  EXPECT_FILE_HOLDS(folder / "empty.css", "");
  EXPECT_FALSE(fs::exists(folder / "style.html"));
  EXPECT_EQ(platform.onlyMessage().text, "保存完了");
}

TEST_F(MakeCommand, PreviewWritesUnderTheExactNameAndSaysNothing) {
  EXPECT_TRUE(EXStyle(platform, doc, folder.str(), "essepreviewcss.css", true));
  EXPECT_TRUE(fs::exists(folder / "essepreviewcss.css"));
  EXPECT_FALSE(fs::exists(folder / "style.html"));
  fs::create_directory(folder.path() / "preview");
  EXPECT_TRUE(EXHtml(platform, doc, folder.path().string(), true));  // empty Text9 is fine
  EXPECT_TRUE(fs::exists(folder / "preview/pre.html"));
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(MakeCommand, AnAccessErrorSaysTheTargetIsBad) {
  fs::create_directory(folder.path() / "taken.css");  // a folder where the file should go
  chooseStyleSheet(folder.str(), "taken.css");
  Command6_Click(platform, doc, folder.str());
  const auto& m = platform.onlyMessage();
  EXPECT_EQ(m.text, "保存先が不正です。");
  EXPECT_EQ(m.title, "エラー");
  EXPECT_EQ(m.icon, MessageIcon::Critical);
}

TEST_F(MakeCommand, OtherErrorsShowTheirNumberAndStopBeforeTheLinkingPage) {
  chooseStyleSheet(folder.str() + "missing/", "style.css");
  Command6_Click(platform, doc, folder.str());
  const auto& m = platform.onlyMessage();
  EXPECT_EQ(m.text,
            "原因不明のエラー\r\nVelmoにエラーナンバーとエラーの発生した状況を送ってくださるとうれしいです。エラーナン"
            "バー： 76");
  EXPECT_EQ(m.icon, MessageIcon::Exclamation);
  EXPECT_EQ(unknownErrorText(-3).substr(unknownErrorText(-3).size() - 5), "：-3");
}

TEST_F(MakeCommand, PreviewPageWithoutItsFolderIsReportedToo) {
  EXPECT_FALSE(EXHtml(platform, doc, folder.str(), true));
  EXPECT_NE(platform.onlyMessage().text.find("： 76"), std::string::npos);
}

TEST_F(MakeCommand, ADiskFullWriteLeavesTheEarlierFileIntact) {
  chooseStyleSheet(folder.str(), "style.css");
  testing::writeBytes(folder / "style.css", "old");
  platform.failWritesWith = ENOSPC;
  Command6_Click(platform, doc, folder.str());
  EXPECT_NE(platform.onlyMessage().text.find("： 61"), std::string::npos);
  EXPECT_FILE_HOLDS(folder / "style.css", "old");
}

TEST_F(MakeCommand, ABadFilterNumberWritesNothing) {
  chooseStyleSheet(folder.str(), "style.css");
  doc.classes[4].enabled = 1;
  doc.classes[4].shadowOn = 1;
  doc.classes[4].shadowDirection = "left";
  Command6_Click(platform, doc, folder.str());
  const auto& m = platform.onlyMessage();
  EXPECT_NE(m.text.find("クラス「efect4」の「影を落とす」の「方向」"), std::string::npos);
  EXPECT_EQ(m.title, "保存時エラー");
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST_F(MakeCommand, ACharacterShiftJisCannotHoldWritesNothingAndSaysWhere) {
  chooseStyleSheet(folder.str(), "style.css");
  testing::writeBytes(folder / "style.css", "old");
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].fontName = "Font€";
  Command6_Click(platform, doc, folder.str());
  const auto& m = platform.onlyMessage();
  EXPECT_NE(m.text.find("「€」(U+20AC)"), std::string::npos) << m.text;
  EXPECT_NE(m.text.find("5行目、22文字目"), std::string::npos) << m.text;
  EXPECT_FILE_HOLDS(folder / "style.css", "old");
}

TEST_F(MakeCommand, JapaneseTextIsWrittenInShiftJis) {
  doc.output.htmlFolder = folder.str();
  doc.output.htmlTitle = "表";  // 0x955C: its second byte is the backslash
  EXHtml(platform, doc, "", false);
  const std::string bytes = testing::fileBytes(folder / "style.html");
  EXPECT_NE(bytes.find("<TITLE>\x95\x5C</TITLE>"), std::string::npos);
  EXPECT_NE(bytes.find("<P>\x83\x54\x83\x93\x83\x76\x83\x8B</P>"), std::string::npos);  // サンプル
}

// madeFile: what the live view shows as the text "出力する" would write.
TEST_F(MakeCommand, MadeFileIsWhatTheCommandWritesInEachFormatAndOutput) {
  doc.slots[kSlotP].enabled = 1;
  doc.slots[kSlotP].fontName = "メイリオ";
  doc.classes[0].enabled = 1;
  doc.classes[0].glowOn = 1;
  doc.output.htmlFolder = folder.str();
  doc.output.htmlFileName = "page";
  chooseStyleSheet(folder.str(), "sheet");
  for (Choice format : {Choice::First, Choice::Second}) {
    for (int modern : {0, 1}) {
      doc.output.format = format;
      doc.output.modern = modern;
      const auto made = madeFile(doc);
      ASSERT_TRUE(made && made->output.ok());
      EXPECT_EQ(made->path, folder / (format == Choice::First ? "page.html" : "sheet.css"));
      Command6_Click(platform, doc, folder.str());
      const std::string bytes = testing::fileBytes(made->path);
      EXPECT_EQ(modern ? bytes : testing::fileText(made->path), made->output.text) << modern;
      EXPECT_EQ(made->output.encoding, modern ? OutputEncoding::Utf8 : OutputEncoding::Cp932);
    }
  }
}

TEST_F(MakeCommand, MadeFileCarriesTheRefusalTheCommandShows) {
  chooseStyleSheet(folder.str(), "style.css");
  doc.output.cssFileName = "a\"b.css";  // refused only for the linking page's href
  const auto made = madeFile(doc);
  ASSERT_TRUE(made && made->output.refusal);
  Command6_Click(platform, doc, folder.str());
  EXPECT_EQ(platform.onlyMessage().text, *made->output.refusal + "\r\n何も保存していません。");
  EXPECT_TRUE(fs::is_empty(folder.path()));

  doc.output.makeLinkPage = Choice::Second;
  const auto withoutPage = madeFile(doc);
  ASSERT_TRUE(withoutPage);
  EXPECT_TRUE(withoutPage->output.ok());
}

TEST_F(MakeCommand, MadeFileWithoutFolderOrFormat) {
  const auto made = madeFile(doc);  // defaults: HTML, no folder
  ASSERT_TRUE(made);
  EXPECT_EQ(made->path, "style.html");
  doc.output.format = Choice::Neither;
  EXPECT_FALSE(madeFile(doc));
}

}  // namespace
}  // namespace quillane
