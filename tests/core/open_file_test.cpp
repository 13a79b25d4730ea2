// How the window names the open file and asks about unsaved changes.
#include "persistence/open_file.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

TEST(OpenFile, TheTitleNamesTheFileAndMarksUnsavedChanges) {
  EXPECT_EQ(windowTitleOf("/home/a/mine.qlf", false), "mine.qlf - Quillane");
  EXPECT_EQ(windowTitleOf("/home/a/mine.qlf", true), "mine.qlf * - Quillane");
  EXPECT_EQ(windowTitleOf("", false), "Quillane");
  EXPECT_EQ(windowTitleOf("", true), "無題 * - Quillane");
  EXPECT_EQ(windowTitleOf("/x/設定\t1.qlf", false), "設定\\t1.qlf - Quillane");
}

TEST(OpenFile, TheQuestionNamesTheFileTheChangesBelongTo) {
  EXPECT_EQ(saveChangesQuestion("/home/a/mine.qlf"), "「mine.qlf」への変更を保存しますか？");
  EXPECT_EQ(saveChangesQuestion(""), "無題の設定への変更を保存しますか？");
}

}  // namespace
}  // namespace quillane
