// Temporary files written for the browser. They must outlive the launch,
// which returns before the browser has read them: each set is kept until the
// next preview of its kind replaces it, or until the program ends.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillane {

class PreviewFiles {
 public:
  // Keeps a reference to `platform`, which must outlive this object: the
  // destructor removes the kept files through it.
  explicit PreviewFiles(Platform& platform) : m_platform(platform) {}
  ~PreviewFiles() { removeAll(); }
  PreviewFiles(const PreviewFiles&) = delete;
  PreviewFiles& operator=(const PreviewFiles&) = delete;

  // Removes the files kept so far.
  void removeAll();
  // Keeps `path` until the next removeAll().
  void keep(std::string path) { m_files.push_back(std::move(path)); }
  const std::vector<std::string>& kept() const { return m_files; }

 private:
  Platform& m_platform;
  std::vector<std::string> m_files;
};

}  // namespace quillane
