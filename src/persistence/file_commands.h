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

// Each returns whether the document changed, so the editor can refresh.
bool MenuOpenFile_Click(Platform& platform, StyleDocument& doc);
bool MenuOpenFileQL_Click(Platform& platform, StyleDocument& doc);
void MenuSaveFile_Click(Platform& platform, StyleDocument& doc);
// Returns whether a sample was written (the menu is then rebuilt). With a
// `sampleFolder`, the dialog opens there, the folder created first when
// missing (a failure to create it is left to the save to report).
bool MenuSaveSumple_Click(Platform& platform, StyleDocument& doc, const std::string& sampleFolder = {});

// Opens a file named on the editor's command line: a ".smp" file (any letter
// case) as a sample, any other as a settings file. A file that cannot be read
// or is refused is reported as the open command reports it, and the document
// is left as it was. Returns whether the document changed.
bool openNamedFile(Platform& platform, StyleDocument& doc, const std::string& path);

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
