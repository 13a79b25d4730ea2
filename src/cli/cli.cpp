#include "cli/cli.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "document/product.h"
#include "generation/stylesheet_text.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"
#include "platform/file_io.h"

namespace quillane::cli {

namespace {

constexpr std::string_view kUsage =
    R"(Usage:
  quillane-cli css  FILE [--sample|--v1] [-o OUT]
  quillane-cli html FILE [--sample|--v1] [--title TEXT] [-o OUT]
  quillane-cli save FILE [--sample|--v1] -o OUT [--as-sample --author TEXT --name TEXT]
  quillane-cli --help | --version

Commands:
  css    the style sheet that the editor's "出力する" writes in the
         "スタイルシート" format
  html   the page with the style embedded that "出力する" writes in the
         "HTML形式" format (title "untitle" unless --title is given)
  save   the document written again as a settings file (322 lines), or
         with --as-sample as a sample file (324 lines) whose first two lines
         are --author and --name (both may be empty)

Input:
  FILE is a settings file (.qlf); with --sample a sample file (.smp); with
  --v1 a settings file of version 1, laid over the default settings.
  "-" reads standard input. Files are Shift_JIS (CP932).

Output:
  Without -o the bytes go to standard output exactly as the file would hold
  them (CP932, CR LF). With -o OUT the file is replaced safely: an earlier
  OUT survives any failure.

Exit status:
  0  success
  1  usage error (this text on standard error)
  2  the input was refused or the output could not be written; one line on
     standard error names the file and, where there is one, the line
)";

struct Options {
  std::string command;
  std::string input;
  Layout layout = Layout::Settings;
  std::optional<std::string> output;
  std::optional<std::string> title;
  bool asSample = false;
  std::optional<std::string> author;
  std::optional<std::string> name;
};

struct UsageError {
  std::string message;
};

// Parses the arguments; on a usage error returns its message.
std::optional<UsageError> parse(const std::vector<std::string>& args, Options& o) {
  if (args.empty()) return UsageError{"no command given"};
  o.command = args[0];
  if (o.command != "css" && o.command != "html" && o.command != "save")
    return UsageError{"unknown command '" + o.command + "'"};
  bool layoutGiven = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](std::optional<std::string>& slot) -> std::optional<UsageError> {
      if (i + 1 >= args.size()) return UsageError{a + " needs a value"};
      if (slot) return UsageError{a + " given twice"};
      slot = args[++i];
      return std::nullopt;
    };
    std::optional<UsageError> error;
    if (a == "--sample" || a == "--v1") {
      if (layoutGiven) return UsageError{"give at most one of --sample and --v1"};
      layoutGiven = true;
      o.layout = a == "--sample" ? Layout::Sample : Layout::Version1;
    } else if (a == "-o") {
      error = value(o.output);
    } else if (a == "--title" && o.command == "html") {
      error = value(o.title);
    } else if (a == "--as-sample" && o.command == "save") {
      o.asSample = true;
    } else if (a == "--author" && o.command == "save") {
      error = value(o.author);
    } else if (a == "--name" && o.command == "save") {
      error = value(o.name);
    } else if (a.size() > 1 && a[0] == '-') {
      return UsageError{"unknown option '" + a + "' for " + o.command};
    } else if (o.input.empty()) {
      o.input = a;
    } else {
      return UsageError{"unexpected argument '" + a + "'"};
    }
    if (error) return error;
  }
  if (o.input.empty()) return UsageError{"no input FILE given"};
  if (o.command == "save" && !o.output) return UsageError{"save needs -o OUT"};
  if ((o.author || o.name) && !o.asSample) return UsageError{"--author and --name go with --as-sample"};
  return std::nullopt;
}

class Command {
 public:
  Command(const Options& options, Console& console) : m_options(options), m_console(console) {}

  int run() {
    StyleDocument doc;
    if (!load(doc)) return kExitRefused;
    if (m_options.command == "save") {
      const Layout layout = m_options.asSample ? Layout::Sample : Layout::Settings;
      return emit(settingsFileText(doc, layout, m_options.author.value_or(""), m_options.name.value_or("")));
    }
    if (m_options.title) doc.output.htmlTitle = *m_options.title;
    const BuiltText built = m_options.command == "css" ? buildStyleSheet(doc) : buildEmbeddedPage(doc);
    if (!built.ok()) return refuse(inputName() + ": " + built.error->describe());
    return emit(built.text);
  }

 private:
  std::string inputName() const { return m_options.input == "-" ? "(standard input)" : m_options.input; }

  int refuse(const std::string& line) {
    m_console.writeError("quillane-cli: " + line + "\n");
    return kExitRefused;
  }

  bool load(StyleDocument& doc) {
    std::string bytes;
    if (m_options.input == "-") {
      if (!m_console.readInput(bytes)) {
        refuse("(standard input): read failed");
        return false;
      }
    } else if (const FileResult read = readWholeFile(m_options.input, bytes); !read.ok()) {
      refuse(m_options.input + ": " + std::strerror(read.error));
      return false;
    }
    const LoadResult loaded = loadSettings(doc, m_options.layout, bytes);
    if (!loaded.ok()) {
      refuse(loaded.error->describe(inputName()));
      return false;
    }
    return true;
  }

  int emit(std::string_view utf8) {
    std::string bytes;
    UnencodableCharacter bad;
    if (!encodeCp932(utf8, bytes, bad)) return refuse(m_options.output.value_or("(standard output)") + ": " + bad.describe());
    if (!m_options.output)
      return m_console.writeOutput(bytes) ? kExitOk : refuse("(standard output): write failed");
    if (const FileResult written = writeFileReplacing(*m_options.output, bytes); !written.ok())
      return refuse(*m_options.output + ": " + std::strerror(written.error));
    return kExitOk;
  }

  const Options& m_options;
  Console& m_console;
};

class ProcessConsole : public Console {
 public:
  bool readInput(std::string& bytes) override {
    char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n == 0) return true;
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
  }
  bool writeOutput(std::string_view bytes) override { return writeAll(STDOUT_FILENO, bytes); }
  void writeError(std::string_view text) override { writeAll(STDERR_FILENO, text); }

 private:
  static bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd, bytes.data(), bytes.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }
};

}  // namespace

Console& processConsole() {
  static ProcessConsole console;
  return console;
}

int run(const std::vector<std::string>& args, Console& console) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    console.writeOutput(kUsage);
    return kExitOk;
  }
  if (!args.empty() && args[0] == "--version") {
    console.writeOutput("quillane-cli " + std::string(kProductVersion) + "\n");
    return kExitOk;
  }
  Options options;
  if (auto error = parse(args, options)) {
    console.writeError("quillane-cli: " + error->message + "\n\n" + std::string(kUsage));
    return kExitUsage;
  }
  return Command(options, console).run();
}

}  // namespace quillane::cli
