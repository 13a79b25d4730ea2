// The file menu's commands and the sample library.
//
// Each command asks for a file name, hands it to the settings procedures and
// tells the user what went wrong: a cancelled dialog stays silent, a file
// that cannot be read or is refused is named with its line, and the
// document is left as it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/style_document.h"
#include "platform/platform.h"

namespace quillane {

inline constexpr std::string_view kSettingsFilter = "Quillane設定ファイル(*.qlf)|*.qlf";
inline constexpr std::string_view kSampleFilter = "サンプルファイル(*.smp)|*.smp";

// Asks for a file to save into, in `folder` when one is given. A name typed
// without an extension gets `extension` (".qlf"), and when a file of that
// name exists the user is asked before it is replaced. Nothing when the
// user cancels either.
std::optional<std::string> askSavePath(Platform& platform, std::string_view filter, std::string_view extension,
                                       const std::string& folder = {});

// The settings file opened, when the document changed (the editor then
// refreshes and names the file); nothing on a cancel or a refused file.
std::optional<std::string> MenuOpenFile_Click(Platform& platform, StyleDocument& doc);
// Returns whether the document changed. A version-1 file is laid over the
// document rather than replacing it, so it never becomes the open file.
bool MenuOpenFileQL_Click(Platform& platform, StyleDocument& doc);
// The file written; nothing when the user cancels or writing failed (after
// a message).
std::optional<std::string> MenuSaveFile_Click(Platform& platform, StyleDocument& doc);
// Returns whether a sample was written (the menu is then rebuilt). With a
// `sampleFolder`, the dialog opens there, the folder created first when
// missing (a failure to create it is left to the save to report).
bool MenuSaveSumple_Click(Platform& platform, StyleDocument& doc, const std::string& sampleFolder = {});

// Opens a file named on the editor's command line: a ".smp" file (any letter
// case) as a sample, any other as a settings file. A file that cannot be read
// or is refused is reported as the open command reports it, and the document
// is left as it was. Returns whether the document changed.
bool openNamedFile(Platform& platform, StyleDocument& doc, const std::string& path);
// Whether openNamedFile takes `path` as a sample: "a.smp", "A.SMP".
bool isSampleFileName(std::string_view path);

// Opens `path` as a settings file whatever its name (the recent-files menu),
// reporting a file that cannot be read or is refused as the open command
// does. Returns whether the document changed.
bool openSettingsFile(Platform& platform, StyleDocument& doc, const std::string& path);

// One entry of the sample menu: the file it loads and line 2 of it.
struct SampleEntry {
  std::string path;
  std::string caption;
};

// The sample files (".smp", any letter case) of `folder`, sorted by file
// name with letter case ignored. Files whose two header lines cannot be read
// are left out. A missing folder lists nothing.
std::vector<SampleEntry> listSamples(const std::string& folder);
// The samples of each folder in turn, as above.
std::vector<SampleEntry> listSamples(const std::vector<std::string>& folders);

// MenuTuika_Click: loads one sample. Returns whether the document changed.
bool loadSample(Platform& platform, StyleDocument& doc, const SampleEntry& entry);

}  // namespace quillane
