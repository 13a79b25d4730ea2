#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quillane {

namespace {

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

// A device or pipe ("/dev/stdout", a named pipe) cannot be replaced by a
// rename; it is written in place.
FileResult writeInPlace(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return {errno};
  FileResult result = writeAll(fd, bytes);
  if (::close(fd) != 0 && result.ok()) result = {errno};
  return result;
}

// The file a path names, following symbolic links, so that replacing a
// linked file keeps the link.
std::string resolvedTarget(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

}  // namespace

FileResult writeFileReplacing(const std::string& requestedPath, std::string_view bytes) {
  if (requestedPath.empty() || requestedPath.back() == '/') return {requestedPath.empty() ? ENOENT : EISDIR};

  const std::string path = resolvedTarget(requestedPath);
  struct stat existing {};
  const bool replacing = ::stat(path.c_str(), &existing) == 0;
  if (replacing && S_ISDIR(existing.st_mode)) return {EISDIR};
  if (replacing && !S_ISREG(existing.st_mode)) return writeInPlace(path, bytes);

  std::string tempPath = path + ".XXXXXX";
  std::vector<char> name(tempPath.begin(), tempPath.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return {errno};
  tempPath.assign(name.data());

  const mode_t mode = replacing ? (existing.st_mode & 07777) : (0666 & ~currentUmask());
  FileResult result = writeAll(fd, bytes);
  if (result.ok() && ::fchmod(fd, mode) != 0) result = {errno};
  if (result.ok() && ::fsync(fd) != 0) result = {errno};
  if (::close(fd) != 0 && result.ok()) result = {errno};
  if (result.ok() && ::rename(tempPath.c_str(), path.c_str()) != 0) result = {errno};
  if (!result.ok()) ::unlink(tempPath.c_str());
  return result;
}

FileResult readWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {errno};
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return {EISDIR};
  }
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
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

}  // namespace quillane
