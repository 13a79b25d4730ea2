#include "cli/cli.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <string_view>

#include "document/message_text.h"
#include "document/product.h"
#include "fonts/character_set.h"
#include "generation/advice.h"
#include "generation/output_choice.h"
#include "generation/output_paths.h"
#include "generation/value_checks.h"
#include "generation/web_font_faces.h"
#include "importing/style_import.h"
#include "linking/link_rewrite.h"
#include "persistence/file_commands.h"
#include "persistence/settings_file.h"
#include "platform/application_folder.h"
#include "platform/cp932.h"
#include "platform/file_io.h"
#include "preview/preview_commands.h"

namespace quillane::cli {

namespace {

constexpr std::string_view kUsage =
    R"(Usage:
  quillane-cli css  FILE [--sample|--v1] [--modern] [-o OUT]
  quillane-cli html FILE [--sample|--v1] [--modern] [--title TEXT] [-o OUT]
  quillane-cli save FILE [--sample|--v1] [--modern] -o OUT [--as-sample --author TEXT --name TEXT]
  quillane-cli link PAGE CSSNAME [--no-comment] [-o OUT]
  quillane-cli class-preview FILE INDEX [--sample|--v1] [--modern] [--title TEXT] [-o OUT]
  quillane-cli check FILE [--sample|--v1] [--modern]
  quillane-cli samples
  quillane-cli import FILE [-o OUT]
  quillane-cli fonts FONTFILE [--face NAME] [--set kana,ascii,joyo,jis1] [--pages DIR]
  quillane-cli --help | --version

Commands:
  css    the style sheet that the editor's "出力する" writes in the
         "スタイルシート" format
  html   the page with the style embedded that "出力する" writes in the
         "HTML形式" format (title "untitle" unless --title is given)
  save   the document written again as a settings file (322 lines, 323
         with the modern output chosen, up to 325 with kept style text,
         a dark variant or gradients), or with --as-sample as a sample
         file (two lines more) whose first two lines are --author and
         --name (both may be empty)
  link   the page PAGE with a link to the style sheet CSSNAME inserted
         before its </HEAD> (or in a new head), as the link window writes
         it; the marker comment comes first unless --no-comment is given.
         The page keeps its own encoding (UTF-8 or Shift_JIS, as its
         <meta> declares or else as its bytes suggest), its byte-order mark
         and every byte outside the inserted lines; line ends become CR LF.
         A page of ASCII declared in another encoding (ISO-8859-1, say)
         takes a CSSNAME of ASCII.
         Pages of up to 16 MiB; UTF-16 and UTF-32 pages are refused.
         When CSSNAME, beside PAGE, is a modern style sheet whose classes
         use SVG filters, the filters go in at the start of the page's body
  class-preview
         the preview page of user class INDEX (0 to 5)
  check  the editor's advice on the document, one a line (UTF-8): text
         below the contrast that visitors can read (WCAG 2.2: 4.5:1, or 3:1
         for large text), background images at a place on this computer,
         fonts that common systems do not have, and font names no browser
         finds. Nothing when there is no advice; the status is 0 either way
  samples
         the samples of the editor's "サンプル" menu, one a line: the
         sample file, a tab, and its menu name (UTF-8)
  import the style sheet FILE (.css), or the <style> elements of the page
         FILE (.html, .htm, or any file that starts with a tag), as a
         settings file: what the form holds goes into its lines, the rest
         is kept as written on line 324 and written after the generated
         rules. A style sheet this program wrote comes back as it was;
         anything else is set to the modern output. Standard error lists,
         with line numbers, what went into the form and what was kept.
         The encoding is found as a browser finds it (byte-order mark,
         @charset or <meta>, else UTF-8, else Shift_JIS); files of up to
         16 MiB
  fonts  what embedding the font FONTFILE (.ttf, .otf, or a collection
         .ttc, .otc) as a web font would give, writing nothing: the face
         (--face names one of a collection: "Noto Sans CJK JP Regular", or
         the family alone when it has one face), its embedding permission
         and licence text, and its size before and after it is cut to the
         characters wanted and compressed as WOFF2, with the characters of
         the pages that the font lacks (UTF-8). The characters are those
         of every .html and .htm page in DIR and its folders, each read in
         its declared encoding (UTF-8, Shift_JIS, EUC-JP, ISO-2022-JP), and
         of the sets --set names, parted by commas: ascii (英数字と記号),
         kana (かな), joyo (常用漢字, 2,136 kanji) and jis1 (JIS第1水準,
         2,965 kanji). A font whose maker
         forbids embedding, or a WOFF2 over 1 MB, is refused (status 2)
         after the report

Input:
  FILE is a settings file (.qlf); with --sample a sample file (.smp); with
  --v1 a settings file of version 1, laid over the default settings.
  "-" reads standard input. Files are Shift_JIS (CP932), at most 325
  lines after a sample's header, each at most 4096 bytes.

Modern output:
  --modern ticks "今のブラウザ向けに書き出す" for this run, as the settings
  file's line 323 does when it holds True. css, html and class-preview then
  write UTF-8 (a style sheet starts with @charset "UTF-8";, a page with
  <!DOCTYPE html> and <meta charset="UTF-8">), leave out the declarations of
  empty fields, and write every legacy effect (filters, scrollbar colours,
  blink) as standard CSS that current browsers render. save --modern writes
  the settings file with that line 323 ("True"). Without the choice every
  output is byte for byte what earlier versions wrote.
  A document whose ticked tag slots embed fonts ("このフォントを埋め込む")
  has css and html cut each font to the characters of the .html and .htm
  pages in OUT's folder, of the page the output writes and of the chosen
  sets, and write it as fonts/NAME.woff2 beside OUT (so -o is needed),
  before OUT, which names it in @font-face. A font that cannot be read, may
  not be embedded or is cut larger than the document's limit writes
  nothing (status 2). The fonts are cut by quillane-cli-fonts, which reads
  the settings file by name (not standard input).

Output:
  Without -o the bytes go to standard output exactly as the file would hold
  them (CP932, or UTF-8 with the modern output; CR LF). With -o OUT the file
  is replaced safely: an earlier OUT survives any failure, and an OUT that
  may not be written is refused. A pipe, terminal, device or named pipe is
  written straight to (a named pipe with no reader is given up after three
  seconds); -o /dev/stdout writes to standard output, appending to a file
  opened with >>. -o naming the input file is refused, except for link,
  which rewrites a page in place as the link window saves it.

Exit status:
  0  success; for check, whether or not there is advice
  1  usage error (this text on standard error)
  2  the input was refused or the output could not be written; one line on
     standard error names the file and, where there is one, the line
)";

struct Options {
  std::string command;
  std::string input;
  std::string second;  // link: the style sheet name; class-preview: the class index
  Layout layout = Layout::Settings;
  std::optional<std::string> output;
  std::optional<std::string> title;
  bool asSample = false;
  bool comment = true;
  bool modern = false;
  std::optional<std::string> author;
  std::optional<std::string> name;
  std::optional<std::string> face;   // fonts: the face of a collection
  std::optional<std::string> sets;   // fonts: "kana,ascii"
  std::optional<std::string> pages;  // fonts: the folder of the site's pages
};

struct UsageError {
  std::string message;
};

bool is(const std::string& command, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (command == n) return true;
  return false;
}

// Parses the arguments; on a usage error returns its message.
std::optional<UsageError> parse(const std::vector<std::string>& args, Options& o) {
  if (args.empty()) return UsageError{"no command given"};
  o.command = args[0];
  if (!is(o.command, {"css", "html", "save", "link", "class-preview", "check", "samples", "import", "fonts"}))
    return UsageError{"unknown command '" + shownText(o.command) + "'"};
  if (o.command == "samples")
    return args.size() == 1 ? std::nullopt : std::optional(UsageError{"samples takes no arguments"});
  const bool readsSettings = is(o.command, {"css", "html", "save", "class-preview", "check"});
  std::vector<std::string> positional;
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
    if ((a == "--sample" || a == "--v1") && readsSettings) {
      if (layoutGiven) return UsageError{"give at most one of --sample and --v1"};
      layoutGiven = true;
      o.layout = a == "--sample" ? Layout::Sample : Layout::Version1;
    } else if (a == "--modern" && readsSettings) {
      o.modern = true;
    } else if (a == "-o" && o.command != "check" && o.command != "fonts") {
      error = value(o.output);
    } else if (a == "--title" && is(o.command, {"html", "class-preview"})) {
      error = value(o.title);
    } else if (a == "--as-sample" && o.command == "save") {
      o.asSample = true;
    } else if (a == "--author" && o.command == "save") {
      error = value(o.author);
    } else if (a == "--name" && o.command == "save") {
      error = value(o.name);
    } else if (a == "--face" && o.command == "fonts") {
      error = value(o.face);
    } else if (a == "--set" && o.command == "fonts") {
      error = value(o.sets);
    } else if (a == "--pages" && o.command == "fonts") {
      error = value(o.pages);
    } else if (a == "--no-comment" && o.command == "link") {
      o.comment = false;
    } else if (a.size() > 1 && a[0] == '-') {
      return UsageError{"unknown option '" + shownText(a) + "' for " + o.command};
    } else {
      positional.push_back(a);
    }
    if (error) return error;
  }
  const std::size_t wanted = is(o.command, {"link", "class-preview"}) ? 2 : 1;
  if (positional.size() < wanted) return UsageError{o.command + " needs " + (wanted == 2 ? "two arguments" : "a FILE")};
  if (positional.size() > wanted) return UsageError{"unexpected argument '" + shownText(positional[wanted]) + "'"};
  o.input = positional[0];
  if (wanted == 2) o.second = positional[1];
  if (o.command == "class-preview" && (o.second.size() != 1 || o.second[0] < '0' || o.second[0] > '5'))
    return UsageError{"INDEX is a class number from 0 to 5"};
  if (o.command == "save" && !o.output) return UsageError{"save needs -o OUT"};
  if (o.command == "fonts" && !o.sets && !o.pages) return UsageError{"fonts needs --set or --pages"};
  if (o.sets) {
    std::string_view list = *o.sets;
    for (std::size_t comma = 0; comma != std::string_view::npos; list.remove_prefix(comma + 1)) {
      comma = list.find(',');
      if (!fonts::namedSetOfKey(list.substr(0, comma)))
        return UsageError{"--set takes ascii, kana, joyo and jis1, parted by commas; not '" +
                          shownText(list.substr(0, comma)) + "'"};
      if (comma == std::string_view::npos) break;
    }
  }
  if ((o.author || o.name) && !o.asSample) return UsageError{"--author and --name go with --as-sample"};
  for (const auto* header : {&o.author, &o.name})
    if (*header && (*header)->find_first_of("\r\n") != std::string::npos)
      return UsageError{"--author and --name are single lines"};
  return std::nullopt;
}

class Command {
 public:
  Command(const Options& options, Console& console, std::string applicationFolder, FontsCommand fonts,
          EmbedCommand embed)
      : m_options(options),
        m_console(console),
        m_applicationFolder(std::move(applicationFolder)),
        m_fonts(fonts),
        m_embed(embed) {}

  int run() {
    if (m_options.command == "samples") return samples();
    if (m_options.command == "fonts") {
      if (m_fonts == nullptr) return refuse("fonts: this program does not cut fonts");
      return m_fonts({m_options.input, m_options.face, m_options.sets, m_options.pages}, m_console);
    }
    // Linking a page in place is what the link window's "保存" does too.
    if (m_options.command != "link" && outputIsInput())
      return refuse(outputName() + ": -o names the input file, which would be replaced; write elsewhere");
    if (m_options.command == "link") return link();
    if (m_options.command == "import") return importStyleSheet();
    StyleDocument doc;
    if (!load(doc)) return kExitRefused;
    if (m_options.modern) doc.output.modern = 1;
    if (m_options.command == "check") return check(doc);
    if (m_options.command == "save") {
      if (const auto problem = unstorableValue(doc)) return refuse(inputName() + ": " + *problem);
      const Layout layout = m_options.asSample ? Layout::Sample : Layout::Settings;
      return emit({settingsFileText(doc, layout, m_options.author.value_or(""), m_options.name.value_or("")),
                   std::nullopt, OutputEncoding::Cp932});
    }
    if (m_options.title) doc.output.htmlTitle = *m_options.title;
    const int classIndex = m_options.command == "class-preview" ? m_options.second[0] - '0' : 0;
    const Output output = m_options.command == "css"    ? Output::StyleRules
                          : m_options.command == "html" ? Output::EmbeddedPage
                                                        : Output::ClassPreview;
    if (const auto refused = checkValues(doc, output, classIndex))
      return refuse(inputName() + ": " + refused->describe());
    WebFontFaces faces;
    const bool webFonts = output != Output::ClassPreview && needsWebFonts(doc);
    if (webFonts) {
      if (const auto status = makeWebFonts(doc, faces)) return *status;
    }
    const OutputText built = m_options.command == "css"    ? styleSheetOutput(doc, faces)
                             : m_options.command == "html" ? embeddedPageOutput(doc, faces)
                                                           : classPreviewOutput(doc, classIndex);
    if (!built.ok()) return refuse(inputName() + ": " + *built.refusal);
    if (webFonts) {
      std::string bytes;
      UnencodableCharacter bad;
      if (!encodeOutput(built, bytes, bad)) return refuse(outputName() + ": not valid UTF-8");
      if (const auto status = writeWebFonts(faces)) return *status;
    }
    return emit(built);
  }

 private:
  std::string inputName() const { return m_options.input == "-" ? "(standard input)" : shownPath(m_options.input); }
  std::string outputName() const { return m_options.output ? shownPath(*m_options.output) : "(standard output)"; }

  // Whether -o names the very file read (by another name or link, too).
  bool outputIsInput() const {
    if (!m_options.output || m_options.input == "-") return false;
    struct stat in {};
    struct stat out {};
    return ::stat(m_options.input.c_str(), &in) == 0 && ::stat(m_options.output->c_str(), &out) == 0 &&
           S_ISREG(in.st_mode) && in.st_dev == out.st_dev && in.st_ino == out.st_ino;
  }

  // The folder the output goes into, where the pages are read and fonts/ is written.
  std::string outputFolder() const {
    const std::string folder = folderOf(*m_options.output);
    return folder.empty() ? "./" : folder;
  }

  // The web fonts of the modern output, cut before anything is written;
  // a status when the command ends here.
  std::optional<int> makeWebFonts(const StyleDocument& doc, WebFontFaces& faces) {
    if (!m_options.output)
      return refuse(inputName() + ": the document embeds web fonts; name the output with -o, beside which they go");
    if (m_embed == nullptr) {
      if (m_options.input == "-")
        return refuse("(standard input): the document embeds web fonts; give its settings file by name");
      return kRunInFontHelper;
    }
    if (auto refused = m_embed(doc, outputFolder(), faces, m_console)) {
      for (std::size_t at; (at = refused->find("\r\n")) != std::string::npos;) refused->replace(at, 2, " ");
      return refuse(inputName() + ": " + *refused);
    }
    return std::nullopt;
  }

  // Each font file into the output's fonts/ folder, before the output that names them.
  std::optional<int> writeWebFonts(const WebFontFaces& faces) {
    for (const WebFontFace& face : faces) {
      const std::string path = joinFolder(outputFolder(), face.fileName);
      if (!makeFolders(folderOf(path))) return refuse(shownPath(folderOf(path)) + ": cannot make the folder");
      if (const FileResult written = writeFileReplacing(path, face.woff2); !written.ok())
        return refuse(shownPath(path) + ": " + std::strerror(written.error));
    }
    return std::nullopt;
  }

  int refuse(const std::string& line) {
    m_console.writeError("quillane-cli: " + line + "\n");
    return kExitRefused;
  }

  // At most `limit` bytes of the input; false after saying why they cannot be read.
  bool readInput(std::string& bytes, std::size_t limit) {
    if (m_options.input == "-") {
      if (m_console.readInput(bytes, limit)) return true;
      refuse("(standard input): read failed");
      return false;
    }
    if (const FileResult read = readWholeFile(m_options.input, bytes, limit); !read.ok()) {
      refuse(inputName() + ": " + std::strerror(read.error));
      return false;
    }
    return true;
  }

  // The link window's rewrite, answering OK when a head must be added.
  int link() {
    std::string page;
    if (!readInput(page, kMaxPageBytes + 1)) return kExitRefused;
    // The style sheet as the page finds it, beside the page: the filters it
    // carries go into the page, and its encoding may call for a warning. An
    // address, or anything but a regular file (a named pipe is never waited
    // on), gives neither.
    const std::string sheetPath =
        (m_options.input == "-" ? std::string() : folderOf(m_options.input)) + m_options.second;
    std::string sheet;
    if (m_options.second.find("://") != std::string::npos || !isRegularFile(sheetPath) ||
        !readWholeFile(sheetPath, sheet, kMaxPageBytes).ok())
      sheet.clear();
    const LinkedPage linked = linkPage(page, m_options.second, m_options.comment, sheet);
    if (!linked.ok()) return refuse(inputName() + ": " + linked.refused);
    if (const auto warning = misreadStyleSheetWarning(sheet, linked.encoding, m_options.second))
      m_console.writeError("quillane-cli: " + shownPath(sheetPath) + ": " + *warning + "\n");
    return emitBytes(linked.bytes);
  }

  int check(const StyleDocument& doc) {
    std::string lines;
    // Advice quotes the file (font names, image paths): escaped, not cut.
    for (const Advice& advice : documentAdvice(doc)) lines.append(shownPath(advice.text)).append("\n");
    return emitBytes(lines);
  }

  // A style sheet or page as a settings file, the report on the error stream.
  int importStyleSheet() {
    std::string bytes;
    if (!readInput(bytes, kMaxImportBytes + 1)) return kExitRefused;
    const std::string lower = asciiLowered(m_options.input);
    std::optional<bool> page;
    if (lower.ends_with(".html") || lower.ends_with(".htm")) page = true;
    if (lower.ends_with(".css")) page = false;
    ImportResult imported = importStyle(bytes, page);
    std::string().swap(bytes);  // read: the settings file may be several times its size
    if (!imported.ok()) return refuse(imported.describe(inputName()));
    if (const auto problem = unstorableValue(imported.document)) return refuse(inputName() + ": " + *problem);
    std::string report;
    for (const ImportEntry& entry : imported.entries) {
      const char* place = entry.place == ImportEntry::Place::Form   ? "form"
                          : entry.place == ImportEntry::Place::Kept ? "kept"
                                                                    : "unused";
      report += inputName() + ":" + std::to_string(entry.line) + ": " + place + ": " + shownPath(entry.what) + "\n";
    }
    if (const std::string note = imported.omittedNote(); !note.empty()) report += inputName() + ": " + note + "\n";
    m_console.writeError(report);
    OutputText file{settingsFileText(imported.document, Layout::Settings), std::nullopt, OutputEncoding::Cp932};
    std::string().swap(imported.document.keptStyle);  // in the file's text now
    return emit(file);
  }

  static std::string asciiLowered(std::string text) {
    for (char& c : text)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
  }

  // The same folders and order as the editor's sample menu.
  int samples() {
    const std::string folder =
        m_applicationFolder.empty() ? findApplicationFolder(programFolder()) : m_applicationFolder;
    std::string listing;
    for (const SampleEntry& sample : listSamples(sampleFolders(folder).listed))
      // Escaped, not cut: a shared sample's name may hold what a terminal would obey.
      listing.append(shownPath(sample.path)).append("\t").append(shownPath(sample.caption)).append("\n");
    return emitBytes(listing);
  }

  bool load(StyleDocument& doc) {
    std::string bytes;
    // No settings file needs more: the reader stops at its first refused line.
    if (!readInput(bytes, kMaxSettingsFileBytes)) return false;
    const LoadResult loaded = loadSettings(doc, m_options.layout, bytes);
    if (!loaded.ok()) {
      refuse(loaded.error->describe(inputName()));
      return false;
    }
    return true;
  }

  int emit(const OutputText& output) {
    std::string bytes;
    UnencodableCharacter bad;
    if (!encodeOutput(output, bytes, bad))
      return refuse(outputName() + ": " +
                    (output.encoding == OutputEncoding::Cp932 ? bad.describe() : "not valid UTF-8"));
    return emitBytes(bytes);
  }

  int emitBytes(std::string_view bytes) {
    if (!m_options.output) return m_console.writeOutput(bytes) ? kExitOk : refuse("(standard output): write failed");
    if (const FileResult written = writeFileReplacing(*m_options.output, bytes); !written.ok())
      return refuse(outputName() + ": " +
                    (written.error == ENXIO ? "nothing reads from this named pipe (waited 3 seconds)"
                                            : std::strerror(written.error)));
    return kExitOk;
  }

  const Options& m_options;
  Console& m_console;
  std::string m_applicationFolder;
  FontsCommand m_fonts;
  EmbedCommand m_embed;
};

class ProcessConsole : public Console {
 public:
  bool readInput(std::string& bytes, std::size_t limit) override {
    char buffer[16384];
    for (std::size_t taken = 0; taken < limit;) {
      const ssize_t n = ::read(STDIN_FILENO, buffer, std::min(sizeof buffer, limit - taken));
      if (n == 0) return true;
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      bytes.append(buffer, static_cast<std::size_t>(n));
      taken += static_cast<std::size_t>(n);
    }
    return true;
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

int runFontHelper(char** argv) {
  const std::string folder = programFolder();
  for (const char* place : {"/quillane-cli-fonts", "/../lib/quillane/quillane-cli-fonts"}) {
    const std::string helper = folder + place;
    if (::access(helper.c_str(), X_OK) == 0) ::execv(helper.c_str(), argv);
  }
  processConsole().writeError(
      "quillane-cli: fonts: the font helper quillane-cli-fonts is not installed beside "
      "the program nor in ../lib/quillane\n");
  return kExitRefused;
}

int run(const std::vector<std::string>& args, Console& console, const std::string& applicationFolder,
        FontsCommand fonts, EmbedCommand embed) {
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
  // A command that runs out of memory (or meets any other fault) still ends
  // as a refusal of one line, never as an abort.
  try {
    return Command(options, console, applicationFolder, fonts, embed).run();
  } catch (const std::bad_alloc&) {
    console.writeError("quillane-cli: out of memory\n");
  } catch (const std::exception& e) {
    console.writeError("quillane-cli: " + shownText(e.what(), 200) + "\n");
  }
  return kExitRefused;
}

}  // namespace quillane::cli
