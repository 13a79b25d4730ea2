// Runs the command-line tool on arbitrary standard input. The first byte
// picks the command (and the class of a class preview), the layout and the
// legacy or modern output; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const char* const kCommands[] = {"css", "html", "save", "class-preview", "check"};
  static const char* const kLayouts[] = {nullptr, "--sample", "--v1"};
  std::vector<std::string> args = {kCommands[data[0] % 5], "-"};
  if (args[0] == std::string("class-preview")) args.push_back(std::to_string(data[0] / 12 % 6));
  if (const char* layout = kLayouts[(data[0] / 4) % 3]) args.emplace_back(layout);
  if ((data[0] / 72) % 2 == 1) args.emplace_back("--modern");
  if (args[0] == std::string("save")) args.insert(args.end(), {"-o", "/dev/null"});

  struct : quillane::cli::Console {
    std::string in, out, err;
    bool readInput(std::string& bytes, std::size_t limit) override { return bytes += in.substr(0, limit), true; }
    bool writeOutput(std::string_view bytes) override { return out.append(bytes), true; }
    void writeError(std::string_view text) override { err.append(text); }
  } console;
  console.in.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int status = quillane::cli::run(args, console);
  if (status != 0 && status != 2) std::abort();
  if (status == 2 && console.err.find('\n') != console.err.size() - 1) std::abort();  // one line on failure
  return 0;
}
