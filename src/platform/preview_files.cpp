#include "platform/preview_files.h"

namespace quillane {

void PreviewFiles::removeAll() {
  for (const std::string& path : m_files) m_platform.removeFile(path);
  m_files.clear();
}

}  // namespace quillane
