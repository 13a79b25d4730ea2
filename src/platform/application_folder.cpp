#include "platform/application_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/file_io.h"

namespace quillane {

namespace {

std::string withSeparator(std::string_view folder) {
  std::string out(folder);
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

// "/usr/bin/" -> "/usr/"; "/" -> "/"
std::string parentOf(const std::string& folder) {
  std::string trimmed = folder;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? std::string() : trimmed.substr(0, slash + 1);
}

bool isFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool holdsData(const std::string& folder) { return isFile(folder + "preview/pal.png"); }

}  // namespace

std::string programFolder() {
  std::string path(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string findApplicationFolder(std::string_view program) {
  const std::string beside = withSeparator(program);
  if (holdsData(beside)) return beside;
  const std::string prefix = parentOf(beside);
  if (!prefix.empty() && holdsData(prefix + "share/quillane/")) return prefix + "share/quillane/";
  return beside;
}

std::string userDataFolder(const char* xdgDataHome, const char* home) {
  // The base directory specification ignores a relative XDG_DATA_HOME.
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return withSeparator(xdgDataHome) + "quillane/";
  if (home != nullptr && home[0] == '/') return withSeparator(home) + ".local/share/quillane/";
  return {};
}

bool isWritableFolder(const std::string& folder) {
  return isFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

bool makeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  if (isFolder(folder)) return true;
  const std::string parent = parentOf(folder);
  if (!parent.empty() && parent != withSeparator(folder) && !makeFolders(parent)) return false;
  return ::mkdir(folder.c_str(), 0777) == 0 || (errno == EEXIST && isFolder(folder));
}

FolderEnvironment FolderEnvironment::current() {
  return {userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")), isWritableFolder};
}

SampleFolders sampleFolders(std::string_view applicationFolder, const FolderEnvironment& env) {
  const std::string shipped = withSeparator(applicationFolder) + "sample";
  const std::string own = env.userFolder.empty() ? std::string() : withSeparator(env.userFolder) + "sample";
  if (own.empty() || own == shipped || env.writable(shipped)) return {{shipped}, shipped};
  return {{shipped, own}, own};
}

std::string previewHome(std::string_view applicationFolder, const FolderEnvironment& env) {
  const std::string home = withSeparator(applicationFolder);
  if (env.userFolder.empty() || env.writable(home + "preview")) return home;
  const std::string own = withSeparator(env.userFolder);
  if (!makeFolders(own + "preview")) return home;
  const std::string picture = own + "preview/pal.png";
  if (!isFile(picture)) {
    std::string bytes;
    if (readWholeFile(home + "preview/pal.png", bytes).ok()) writeFileReplacing(picture, bytes);
  }
  return own;
}

}  // namespace quillane
