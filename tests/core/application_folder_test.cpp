// Finding the data beside the program or in ../share/quillane, the user's
// folder, and where samples and previews go when the data cannot be written.
#include "platform/application_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "persistence/file_commands.h"
#include "persistence/settings_file.h"
#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using testing::FakePlatform;
using testing::ScratchFolder;

class ApplicationFolder : public ::testing::Test {
 protected:
  ScratchFolder root;

  // A data folder at `folder`: preview/pal.png and an empty sample/.
  void layOutData(const std::string& folder) {
    fs::create_directories(fs::path(folder) / "preview");
    fs::create_directories(fs::path(folder) / "sample");
    testing::writeBytes(fs::path(folder) / "preview" / "pal.png", "picture");
  }
  // The environment of a user whose folder is `user`, where only `writable` may be written.
  static FolderEnvironment environment(const std::string& user, const std::string& writable) {
    return {user, [writable](const std::string& folder) { return folder == writable; }};
  }
};

TEST_F(ApplicationFolder, DataBesideTheProgramComesFirstThenShareQuillane) {
  fs::create_directories(root / "usr/bin");
  // Neither: the program's folder, as before any look-up.
  EXPECT_EQ(findApplicationFolder(root / "usr/bin"), root / "usr/bin/");
  layOutData(root / "usr/share/quillane");
  EXPECT_EQ(findApplicationFolder(root / "usr/bin"), root / "usr/share/quillane/");
  EXPECT_EQ(findApplicationFolder(root / "usr/bin/"), root / "usr/share/quillane/");
  // The build tree: the copy beside the program wins.
  layOutData(root / "usr/bin");
  EXPECT_EQ(findApplicationFolder(root / "usr/bin"), root / "usr/bin/");
}

TEST_F(ApplicationFolder, AFolderNamedLikeTheDataIsNotEnough) {
  fs::create_directories(root / "bin/preview");  // no picture in it
  fs::create_directories(root / "bin/sample");
  layOutData(root / "share/quillane");
  EXPECT_EQ(findApplicationFolder(root / "bin"), root / "share/quillane/");
}

TEST_F(ApplicationFolder, TheRunningProgramsFolderIsAbsoluteAndHoldsIt) {
  const std::string folder = programFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(fs::exists(fs::path(folder) / "core_tests"));
}

TEST_F(ApplicationFolder, TheUsersFolderFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(userDataFolder("/data", "/home/u"), "/data/quillane/");
  EXPECT_EQ(userDataFolder("/data/", "/home/u"), "/data/quillane/");
  EXPECT_EQ(userDataFolder(nullptr, "/home/u"), "/home/u/.local/share/quillane/");
  EXPECT_EQ(userDataFolder("", "/home/u/"), "/home/u/.local/share/quillane/");
  EXPECT_EQ(userDataFolder("relative/data", "/home/u"), "/home/u/.local/share/quillane/");
  EXPECT_EQ(userDataFolder(nullptr, nullptr), "");
  EXPECT_EQ(userDataFolder("", "relative"), "");
}

TEST_F(ApplicationFolder, AWritableSampleFolderIsListedAloneAndSavedInto) {
  const SampleFolders folders = sampleFolders("/opt/q/", environment("/home/u/q/", "/opt/q/sample"));
  EXPECT_EQ(folders.listed, std::vector<std::string>{"/opt/q/sample"});
  EXPECT_EQ(folders.saveTo, "/opt/q/sample");
}

TEST_F(ApplicationFolder, AnInstalledSampleFolderSendsNewSamplesToTheUsersFolder) {
  const SampleFolders folders = sampleFolders("/usr/share/quillane", environment("/home/u/q/", ""));
  EXPECT_EQ(folders.listed, (std::vector<std::string>{"/usr/share/quillane/sample", "/home/u/q/sample"}));
  EXPECT_EQ(folders.saveTo, "/home/u/q/sample");
  // With no user folder known, there is nowhere else to go.
  const SampleFolders alone = sampleFolders("/usr/share/quillane/", environment("", ""));
  EXPECT_EQ(alone.listed, std::vector<std::string>{"/usr/share/quillane/sample"});
  EXPECT_EQ(alone.saveTo, "/usr/share/quillane/sample");
}

TEST_F(ApplicationFolder, TheMenuListsTheInstalledSamplesThenTheUsersOwn) {
  const std::string shipped = root / "share/quillane/sample", own = root / "user/sample";
  fs::create_directories(shipped);
  fs::create_directories(own);
  for (const auto& [folder, name, caption] :
       {std::tuple{shipped, "b.smp", "二"}, {shipped, "a.smp", "一"}, {own, "a.smp", "自分の"}})
    testing::writeBytes(fs::path(folder) / name,
                        testing::cp932(settingsFileText(StyleDocument{}, Layout::Sample, "", caption)));
  const auto samples = listSamples(std::vector<std::string>{shipped, own, root / "missing"});
  ASSERT_EQ(samples.size(), 3u);
  EXPECT_EQ(samples[0].caption, "一");
  EXPECT_EQ(samples[1].caption, "二");
  EXPECT_EQ(samples[2].caption, "自分の");
  EXPECT_EQ(samples[2].path, own + "/a.smp");
}

TEST_F(ApplicationFolder, SavingASampleCreatesTheFolderAndOpensTheDialogThere) {
  FakePlatform platform;
  StyleDocument doc;
  const std::string own = root / "home/.local/share/quillane/sample";
  platform.fileChoices = {own + "/mine.smp"};
  platform.promptReplies = {"私", "自分の見本"};
  EXPECT_TRUE(MenuSaveSumple_Click(platform, doc, own));
  ASSERT_EQ(platform.dialogs.size(), 1u);
  EXPECT_EQ(platform.dialogs[0].folder, own);
  EXPECT_EQ(platform.dialogs[0].filter, kSampleFilter);
  const auto samples = listSamples(own);
  ASSERT_EQ(samples.size(), 1u);
  EXPECT_EQ(samples[0].caption, "自分の見本");
}

TEST_F(ApplicationFolder, MakeFoldersBuildsEveryMissingParent) {
  EXPECT_TRUE(makeFolders(root / "a/b/c/"));
  EXPECT_TRUE(fs::is_directory(root / "a/b/c"));
  EXPECT_TRUE(makeFolders(root / "a/b"));  // already there
  testing::writeBytes(root / "file", "x");
  EXPECT_FALSE(makeFolders(root / "file"));
  EXPECT_FALSE(makeFolders(root / "file/below"));
  EXPECT_FALSE(makeFolders(""));
}

TEST_F(ApplicationFolder, PreviewsStayInAWritableApplicationFolder) {
  layOutData(root / "app");
  EXPECT_EQ(previewHome(root / "app", environment(root / "user/", root / "app/preview")), root / "app/");
  EXPECT_FALSE(fs::exists(root / "user"));
}

TEST_F(ApplicationFolder, PreviewsOfAnInstalledProgramGoToTheUsersFolderWithThePicture) {
  layOutData(root / "share/quillane");
  const auto env = environment(root / "user", "");
  EXPECT_EQ(previewHome(root / "share/quillane/", env), root / "user/");
  EXPECT_FILE_HOLDS(root / "user/preview/pal.png", "picture");
  // A picture already there is the user's to keep.
  testing::writeBytes(root / "user/preview/pal.png", "changed");
  EXPECT_EQ(previewHome(root / "share/quillane/", env), root / "user/");
  EXPECT_FILE_HOLDS(root / "user/preview/pal.png", "changed");
}

TEST_F(ApplicationFolder, PreviewsFallBackToTheApplicationFolderWhenTheUsersCannotBeMade) {
  layOutData(root / "share/quillane");
  testing::writeBytes(root / "blocked", "a file where the folder would be");
  EXPECT_EQ(previewHome(root / "share/quillane", environment(root / "blocked/q/", "")), root / "share/quillane/");
  EXPECT_EQ(previewHome(root / "share/quillane", environment("", "")), root / "share/quillane/");
}

TEST_F(ApplicationFolder, WritableMeansAnExistingFolder) {
  EXPECT_TRUE(isWritableFolder(root.path().string()));
  EXPECT_FALSE(isWritableFolder(root / "missing"));
  testing::writeBytes(root / "file", "x");
  EXPECT_FALSE(isWritableFolder(root / "file"));
}

}  // namespace
}  // namespace quillane
