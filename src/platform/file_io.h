// Whole-file reads and safe whole-file replacement on the real file system.
#pragma once

#include <string>
#include <string_view>

namespace quillane {

// The outcome of a file operation: 0 on success, else the errno that failed it.
struct FileResult {
  int error = 0;
  bool ok() const { return error == 0; }
};

// Writes `bytes` to a temporary file beside `path`, flushes it, then renames
// it over `path`. A failure at any step removes the temporary file and leaves
// an earlier file of that name as it was. A new file gets the usual
// permissions (0666 less the umask), a replaced file keeps its own.
FileResult writeFileReplacing(const std::string& path, std::string_view bytes);

// Reads the whole file into `bytes` (cleared first).
FileResult readWholeFile(const std::string& path, std::string& bytes);

// Removes a file, ignoring any failure.
void removeFileQuietly(const std::string& path);

// Whether anything (a file, a folder, a live link) is at `path`.
bool fileExists(const std::string& path);

}  // namespace quillane
