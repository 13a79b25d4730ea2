// The command-line tool: settings files in, style sheets, pages and settings
// files out, for scripts and batch use.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/style_document.h"
#include "generation/web_font_faces.h"

namespace quillane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitRefused = 2;

// The three standard streams. The program uses the file descriptors
// directly (no iostreams: the tool is started once per file and its
// start-up time counts); tests use strings.
class Console {
 public:
  virtual ~Console() = default;
  // Appends at most `limit` bytes of the input to `bytes`; false when the
  // input cannot be read.
  virtual bool readInput(std::string& bytes, std::size_t limit) = 0;
  virtual bool writeOutput(std::string_view bytes) = 0;
  virtual void writeError(std::string_view text) = 0;
};

// The standard streams of the process.
Console& processConsole();

// What `fonts` is asked: the font file, the face, the named sets ("kana,ascii")
// and the folder of pages, as given.
struct FontsRequest {
  std::string fontFile;
  std::optional<std::string> face;
  std::optional<std::string> sets;
  std::optional<std::string> pages;
};

// Runs `fonts`. The font libraries (HarfBuzz, the WOFF2 encoder and what
// they load) would cost every other command its start-up time, so the
// program leaves `fonts` to a helper, quillane-cli-fonts, that links them
// (see runFontHelper) and passes fontReport (cli/font_report.h) here.
using FontsCommand = int (*)(const FontsRequest& request, Console& console);

// Makes the web fonts of a document that `css` or `html` writes with the
// modern output into `folder` (fonts::embedWebFonts, in the helper too):
// the faces, or the refusal in the user's words. Pages that cannot be read
// are reported on the console's error stream.
using EmbedCommand = std::optional<std::string> (*)(const StyleDocument& doc, const std::string& folder,
                                                    WebFontFaces& faces, Console& console);

// What run() answers, without an EmbedCommand, for a document whose output
// carries web fonts: quillane-cli's main then hands the same command line
// to the helper. Never a process's exit status.
inline constexpr int kRunInFontHelper = 100;

// Runs one command line (without the program name). Input "-" reads the
// console's input; output without -o goes to its output as the exact file
// bytes. Whatever the input, the status is one of the three above, and a
// refusal is one line on the error stream. `applicationFolder` holds the
// shipped samples; "" finds it from the running program, as the editor does.
// `fonts` runs `fonts` when given, else is refused; `embed` makes the web
// fonts of `css` and `html`, else run() answers kRunInFontHelper for a
// document that has any (before reading standard input is refused for it).
int run(const std::vector<std::string>& args, Console& console, const std::string& applicationFolder = {},
        FontsCommand fonts = nullptr, EmbedCommand embed = nullptr);

// Replaces the process by the font helper, found beside the program (the
// build tree) or in ../lib/quillane (an installation), with the same
// arguments; returns only when there is none, after saying so.
int runFontHelper(char** argv);

}  // namespace quillane::cli
