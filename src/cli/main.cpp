#include <string_view>

#include "cli/cli.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "fonts") return quillane::cli::runFontHelper(argv);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quillane::cli::run(args, quillane::cli::processConsole());
}
