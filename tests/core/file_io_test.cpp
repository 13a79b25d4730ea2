// Safe file replacement and bounded reads.
#include "platform/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "test_support.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

class FileReplace : public ::testing::Test {
 protected:
  testing::ScratchFolder folder;
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder.path()), {}));
  }
};

TEST_F(FileReplace, WritesExactBytesAndKeepsTheModeOfAReplacedFile) {
  const std::string path = folder / "a.css";
  ASSERT_TRUE(writeFileReplacing(path, "one\r\n").ok());
  EXPECT_FILE_HOLDS(path, "one\r\n");
  // Whatever the umask would take away from a new file.
  const mode_t umask = ::umask(022);
  for (mode_t mode : {0640, 0666, 0604, 0600}) {
    ::chmod(path.c_str(), mode);
    ASSERT_TRUE(writeFileReplacing(path, "").ok());
    EXPECT_FILE_HOLDS(path, "");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(mode)) << std::oct << mode;
  }
  ::umask(umask);
  EXPECT_EQ(entries(), 1u);  // no temporary file left behind
}

TEST_F(FileReplace, FailuresLeaveNothingBehindAndKeepTheOldFile) {
  fs::create_directory(folder.path() / "dir");
  EXPECT_EQ(writeFileReplacing(folder / "dir", "x").error, EISDIR);
  EXPECT_EQ(writeFileReplacing(folder / "missing/a.css", "x").error, ENOENT);
  EXPECT_EQ(writeFileReplacing(folder / std::string(300, 'n'), "x").error, ENAMETOOLONG);
  EXPECT_EQ(entries(), 1u);
  std::string bytes;
  EXPECT_EQ(readWholeFile(folder / "dir", bytes).error, EISDIR);
  EXPECT_EQ(readWholeFile(folder / "none", bytes).error, ENOENT);
}

TEST_F(FileReplace, ALinkKeepsItsLinkAndADeviceIsWrittenInPlace) {
  const std::string real = folder / "real.css";
  testing::writeBytes(real, "old");
  fs::create_symlink(real, folder.path() / "link.css");
  ASSERT_TRUE(writeFileReplacing(folder / "link.css", "new").ok());
  EXPECT_TRUE(fs::is_symlink(folder.path() / "link.css"));
  EXPECT_FILE_HOLDS(real, "new");
  ASSERT_TRUE(writeFileReplacing("/dev/null", "gone").ok());
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(FileReplace, ANameOfTheLongestLegalLengthWorks) {
  const std::string name = std::string(251, 'n') + ".css";  // 255 bytes
  ASSERT_TRUE(writeFileReplacing(folder / name, "one").ok());
  ASSERT_TRUE(writeFileReplacing(folder / name, "two").ok());
  EXPECT_FILE_HOLDS(folder / name, "two");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(FileReplace, ADanglingLinkIsFollowedAsALiveOneIs) {
  fs::create_directory(folder.path() / "out");
  fs::create_symlink("out/made.css", folder.path() / "link.css");  // relative, and dangling
  ASSERT_TRUE(writeFileReplacing(folder / "link.css", "new").ok());
  EXPECT_TRUE(fs::is_symlink(folder.path() / "link.css"));
  EXPECT_FILE_HOLDS(folder / "out/made.css", "new");
  fs::create_symlink("loop.css", folder.path() / "loop.css");
  EXPECT_EQ(writeFileReplacing(folder / "loop.css", "x").error, ELOOP);
}

TEST_F(FileReplace, LeftoversOfKilledWritesAreRemovedOnceNobodyHoldsThem) {
  const auto leftover = [&](const char* name, bool old) {
    testing::writeBytes(folder / name, "partial");
    if (old) fs::last_write_time(folder.path() / name, fs::file_time_type::clock::now() - std::chrono::hours(1));
    return folder / name;
  };
  const std::string stale = leftover(".qltmp-abcdef", true);
  const std::string fresh = leftover(".qltmp-ghijkl", false);  // may be a writer's that is not yet locked
  const std::string held = leftover(".qltmp-mnopqr", true);
  const std::string other = leftover(".qltmp-long-name", true);  // not a name of ours
  const int fd = ::open(held.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  ASSERT_TRUE(writeFileReplacing(folder / "a.css", "x").ok());
  ::close(fd);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_TRUE(fs::exists(held));
  EXPECT_TRUE(fs::exists(other));
}

TEST_F(FileReplace, AReadStopsAtItsLimit) {
  std::string bytes;
  ASSERT_TRUE(readWholeFile("/dev/zero", bytes, 100'000).ok());
  EXPECT_EQ(bytes.size(), 100'000u);
  testing::writeBytes(folder / "a", "abc");
  ASSERT_TRUE(readWholeFile(folder / "a", bytes, 2).ok());
  EXPECT_EQ(bytes, "ab");
}

}  // namespace
}  // namespace quillane
