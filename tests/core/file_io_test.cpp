// Safe file replacement and bounded reads.
#include "platform/file_io.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "test_support.h"

// The system calls of the safe write, made to fail on request. The test
// program's own definitions come before the C library's, which they call
// otherwise.
namespace {

enum Fault : unsigned { kWrite = 1, kSync = 2, kName = 4, kRename = 8 };
unsigned g_faults = 0;

template <class Function>
Function real(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

int failWith(int error) {
  errno = error;
  return -1;
}

}  // namespace

extern "C" ssize_t write(int fd, const void* data, size_t size) {
  if ((g_faults & kWrite) != 0 && fd > STDERR_FILENO) return failWith(ENOSPC);
  return real<ssize_t (*)(int, const void*, size_t)>("write")(fd, data, size);
}
extern "C" int fsync(int fd) {
  if ((g_faults & kSync) != 0) return failWith(EIO);
  return real<int (*)(int)>("fsync")(fd);
}
extern "C" int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) noexcept {
  if ((g_faults & kName) != 0) return failWith(ENOENT);  // as where /proc is missing
  return real<int (*)(int, const char*, int, const char*, int)>("linkat")(fromFolder, from, toFolder, to, flags);
}
extern "C" int rename(const char* from, const char* to) noexcept {
  if ((g_faults & kRename) != 0) return failWith(EIO);
  return real<int (*)(const char*, const char*)>("rename")(from, to);
}

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

TEST_F(FileReplace, AFailureAtAnyStepKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const std::string path = folder / "a.css";
  testing::writeBytes(path, "old");
  const std::pair<unsigned, int> failures[] = {
      {kWrite, ENOSPC}, {kSync, EIO}, {kRename, EIO}, {kName | kWrite, ENOSPC}, {kName | kRename, EIO}};
  for (const auto& [faults, error] : failures) {
    g_faults = faults;
    const FileResult result = writeFileReplacing(path, "new");
    g_faults = 0;
    EXPECT_EQ(result.error, error) << faults;
    EXPECT_FILE_HOLDS(path, "old");
    EXPECT_EQ(entries(), 1u) << faults;
  }
  // Where an unnamed file cannot be named, a named one is written instead.
  g_faults = kName;
  const FileResult named = writeFileReplacing(path, "new");
  g_faults = 0;
  ASSERT_TRUE(named.ok());
  EXPECT_FILE_HOLDS(path, "new");
  EXPECT_EQ(entries(), 1u);
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
  const auto leftover = [&](const char* name) {
    testing::writeBytes(folder / name, "partial");
    return folder / name;
  };
  const std::string stale = leftover(".qltmp-abcdef");
  const std::string fresh = leftover(".qltmp-ghijkl");  // just made: gone all the same
  const std::string held = leftover(".qltmp-mnopqr");
  const std::string other = leftover(".qltmp-long-name");  // not a name of ours
  const int fd = ::open(held.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  ASSERT_TRUE(writeFileReplacing(folder / "a.css", "x").ok());
  ::close(fd);
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(fs::exists(fresh));
  EXPECT_TRUE(fs::exists(held));
  EXPECT_TRUE(fs::exists(other));
}

TEST_F(FileReplace, DescriptorsArePassedThroughAndAFileBehindOneIsAppendedTo) {
  const std::string log = folder / "log.txt";
  testing::writeBytes(log, "earlier\n");
  const int appending = ::open(log.c_str(), O_WRONLY | O_APPEND);
  int pipeEnds[2];
  ASSERT_EQ(::pipe(pipeEnds), 0);
  ASSERT_TRUE(writeFileReplacing("/dev/fd/" + std::to_string(appending), "new\n").ok());
  ASSERT_TRUE(writeFileReplacing("/proc/self/fd/" + std::to_string(pipeEnds[1]), "piped").ok());
  ::close(appending);
  ::close(pipeEnds[1]);
  EXPECT_FILE_HOLDS(log, "earlier\nnew\n");
  char buffer[16] = {};
  EXPECT_EQ(::read(pipeEnds[0], buffer, sizeof buffer), 5);
  EXPECT_EQ(std::string(buffer), "piped");
  ::close(pipeEnds[0]);
  EXPECT_EQ(entries(), 1u);
}

// Run as root, a child takes the place of another user.
TEST_F(FileReplace, AFileThatMayNotBeWrittenIsRefusedAndOwnersAreKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as two users";
  constexpr uid_t kNobody = 65534;
  ::chmod(folder.path().c_str(), 0777);
  const std::string readOnly = folder / "read-only.css";
  testing::writeBytes(readOnly, "kept");
  ::chmod(readOnly.c_str(), 0444);
  ::chown(readOnly.c_str(), kNobody, kNobody);
  const pid_t child = ::fork();
  if (child == 0) {
    std::string bytes;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || !readWholeFile(readOnly, bytes).ok()) ::_exit(100);
    ::_exit(writeFileReplacing(readOnly, "lost").error);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), EACCES);
  EXPECT_FILE_HOLDS(readOnly, "kept");

  // Root replacing another user's file leaves it theirs.
  const std::string theirs = folder / "theirs.css";
  testing::writeBytes(theirs, "old");
  ::chown(theirs.c_str(), kNobody, kNobody);
  ::chmod(theirs.c_str(), 0640);
  ASSERT_TRUE(writeFileReplacing(theirs, "new").ok());
  struct stat st {};
  ASSERT_EQ(::stat(theirs.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, kNobody);
  EXPECT_EQ(st.st_gid, kNobody);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_FILE_HOLDS(theirs, "new");
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
