#include "persistence/file_commands.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <optional>

#include "document/message_text.h"
#include "generation/output_paths.h"
#include "persistence/settings_file.h"
#include "platform/application_folder.h"
#include "platform/file_io.h"

namespace quillane {

namespace {

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Shows why a file was refused; the document is as it was.
bool reportLoad(Platform& platform, const std::string& path, const LoadResult& result) {
  if (result.ok()) return true;
  platform.messageBox(result.error->describe(path) + "\r\n設定は読みこんでいません。", "読み込みエラー",
                      MessageIcon::Exclamation);
  return false;
}

std::optional<std::string> openWith(Platform& platform, StyleDocument& doc, std::string_view filter, Layout layout) {
  auto path = platform.fileDialog(FileDialogMode::Open, filter);
  if (!path) return std::nullopt;
  const LoadResult result = layout == Layout::Version1 ? FileOpenQL(platform, doc, *path)
                                                       : FileOpen(platform, doc, *path, layout == Layout::Sample);
  if (!reportLoad(platform, *path, result)) return std::nullopt;
  return path;
}

}  // namespace

std::optional<std::string> MenuOpenFile_Click(Platform& platform, StyleDocument& doc) {
  return openWith(platform, doc, kSettingsFilter, Layout::Settings);
}

bool MenuOpenFileQL_Click(Platform& platform, StyleDocument& doc) {
  return openWith(platform, doc, "", Layout::Version1).has_value();
}

std::optional<std::string> askSavePath(Platform& platform, std::string_view filter, std::string_view extension,
                                       const std::string& folder) {
  auto path = folder.empty() ? platform.fileDialog(FileDialogMode::Save, filter)
                             : platform.fileDialogIn(FileDialogMode::Save, filter, folder);
  if (!path) return std::nullopt;
  const std::string name = fileNameOf(*path);
  if (name.empty() || name.find('.') != std::string::npos) return path;
  // The dialog asked about the name as typed; the name with the extension
  // added is asked about here.
  *path += extension;
  if (fileExists(*path) &&
      platform.messageBox("「" + shownPath(name + std::string(extension)) + "」は既にあります。\r\n置き換えますか？",
                          "", MessageIcon::Exclamation, MessageButtons::OkCancel) == MessageAnswer::Cancel)
    return std::nullopt;
  return path;
}

std::optional<std::string> MenuSaveFile_Click(Platform& platform, StyleDocument& doc) {
  auto path = askSavePath(platform, kSettingsFilter, ".qlf");
  if (!path || !FileSave(platform, doc, *path, false)) return std::nullopt;
  return path;
}

bool MenuSaveSumple_Click(Platform& platform, StyleDocument& doc, const std::string& sampleFolder) {
  if (!sampleFolder.empty()) makeFolders(sampleFolder);
  const auto path = askSavePath(platform, kSampleFilter, ".smp", sampleFolder);
  return path && FileSave(platform, doc, *path, true);
}

bool openNamedFile(Platform& platform, StyleDocument& doc, const std::string& path) {
  return reportLoad(platform, path, FileOpen(platform, doc, path, isSampleFileName(path)));
}

bool isSampleFileName(std::string_view path) { return lowered(path).ends_with(".smp"); }

bool openSettingsFile(Platform& platform, StyleDocument& doc, const std::string& path) {
  return reportLoad(platform, path, FileOpen(platform, doc, path, false));
}

std::vector<SampleEntry> listSamples(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && lowered(name).ends_with(".smp")) names.push_back(name);
    }
    ::closedir(dir);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = lowered(a), lb = lowered(b);
    return la != lb ? la < lb : a < b;
  });

  std::vector<SampleEntry> samples;
  for (const std::string& name : names) {
    const std::string path = joinFolder(folder, name);
    std::string bytes;
    if (!readWholeFile(path, bytes, kMaxSettingsFileBytes).ok()) continue;
    if (auto header = readSampleHeader(bytes)) samples.push_back({path, std::move(header->second)});
  }
  return samples;
}

std::vector<SampleEntry> listSamples(const std::vector<std::string>& folders) {
  std::vector<SampleEntry> samples;
  for (const std::string& folder : folders) {
    std::vector<SampleEntry> more = listSamples(folder);
    samples.insert(samples.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
  }
  return samples;
}

bool loadSample(Platform& platform, StyleDocument& doc, const SampleEntry& entry) {
  return reportLoad(platform, entry.path, FileOpen(platform, doc, entry.path, true));
}

}  // namespace quillane
