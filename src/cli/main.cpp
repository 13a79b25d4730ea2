#include "cli/cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quillane::cli::run(args, quillane::cli::processConsole());
}
