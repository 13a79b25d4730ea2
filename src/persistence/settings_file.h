// Writing and reading settings, sample and version-1 files.
//
// A file is read and checked whole before anything is applied: a refused
// file leaves the document exactly as it was. Loading sets fields as user
// edits would (an option selects its button and drops its partner, a slider
// move rewrites the opacity text), and reports which controls changed so the
// editor can run their rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/style_document.h"
#include "persistence/settings_layout.h"
#include "platform/platform.h"

namespace quillane {

// Why a file was refused. `line` is 1-based in the file (0: the file as a whole).
struct LoadError {
  int line = 0;
  std::string problem;  // what was expected there, in the user's words

  // "/x/a.qlf の 57 行目: ..." or "/x/a.qlf: ..."
  std::string describe(std::string_view path) const;
};

struct LoadResult {
  std::optional<LoadError> error;
  std::vector<ControlId> changed;  // in the order they were set
  bool ok() const { return !error; }
};

// The file's lines, each ended by CR LF, as UTF-8 (saving converts to
// CP932). A sample starts with the author's name and the menu name.
std::string settingsFileText(const StyleDocument& doc, Layout layout, std::string_view author = {},
                             std::string_view sampleName = {});

// The first stored field whose value holds a line break, which would shift
// every later line of the file; nothing when there is none.
std::optional<ControlId> fieldWithLineBreak(const StyleDocument& doc);

// The first stored field whose value is longer than a line may be
// (kMaxSettingsLineBytes), which no reader would take back.
std::optional<ControlId> fieldTooLongToStore(const StyleDocument& doc);

// Why the document cannot be written as a settings file, naming the setting
// in the words of the screen; nothing when it can.
std::optional<std::string> unstorableValue(const StyleDocument& doc);

// The lines of a file as read, one entry a line, at most kLineTableSize.
using LineTable = std::vector<std::string>;

// Splits CP932 bytes into UTF-8 lines, drops a sample's header, and checks
// the count: at most kLineTableSize lines after the header and at least as
// many as the layout uses. Lines end at CR LF, a lone CR or a lone LF; a
// line holds at most kMaxSettingsLineBytes. Reading stops at the first line
// refused, so the bytes past it are never looked at: a reader need hand over
// no more than kMaxSettingsFileBytes of a file.
std::optional<LoadError> readLines(std::string_view bytes, Layout layout, LineTable& lines);

// Apply checked lines to the document: all of them, or none when an entry
// is refused. DetaDainyu takes the settings layout (sample files too, once
// their header is dropped) and leaves the last class tab selected, as it
// walks the class names; DetaDainyuQL takes the version-1 layout.
LoadResult DetaDainyu(StyleDocument& doc, const LineTable& lines);
LoadResult DetaDainyuQL(StyleDocument& doc, const LineTable& lines);

// readLines, then DetaDainyu or DetaDainyuQL.
LoadResult loadSettings(StyleDocument& doc, Layout layout, std::string_view bytes);

// The header lines of a sample file as UTF-8 (author, menu name); nothing
// when the file has fewer than two lines or is not CP932.
std::optional<std::pair<std::string, std::string>> readSampleHeader(std::string_view bytes);

// --- The procedures the file commands call ---

// Writes the document to `path`; a sample first asks for the author's name
// and the sample's menu name. Returns false after a message on failure; a
// value holding a line break or too long for a line is refused before
// anything is written.
bool FileSave(Platform& platform, StyleDocument& doc, const std::string& path, bool sample);

// Reads `path` as a settings file (or a sample when `sample`) and applies it.
LoadResult FileOpen(Platform& platform, StyleDocument& doc, const std::string& path, bool sample);

// Reads `path` as a version-1 file and lays it over the document.
LoadResult FileOpenQL(Platform& platform, StyleDocument& doc, const std::string& path);

}  // namespace quillane
