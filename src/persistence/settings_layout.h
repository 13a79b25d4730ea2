// The line-per-value layouts of settings, sample and version-1 files.
//
// One table of rows describes each layout; the writer and both readers walk
// the same expanded list, so they cannot drift apart. See
// docs/file-formats.md for the layouts in prose.
#pragma once

#include <cstddef>
#include <vector>

#include "document/field_table.h"
#include "persistence/kept_style_line.h"

namespace quillane {

enum class Layout {
  Settings,  // 322 lines, the switches of trailingFields() that are on, the kept style and scheme lines
  Sample,    // 2 header lines (author, menu name), then the settings lines
  Version1,  // 99 lines of the earlier version; read only
};

// The most lines a file may hold after its header.
inline constexpr int kLineTableSize = 325;
inline constexpr int kSettingsLineCount = 322;
inline constexpr int kSampleHeaderLines = 2;
inline constexpr int kVersion1LineCount = 99;

// The most bytes one line may hold, its line end not counted. The longest
// value a setting holds in practice is an image path, and a path is at most
// 4095 bytes (PATH_MAX less its terminator); CP932 never takes more bytes
// than the UTF-8 of the same text.
inline constexpr std::size_t kMaxSettingsLineBytes = 4096;

// The most bytes a reader needs to see of any settings file: every line
// allowed at its longest with CR LF, then one byte more, which is enough to
// find a line too many or a line too long.
// The line of the kept style text may be longer (kept_style_line.h).
inline constexpr std::size_t kMaxSettingsFileBytes =
    (kSampleHeaderLines + kLineTableSize) * (kMaxSettingsLineBytes + 2) + 1 + kMaxKeptStyleLineBytes;

// The field of each line, in file order, without the sample header.
const std::vector<ControlId>& layoutFields(Layout layout);

// Switches stored after the fixed lines of a settings file, from line 323
// (325 in a sample) on, in this order. They are written only as far as the
// last one that is on, so a document with every switch off gives the same
// 322 lines as ever. A file that stops before a switch's line, and any
// version-1 file, leaves that switch off.
const std::vector<ControlId>& trailingFields();

// The 0-based line, after a sample's header, of the kept style text: the
// one after the trailing switches (line 324 of a settings file).
int keptStyleLineIndex();

// The 0-based line, after a sample's header, of the dark variant and the
// gradients (scheme_line.h): the one after the kept style text (line 325 of
// a settings file), the last that kLineTableSize allows.
int schemeLineIndex();

// Header lines before the fields: 2 for a sample, else 0.
int headerLines(Layout layout);

}  // namespace quillane
