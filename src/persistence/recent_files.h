// The "最近使ったファイル" list: the settings files last opened or saved,
// newest first.
//
// The list only orders and bounds paths; the editor keeps it between runs
// and decides which files enter it (settings files, never samples).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillane {

inline constexpr std::size_t kRecentFileLimit = 8;

class RecentFiles {
 public:
  RecentFiles() = default;
  // A list as it was kept: empty entries and repeats are dropped, and only
  // the first kRecentFileLimit of the rest are kept.
  explicit RecentFiles(const std::vector<std::string>& paths);

  // Puts `path` first; an entry already there moves up rather than showing
  // twice, and the oldest falls off beyond kRecentFileLimit. An empty path
  // changes nothing.
  void add(const std::string& path);
  // Takes `path` out; returns whether it was listed.
  bool remove(const std::string& path);

  const std::vector<std::string>& paths() const { return m_paths; }

 private:
  std::vector<std::string> m_paths;
};

// The menu caption of entry `index` (from 0), its number the access key and
// every "&" of the path shown as itself:
//   0, "/home/a/mine.qlf" -> "&1 /home/a/mine.qlf"
//   7, "/x/R&D.qlf"       -> "&8 /x/R&&D.qlf"
std::string recentFileCaption(std::size_t index, std::string_view path);

// Said when an entry's file is gone, before it leaves the list.
std::string missingRecentFileMessage(std::string_view path);

}  // namespace quillane
