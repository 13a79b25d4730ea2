// The recent-files list: newest first, each file once, at most eight.
#include "persistence/recent_files.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestComesFirstAndAReopenedFileMovesUpRatherThanRepeating) {
  RecentFiles recent;
  recent.add("/a.qlf");
  recent.add("/b.qlf");
  recent.add("/c.qlf");
  EXPECT_EQ(recent.paths(), (Paths{"/c.qlf", "/b.qlf", "/a.qlf"}));
  recent.add("/a.qlf");
  EXPECT_EQ(recent.paths(), (Paths{"/a.qlf", "/c.qlf", "/b.qlf"}));
  recent.add("/a.qlf");
  EXPECT_EQ(recent.paths(), (Paths{"/a.qlf", "/c.qlf", "/b.qlf"}));
  recent.add("");
  EXPECT_EQ(recent.paths().size(), 3u);
}

TEST(RecentFiles, TheNinthFilePushesTheOldestOut) {
  RecentFiles recent;
  for (int k = 1; k <= 9; ++k) recent.add("/f" + std::to_string(k) + ".qlf");
  ASSERT_EQ(recent.paths().size(), kRecentFileLimit);
  EXPECT_EQ(recent.paths().front(), "/f9.qlf");
  EXPECT_EQ(recent.paths().back(), "/f2.qlf");
  // Reopening one that is listed drops nothing.
  recent.add("/f5.qlf");
  EXPECT_EQ(recent.paths().size(), kRecentFileLimit);
  EXPECT_EQ(recent.paths().back(), "/f2.qlf");
}

TEST(RecentFiles, RemovingTakesOutOnlyThatEntry) {
  RecentFiles recent(Paths{"/a.qlf", "/b.qlf", "/c.qlf"});
  EXPECT_TRUE(recent.remove("/b.qlf"));
  EXPECT_EQ(recent.paths(), (Paths{"/a.qlf", "/c.qlf"}));
  EXPECT_FALSE(recent.remove("/b.qlf"));
  EXPECT_FALSE(recent.remove("/A.qlf"));  // file names keep their letter case
  EXPECT_EQ(recent.paths().size(), 2u);
}

TEST(RecentFiles, AKeptListIsCleanedAndBoundedOnReading) {
  // Edited by hand, or written by a later version keeping more.
  RecentFiles recent(Paths{"/a.qlf", "", "/b.qlf", "/a.qlf", "/3", "/4", "/5", "/6", "/7", "/8", "/9"});
  EXPECT_EQ(recent.paths(), (Paths{"/a.qlf", "/b.qlf", "/3", "/4", "/5", "/6", "/7", "/8"}));
}

TEST(RecentFiles, CaptionsNumberTheEntriesAndShowAmpersandsAsThemselves) {
  EXPECT_EQ(recentFileCaption(0, "/home/a/mine.qlf"), "&1 /home/a/mine.qlf");
  EXPECT_EQ(recentFileCaption(7, "/x/R&D.qlf"), "&8 /x/R&&D.qlf");
  // A control character in a name cannot break the menu line.
  EXPECT_EQ(recentFileCaption(1, "/x/a\nb.qlf"), "&2 /x/a\\nb.qlf");
}

TEST(RecentFiles, AMissingFileIsNamedInItsMessage) {
  EXPECT_EQ(missingRecentFileMessage("/home/a/gone.qlf"),
            "「/home/a/gone.qlf」が見つかりません。\r\n最近使ったファイルの一覧から外しました。");
}

}  // namespace
}  // namespace quillane
