// The command-line tool: settings files in, style sheets, pages and settings
// files out, for scripts and batch use.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace quillane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitRefused = 2;

// Runs one command line (without the program name). Input "-" reads `in`;
// output without -o goes to `out` as the exact file bytes.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace quillane::cli
