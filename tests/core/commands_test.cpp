// The file menu, the sample library and the previews, through the fake platform.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/product.h"
#include "generation/stylesheet_text.h"
#include "persistence/file_commands.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"
#include "preview/preview_commands.h"
#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::ScratchFolder;

using testing::cp932;

class Commands : public ::testing::Test {
 protected:
  FakePlatform platform;
  ScratchFolder folder;
  StyleDocument doc;

  void writeSample(const std::string& name, const std::string& caption, const StyleDocument& content = {}) {
    testing::writeBytes(folder / name, cp932(settingsFileText(content, Layout::Sample, "作者", caption)));
  }
};

TEST_F(Commands, CancelledDialogsChangeNothingAndSayNothing) {
  doc.colours[0] = "123456";
  const StyleDocument before = doc;
  EXPECT_FALSE(MenuOpenFile_Click(platform, doc));
  EXPECT_FALSE(MenuOpenFileQL_Click(platform, doc));
  MenuSaveFile_Click(platform, doc);
  EXPECT_FALSE(MenuSaveSumple_Click(platform, doc));
  EXPECT_TRUE(doc == before);
  EXPECT_TRUE(platform.messages.empty());
  ASSERT_EQ(platform.dialogs.size(), 4u);
  EXPECT_EQ(platform.dialogs[0].filter, "Quillane設定ファイル(*.qlf)|*.qlf");
  EXPECT_EQ(platform.dialogs[1].filter, "");
  EXPECT_EQ(platform.dialogs[2].mode, FileDialogMode::Save);
  EXPECT_EQ(platform.dialogs[3].filter, "サンプルファイル(*.smp)|*.smp");
}

TEST_F(Commands, SaveThenOpenRestoresTheDocument) {
  doc.slots[kSlotA].enabled = 1;
  doc.classes[3].className = "帯";
  platform.fileChoices = {folder / "mine.qlf", folder / "mine.qlf"};
  MenuSaveFile_Click(platform, doc);
  StyleDocument loaded;
  EXPECT_TRUE(MenuOpenFile_Click(platform, loaded));
  EXPECT_EQ(loaded.slots[kSlotA].enabled, 1);
  EXPECT_EQ(loaded.classes[3].className, "帯");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(Commands, ARefusedFileIsNamedWithItsLineAndChangesNothing) {
  writeSample("sample.smp", "x");
  platform.fileChoices = {folder / "sample.smp"};
  doc.colours[0] = "keep";
  const StyleDocument before = doc;
  EXPECT_FALSE(MenuOpenFile_Click(platform, doc));  // a sample read as settings
  EXPECT_TRUE(doc == before);
  const auto& m = platform.onlyMessage();
  EXPECT_NE(m.text.find(folder / "sample.smp"), std::string::npos);
  EXPECT_NE(m.text.find("45 行目"), std::string::npos) << m.text;
  EXPECT_EQ(m.icon, MessageIcon::Exclamation);
}

TEST_F(Commands, ANameTypedWithoutExtensionGetsOneAndAReplacementIsAskedFirst) {
  platform.fileChoices = {folder / "mysettings"};
  MenuSaveFile_Click(platform, doc);
  EXPECT_TRUE(fs::exists(folder / "mysettings.qlf"));
  EXPECT_FALSE(fs::exists(folder / "mysettings"));
  EXPECT_TRUE(platform.messages.empty());

  // "mysettings.qlf" is there now: Cancel keeps it, OK replaces it.
  const std::string kept = testing::fileBytes(folder / "mysettings.qlf");
  doc.colours[0] = "ABCDEF";
  platform.fileChoices = {folder / "mysettings", folder / "mysettings"};
  platform.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
  MenuSaveFile_Click(platform, doc);
  EXPECT_EQ(platform.onlyMessage().text, "「mysettings.qlf」は既にあります。\r\n置き換えますか？");
  EXPECT_FILE_HOLDS(folder / "mysettings.qlf", kept);
  MenuSaveFile_Click(platform, doc);
  EXPECT_NE(testing::fileBytes(folder / "mysettings.qlf"), kept);

  // A sample gets ".smp", so that the sample menu lists it; a name with an
  // extension of its own keeps it.
  platform.fileChoices = {folder / "mine", folder / "notes.txt"};
  platform.promptReplies = {"私", "見本", "私", "見本"};
  EXPECT_TRUE(MenuSaveSumple_Click(platform, doc));
  EXPECT_TRUE(fs::exists(folder / "mine.smp"));
  EXPECT_EQ(listSamples(folder.str()).size(), 1u);
  MenuSaveFile_Click(platform, doc);
  EXPECT_TRUE(fs::exists(folder / "notes.txt"));
}

// The editor names the file it has open after these, so each tells which
// file it used, and nothing when it did not.
TEST_F(Commands, OpenAndSaveTellWhichFileTheyUsed) {
  platform.fileChoices = {folder / "mine", folder / "mine.qlf"};
  EXPECT_EQ(MenuSaveFile_Click(platform, doc), folder / "mine.qlf");
  EXPECT_EQ(MenuOpenFile_Click(platform, doc), folder / "mine.qlf");
  EXPECT_EQ(MenuSaveFile_Click(platform, doc), std::nullopt);  // cancelled
  platform.failWritesWith = 28;
  platform.fileChoices = {folder / "full.qlf"};
  EXPECT_EQ(MenuSaveFile_Click(platform, doc), std::nullopt);
  EXPECT_EQ(platform.messages.size(), 1u);
}

TEST_F(Commands, ARecentFileOpensAsSettingsWhateverItsName) {
  StyleDocument red;
  red.colours[0] = "FF0000";
  testing::writeBytes(folder / "red.smp", cp932(settingsFileText(red, Layout::Settings)));
  EXPECT_TRUE(isSampleFileName(folder / "red.smp"));
  EXPECT_TRUE(isSampleFileName("A.SMP"));
  EXPECT_FALSE(isSampleFileName("a.smp.qlf"));
  EXPECT_TRUE(openSettingsFile(platform, doc, folder / "red.smp"));
  EXPECT_EQ(doc.colours[0], "FF0000");
  EXPECT_FALSE(openSettingsFile(platform, doc, folder / "gone.qlf"));
  EXPECT_EQ(platform.onlyMessage().title, "読み込みエラー");
}

TEST_F(Commands, SaveAsSampleAsksForNamesEvenWhenCancelled) {
  platform.fileChoices = {folder / "new.smp"};
  EXPECT_TRUE(MenuSaveSumple_Click(platform, doc));
  const auto samples = listSamples(folder.path().string());
  ASSERT_EQ(samples.size(), 1u);
  EXPECT_EQ(samples[0].caption, "");  // both prompts cancelled
  EXPECT_EQ(platform.prompts.size(), 2u);
}

TEST_F(Commands, AFileNamedAtStartOpensBySuffixAndIsReportedAsTheMenuReportsIt) {
  StyleDocument blue;
  blue.colours[0] = "0000FF";
  writeSample("blue.SMP", "青", blue);
  EXPECT_TRUE(openNamedFile(platform, doc, folder / "blue.SMP"));
  EXPECT_EQ(doc.colours[0], "0000FF");

  blue.colours[0] = "00FF00";
  testing::writeBytes(folder / "green.qlf", cp932(settingsFileText(blue, Layout::Settings, "", "")));
  EXPECT_TRUE(openNamedFile(platform, doc, folder / "green.qlf"));
  EXPECT_EQ(doc.colours[0], "00FF00");
  EXPECT_TRUE(platform.messages.empty());

  // The same words as the open command, for a missing file and a refused one.
  const StyleDocument before = doc;
  platform.fileChoices = {folder / "missing.qlf"};
  EXPECT_FALSE(MenuOpenFile_Click(platform, doc));
  EXPECT_FALSE(openNamedFile(platform, doc, folder / "missing.qlf"));
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[1].text, platform.messages[0].text);
  EXPECT_EQ(platform.messages[1].title, "読み込みエラー");
  EXPECT_FALSE(openNamedFile(platform, doc, folder / "blue.SMP.qlf"));
  writeSample("sample-as-settings.qlf", "x");
  EXPECT_FALSE(openNamedFile(platform, doc, folder / "sample-as-settings.qlf"));
  EXPECT_NE(platform.messages.back().text.find("設定は読みこんでいません"), std::string::npos);
  EXPECT_TRUE(doc == before);
  EXPECT_TRUE(platform.dialogs.size() == 1u);  // only the menu command asked
}

TEST_F(Commands, SamplesAreListedByNameIgnoringCaseAndLoadTheirOwnFile) {
  StyleDocument blue;
  blue.colours[0] = "0000FF";
  writeSample("c.smp", "シー");
  writeSample("B.SMP", "同じ", blue);
  writeSample("a.smp", "同じ");
  writeSample("d.smp", "");
  testing::writeBytes(folder / "broken.smp", "only one line");
  testing::writeBytes(folder / "notes.txt", "x\r\ny\r\n");
  const auto samples = listSamples(folder.str());
  ASSERT_EQ(samples.size(), 4u);
  EXPECT_EQ(samples[0].path, folder / "a.smp");
  EXPECT_EQ(samples[1].path, folder / "B.SMP");
  EXPECT_EQ(samples[1].caption, "同じ");
  EXPECT_EQ(samples[2].caption, "シー");
  EXPECT_EQ(samples[3].caption, "");
  EXPECT_TRUE(loadSample(platform, doc, samples[1]));
  EXPECT_EQ(doc.colours[0], "0000FF");
  EXPECT_TRUE(listSamples(folder / "none").empty());
}

TEST_F(Commands, ASampleThatVanishedIsReportedWhenChosen) {
  writeSample("a.smp", "A");
  const auto samples = listSamples(folder.str());
  fs::remove(folder / "a.smp");
  EXPECT_FALSE(loadSample(platform, doc, samples[0]));
  EXPECT_NE(platform.onlyMessage().text.find("ファイルが見つかりません"), std::string::npos);
}

TEST_F(Commands, StandardPreviewWritesAndOpensThePreviewPage) {
  fs::create_directory(folder.path() / "preview");
  NormalPre_Click(platform, doc, folder.path().string());
  EXPECT_EQ(testing::fileText(folder / "preview/pre.html"), buildEmbeddedPage(doc).text);
  EXPECT_EQ(platform.opened, std::vector<std::string>{folder / "preview/pre.html"});
  fs::remove_all(folder.path() / "preview");
  NormalPre_Click(platform, doc, folder.str());  // missing folder: reported, nothing opened
  EXPECT_EQ(platform.opened.size(), 1u);
  EXPECT_NE(platform.onlyMessage().text.find("エラーナンバー： 76"), std::string::npos);
}

TEST_F(Commands, ChosenPagePreviewKeepsItsFilesUntilTheNextOne) {
  testing::writeBytes(folder / "index.html", "<HTML><HEAD></HEAD><BODY>x</BODY></HTML>");
  doc.slots[kSlotP].enabled = 1;
  {
    PreviewFiles files(platform);
    LinkInjector linkWindow(platform);
    platform.fileChoices = {folder / "index.html", folder / "index.html"};
    GaibuPre_Click(platform, doc, files, linkWindow);
    EXPECT_EQ(testing::fileText(folder / "essepreviewcss.css"), buildStyleSheet(doc).text);
    const std::string copy = testing::fileBytes(folder / "esspreviewhtml.html");
    EXPECT_NE(copy.find("<LINK href=\"essepreviewcss.css\""), std::string::npos);
    EXPECT_EQ(platform.opened, std::vector<std::string>{folder / "esspreviewhtml.html"});
    EXPECT_EQ(platform.eventRuns, 1);
    // The rewritten page is left in the link window's box, which cannot
    // save it over a page of its own.
    EXPECT_NE(linkWindow.text().find("<LINK href=\"essepreviewcss.css\""), std::string::npos);
    EXPECT_FALSE(linkWindow.canSave());
    linkWindow.setPagePath(folder / "other.html");
    linkWindow.previewAsIs();
    EXPECT_FALSE(linkWindow.canSave());
    GaibuPre_Click(platform, doc, files, linkWindow);
    EXPECT_EQ(files.kept().size(), 2u);
  }
  EXPECT_FALSE(fs::exists(folder / "essepreviewcss.css"));
  EXPECT_FALSE(fs::exists(folder / "esspreviewhtml.html"));
  EXPECT_FILE_HOLDS(folder / "index.html", "<HTML><HEAD></HEAD><BODY>x</BODY></HTML>");
}

TEST_F(Commands, ClassPreviewShowsTextOrPictureAndEscapesTheName) {
  UserClass& c = doc.classes[2];
  c.className = "a\"><script>x</script>";
  c.glowOn = 1;
  doc.currentClassTab = 2;
  doc.output.htmlTitle = "";
  const BuiltText text = buildClassPreview(doc, 2);
  ASSERT_TRUE(text.ok());
  EXPECT_TRUE(
      text.text.starts_with("<HTML>\r\n<HEAD>\r\n<TITLE></TITLE>\r\n<style type=\"text/css\" > \r\n<!--\r\n"
                            ".a\"><script>x</script> {\r\n  Width=100%;\r\n"));
  const std::string n = "a&quot;&gt;&lt;script&gt;x&lt;/script&gt;";
  EXPECT_TRUE(text.text.ends_with("</HEAD>\r\n<BODY><FONT SIZE = \"+5\"><P class=\"" + n +
                                  "\">サンプルです</P><P class=\"" + n +
                                  "\">こーんな感じになるのです</P></Font></body></html>"));
  c.target = Choice::Second;
  EXPECT_TRUE(buildClassPreview(doc, 2).text.ends_with(
      "<BODY><img  class=\"" + n + "\" src=\"pal.png\" width=\"350\" height=\"470\"></body></html>"));

  // The name would close the style block: the command refuses it and writes nothing.
  fs::create_directory(folder.path() / "preview");
  Command8_Click(platform, doc, folder.str());
  EXPECT_FALSE(fs::exists(folder / "preview/pre.html"));
  EXPECT_NE(platform.onlyMessage().text.find("クラス「a\"><script>x</script>」の名前には「\"」を使えません"),
            std::string::npos)
      << platform.onlyMessage().text;
  EXPECT_TRUE(platform.opened.empty());

  c.className = "見出し";
  Command8_Click(platform, doc, folder.str());
  EXPECT_EQ(testing::fileText(folder / "preview/pre.html"), buildClassPreview(doc, 2).text);
  EXPECT_EQ(platform.opened, (std::vector<std::string>{folder / "preview/pre.html", std::string(kHomePageAddress)}));
}

}  // namespace
}  // namespace quillane
