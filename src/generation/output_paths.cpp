#include "generation/output_paths.h"

namespace quillane {

std::string joinFolder(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  return path.append(name);
}

std::string styleSheetName(std::string_view name) {
  std::string result(name);
  if (!name.ends_with(".css")) result += ".css";
  return result;
}

std::string pageName(std::string_view name) {
  std::string result(name);
  if (!name.ends_with(".html") && !name.ends_with(".htm")) result += ".html";
  return result;
}

std::string folderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string fileNameOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace quillane
