#include <string_view>

#include "cli/cli.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "fonts") return quillane::cli::runFontHelper(argv);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = quillane::cli::run(args, quillane::cli::processConsole());
  // A document with web fonts: the helper cuts them and writes everything.
  if (status == quillane::cli::kRunInFontHelper) return quillane::cli::runFontHelper(argv);
  return status;
}
