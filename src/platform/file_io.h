// Whole-file reads and safe whole-file replacement on the real file system.
#pragma once

#include <cstddef>
#include <limits>
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
// permissions (0666 less the umask); a replaced file keeps its own, and its
// owner and group where the process may give them. A file the process may
// not write is refused (EACCES), though its folder would allow the rename.
//
// The temporary file has no name while it is written (O_TMPFILE) and gets a
// short hidden one (".qltmp-" and six letters) just before the rename. Where
// the file system cannot make unnamed files it has that name from the start.
// A write killed between naming and rename leaves that file, which the next
// write into the same folder removes once no writer holds it, whatever its age.
//
// A symbolic link, live or dangling, is followed to the file it names. A
// device, terminal or pipe is written in place; a named pipe with no reader
// fails with ENXIO after a wait of three seconds. A path through an open
// descriptor ("/dev/stdout", "/dev/fd/N") writes through it, appending to a
// file ("-o /dev/stdout >> log" keeps the log).
FileResult writeFileReplacing(const std::string& path, std::string_view bytes);

// No bound on a read.
inline constexpr std::size_t kUnboundedRead = std::numeric_limits<std::size_t>::max();

// Reads the file into `bytes` (cleared first), stopping after `limit` bytes:
// a caller that accepts at most N bytes asks for N + 1 and refuses a longer
// result, so that an endless file (/dev/zero, a pipe) is never held whole.
FileResult readWholeFile(const std::string& path, std::string& bytes, std::size_t limit = kUnboundedRead);

// Removes a file, ignoring any failure.
void removeFileQuietly(const std::string& path);

// Whether anything (a file, a folder, a live link) is at `path`.
bool fileExists(const std::string& path);

// Whether `path` names a regular file (through links), which a read never
// waits on as it may on a named pipe.
bool isRegularFile(const std::string& path);

}  // namespace quillane
