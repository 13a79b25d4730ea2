#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace quillane {

namespace {

// Temporary files are ".qltmp-" and six letters, whatever the target's name
// (so a target name of 255 bytes works), and beside it (so the rename stays
// on one file system).
constexpr std::string_view kTempPrefix = ".qltmp-";
constexpr std::size_t kTempNameLength = kTempPrefix.size() + 6;

// How long a write waits for a reader of a named pipe to appear.
constexpr int kPipeWaitMilliseconds = 3000;

// The longest chain of symbolic links followed, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;

mode_t currentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

FileResult writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return {errno};
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

// Opens a named pipe for writing, waiting a little for a reader: without
// one, opening would block for ever. ENXIO when none came.
int openPipe(const std::string& path) {
  for (int waited = 0;; waited += 50) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
      return fd;
    }
    if (errno != ENXIO || waited >= kPipeWaitMilliseconds) return -1;
    ::usleep(50'000);
  }
}

// A device, pipe or terminal ("/dev/stdout", a named pipe) cannot be
// replaced by a rename; it is written in place. So is a file named through
// an open descriptor ("/dev/stdout" sent to a file, "/dev/fd/3"): its bytes
// are appended to what the descriptor's owner wrote (a shell's ">>" keeps
// the file's earlier lines, its ">" has emptied it).
FileResult writeInPlace(const std::string& path, std::string_view bytes, mode_t type) {
  const int fd = S_ISFIFO(type)  ? openPipe(path)
                 : S_ISREG(type) ? ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC)
                                 : ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return {errno};
  FileResult result = writeAll(fd, bytes);
  if (::close(fd) != 0 && result.ok()) result = {errno};
  return result;
}

std::string folderOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether `path` is an entry of a process's descriptor folder
// (/proc/PID/fd/N, which /dev/stdout and /dev/fd/N lead to).
bool isDescriptorEntry(const std::string& path) {
  char* folder = ::realpath(folderOfPath(path).c_str(), nullptr);
  if (folder == nullptr) return false;
  const std::string_view real(folder);
  const bool descriptors = real.starts_with("/proc/") && real.ends_with("/fd");
  ::free(folder);
  return descriptors;
}

// The file a path names once every symbolic link on it is followed, whether
// the last one leads to an existing file or not: replacing a linked file
// keeps the link, and a dangling link is followed as a live one is, so the
// file is made where it points. `descriptor` tells that the way passed
// through an open descriptor.
FileResult followLinks(const std::string& path, std::string& target, bool& descriptor) {
  target = path;
  descriptor = false;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {};
    descriptor = descriptor || isDescriptorEntry(target);
    std::string next(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(target.c_str(), next.data(), next.size());
    if (n < 0) return {errno};
    next.resize(static_cast<std::size_t>(n));
    target = next.starts_with('/') ? next : folderOfPath(target) + "/" + next;
  }
  return {ELOOP};
}

std::string randomLetters() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 engine{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string letters;
  for (int k = 0; k < 6; ++k) letters += kLetters[pick(engine)];
  return letters;
}

bool isTempName(std::string_view name) { return name.size() == kTempNameLength && name.starts_with(kTempPrefix); }

// Removes the temporary files of writes that were killed before their
// rename, whatever their age. A live writer holds a lock on its file until
// the rename, so a file that can be locked is one nobody is writing; a
// writer whose named file is removed between its creation and its lock sees
// it unlinked and makes another (openTemp).
void removeLeftovers(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!isTempName(entry->d_name)) continue;
    const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::close(fd);
  }
  ::closedir(dir);
}

// A temporary file being written: unnamed (O_TMPFILE) until it is complete,
// or named from the start where the file system cannot make unnamed files.
struct TempFile {
  int fd = -1;
  std::string path;  // empty while unnamed
};

FileResult openTemp(const std::string& folder, mode_t mode, bool unnamed, TempFile& temp) {
  if (unnamed) {
    temp.fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (temp.fd >= 0) {
      ::flock(temp.fd, LOCK_EX);
      return {};
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return {errno};
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp.path = folder + "/" + std::string(kTempPrefix) + randomLetters();
    temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (temp.fd >= 0) {
      ::flock(temp.fd, LOCK_EX);
      struct stat st {};
      if (::fstat(temp.fd, &st) == 0 && st.st_nlink > 0) return {};
      ::close(temp.fd);  // taken for a leftover before it was locked
      errno = EEXIST;
    }
    if (errno != EEXIST) break;
  }
  const int error = errno;
  temp.path.clear();
  return {error};
}

// Gives an unnamed temporary file its short hidden name, which the rename
// then moves over the target: a link cannot replace an existing file.
FileResult nameTemp(const std::string& folder, TempFile& temp) {
  if (!temp.path.empty()) return {};
  const std::string self = "/proc/self/fd/" + std::to_string(temp.fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string path = folder + "/" + std::string(kTempPrefix) + randomLetters();
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temp.path = path;
      return {};
    }
    if (errno != EEXIST) return {errno};
  }
  return {EEXIST};
}

// `unnamedFailed` is set when only the naming of an unnamed file failed
// (no /proc, say), which a named temporary file avoids.
// The owner, group and mode the new file takes.
struct Ownership {
  mode_t mode = 0;
  const struct stat* replaced = nullptr;  // the file replaced, if any
};

FileResult writeThroughTemp(const std::string& folder, const std::string& path, std::string_view bytes,
                            const Ownership& owner, bool unnamed, bool& unnamedFailed) {
  TempFile temp;
  if (const FileResult opened = openTemp(folder, owner.mode, unnamed, temp); !opened.ok()) return opened;
  FileResult result = writeAll(temp.fd, bytes);
  // The replaced file's owner and group where this process may give them
  // (root, or a group it belongs to); the mode after, as a change of owner
  // clears the set-ID bits.
  if (result.ok() && owner.replaced != nullptr &&
      ::fchown(temp.fd, owner.replaced->st_uid, owner.replaced->st_gid) != 0)
    (void)::fchown(temp.fd, static_cast<uid_t>(-1), owner.replaced->st_gid);
  if (result.ok() && ::fchmod(temp.fd, owner.mode) != 0) result = {errno};
  if (result.ok() && ::fsync(temp.fd) != 0) result = {errno};
  if (result.ok()) {
    result = nameTemp(folder, temp);
    unnamedFailed = !result.ok();
  }
  if (result.ok() && ::rename(temp.path.c_str(), path.c_str()) != 0) result = {errno};
  if (!result.ok() && !temp.path.empty()) ::unlink(temp.path.c_str());
  // Closing drops the lock only now, when the name is gone either way.
  if (::close(temp.fd) != 0 && result.ok()) result = {errno};
  return result;
}

}  // namespace

FileResult writeFileReplacing(const std::string& requestedPath, std::string_view bytes) {
  if (requestedPath.empty() || requestedPath.back() == '/') return {requestedPath.empty() ? ENOENT : EISDIR};

  std::string path;
  bool descriptor = false;
  if (const FileResult followed = followLinks(requestedPath, path, descriptor); !followed.ok()) {
    // A descriptor's entry may lead nowhere by its text ("pipe:[123]") and
    // still be open through the kernel.
    struct stat st {};
    if (descriptor && ::stat(requestedPath.c_str(), &st) == 0) return writeInPlace(requestedPath, bytes, st.st_mode);
    return followed;
  }
  struct stat existing {};
  if (descriptor && ::stat(requestedPath.c_str(), &existing) == 0 && !S_ISDIR(existing.st_mode))
    return writeInPlace(requestedPath, bytes, existing.st_mode);
  const bool replacing = ::stat(path.c_str(), &existing) == 0;
  if (!replacing && errno != ENOENT) return {errno};
  if (replacing && S_ISDIR(existing.st_mode)) return {EISDIR};
  if (replacing && !S_ISREG(existing.st_mode)) return writeInPlace(path, bytes, existing.st_mode);
  // A rename would replace a file that may not be written, since it needs
  // only the folder's permission.
  if (replacing && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) return {errno};

  Ownership owner;
  owner.mode = replacing ? (existing.st_mode & 07777) : (0666 & ~currentUmask());
  if (replacing) owner.replaced = &existing;
  const std::string folder = folderOfPath(path);
  removeLeftovers(folder);
  bool unnamedFailed = false;
  const FileResult result = writeThroughTemp(folder, path, bytes, owner, true, unnamedFailed);
  if (!unnamedFailed) return result;
  return writeThroughTemp(folder, path, bytes, owner, false, unnamedFailed);
}

FileResult readWholeFile(const std::string& path, std::string& bytes, std::size_t limit) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {errno};
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return {EISDIR};
  }
  // A regular file's size is known: one allocation instead of doublings,
  // whose last step would hold the old and the new buffer at once.
  if (S_ISREG(st.st_mode) && st.st_size > 0)
    bytes.reserve(std::min<std::size_t>(limit, static_cast<std::size_t>(st.st_size)));
  char buffer[16384];
  while (bytes.size() < limit) {
    const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return {error};
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return {};
}

void removeFileQuietly(const std::string& path) { ::unlink(path.c_str()); }

bool fileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace quillane
