#include "persistence/recent_files.h"

#include <algorithm>

#include "document/message_text.h"

namespace quillane {

RecentFiles::RecentFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (m_paths.size() == kRecentFileLimit) break;
    if (!path.empty() && std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end()) m_paths.push_back(path);
  }
}

void RecentFiles::add(const std::string& path) {
  if (path.empty()) return;
  remove(path);
  m_paths.insert(m_paths.begin(), path);
  if (m_paths.size() > kRecentFileLimit) m_paths.resize(kRecentFileLimit);
}

bool RecentFiles::remove(const std::string& path) {
  const auto found = std::find(m_paths.begin(), m_paths.end(), path);
  if (found == m_paths.end()) return false;
  m_paths.erase(found);
  return true;
}

std::string recentFileCaption(std::size_t index, std::string_view path) {
  std::string caption = "&" + std::to_string(index + 1) + " ";
  for (const char c : shownPath(path)) {
    if (c == '&') caption += '&';
    caption += c;
  }
  return caption;
}

std::string missingRecentFileMessage(std::string_view path) {
  return "「" + shownPath(path) + "」が見つかりません。\r\n最近使ったファイルの一覧から外しました。";
}

}  // namespace quillane
