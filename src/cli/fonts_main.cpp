// quillane-cli-fonts: the helper that quillane-cli starts for `fonts`, and
// for `css` and `html` of a document with web fonts, so that only this
// program loads the font libraries.
#include "cli/cli.h"
#include "cli/font_report.h"
#include "fonts/font_subset.h"

int main(int argc, char** argv) {
  quillane::fonts::mapLargeBlocksApart();
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quillane::cli::run(args, quillane::cli::processConsole(), {}, &quillane::cli::fontReport,
                            &quillane::cli::embedFonts);
}
