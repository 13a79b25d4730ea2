// The web-font embed (cut with HarfBuzz's subsetter, compressed as WOFF2)
// against the pipeline people run by hand: `hb-subset` then
// `woff2_compress`, as processes, on the same face and characters.
//
//   font_embed_bench [FONT [FACE-INDEX [RUNS]]]
//
// Each side runs RUNS times (3 unless given) and the shortest time counts:
// on a shared machine the others are the ones another process slowed.
// Each side runs in processes of its own, so that the peak resident memory
// (from wait4) is that side's alone; time is wall-clock time, reading the
// font included. The hand pipeline is given the same layout features and
// name IDs the embed keeps, so that both cut the same font. Prints a
// Markdown table.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "fonts/character_set.h"
#include "fonts/font_file.h"
#include "fonts/font_subset.h"
#include "platform/file_io.h"

namespace {

namespace fs = std::filesystem;
using namespace quillane::fonts;

struct Run {
  double seconds = 0;
  long peakKiB = 0;
  int status = -1;
};

// Runs `work` in a child process (a program when `argv` is given).
template <typename Work>
Run inChild(Work work) {
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) ::_exit(work());
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  Run run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKiB = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

Run program(std::vector<std::string> args) {
  return inChild([&] {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::execvp(argv[0], argv.data());
    return 127;
  });
}

std::uintmax_t sizeOf(const fs::path& path) {
  std::error_code error;
  const auto size = fs::file_size(path, error);
  return error ? 0 : size;
}

// Twenty pages made of the Japanese texts of this project (the help page,
// the Japanese manual pages, the documents), each a twentieth of them.
fs::path makeSite(const fs::path& scratch) {
  std::string text;
  for (const char* file : {"install/help/index.html", "data/man/ja/quillane.1.in", "data/man/ja/quillane-cli.1.in",
                           "docs/modern-output.md", "docs/file-formats.md", "README.md"}) {
    std::string bytes;
    quillane::readWholeFile(std::string(QUILLANE_PROJECT_FOLDER) + "/" + file, bytes);
    text += bytes;
  }
  const fs::path site = scratch / "site";
  fs::create_directories(site);
  const std::size_t part = text.size() / 20 + 1;
  for (std::size_t k = 0; k < 20; ++k) {
    std::string body = text.substr(std::min(text.size(), k * part), part);
    for (char& c : body)
      if (c == '<' || c == '&') c = ' ';
    std::ofstream(site / ("page" + std::to_string(k) + ".html"))
        << "<!DOCTYPE html><meta charset=\"UTF-8\"><title>p</title><p>" << body << "</p>";
  }
  return site;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string font = argc > 1 ? argv[1] : "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc";
  const unsigned faceIndex = argc > 2 ? static_cast<unsigned>(std::stoul(argv[2])) : 0;
  const int runs = argc > 3 ? std::stoi(argv[3]) : 3;
  mapLargeBlocksApart();  // as quillane-cli-fonts and the editor's font work do
  const fs::path scratch = fs::temp_directory_path() / ("font-embed-bench-" + std::to_string(::getpid()));
  fs::create_directories(scratch);

  CharacterSet jis1, joyo, kana, ascii;
  addNamedSet(jis1, NamedSet::Jis1);
  addNamedSet(joyo, NamedSet::Joyo);
  addNamedSet(kana, NamedSet::Kana);
  addNamedSet(ascii, NamedSet::Ascii);
  CharacterSet all = jis1;
  all.insert(kana.begin(), kana.end());
  all.insert(ascii.begin(), ascii.end());
  CharacterSet common = joyo;
  common.insert(kana.begin(), kana.end());
  common.insert(ascii.begin(), ascii.end());
  const CharacterSet site = charactersOfPages(makeSite(scratch).string()).characters;
  struct Case {
    const char* name;
    const CharacterSet* characters;
  };

  std::printf("font: %s, face %u (%ju bytes)\n\n", font.c_str(), faceIndex, sizeOf(font));
  std::printf("| characters | | WOFF2 bytes | time | peak memory |\n|---|---|---|---|---|\n");
  for (const Case& c : {Case{"JIS第1水準 + かな + ASCII", &all}, Case{"常用漢字 + かな + ASCII", &common},
                        Case{"JIS第1水準", &jis1}, Case{"a 20-page site", &site}}) {
    const fs::path ours = scratch / "ours.woff2";
    Run embed, subset, compress;
    for (int k = 0; k < runs; ++k) {
      const Run e = inChild([&] {
        // The embed's steps (embedWebFonts): the font file is let go
        // between the cut and the compression.
        auto file = std::make_unique<FontFile>(openFontFile(font));
        if (!file->ok() || faceIndex >= file->faces.size()) return 1;
        FontSubset cut = cutFont(*file, file->faces[faceIndex], *c.characters);
        file.reset();
        compressFont(cut, SIZE_MAX);
        return quillane::writeFileReplacing(ours.string(), cut.woff2).ok() ? 0 : 1;
      });
      if (k == 0 || e.seconds < embed.seconds) embed = e;
    }

    const fs::path unicodes = scratch / "unicodes.txt";
    {
      std::ofstream out(unicodes);
      for (const char32_t u : *c.characters) out << std::hex << static_cast<unsigned>(u) << "\n";
    }
    const fs::path cut = scratch / "cut.ttf";
    for (int k = 0; k < runs; ++k) {
      const Run s =
          program({"hb-subset", "--font-file=" + font, "--face-index=" + std::to_string(faceIndex),
                   "--unicodes-file=" + unicodes.string(), "--layout-features+=vert,vrt2,vpal,palt,halt,kern,vkrn",
                   "--name-IDs+=13,14", "--output-file=" + cut.string()});
      const Run w = program({"woff2_compress", cut.string()});
      if (k == 0 || s.seconds + w.seconds < subset.seconds + compress.seconds) {
        subset = s;
        compress = w;
      }
    }
    const fs::path theirs = scratch / "cut.woff2";

    std::printf("| %s (%zu) | embed | %ju | %.2f s | %ld MiB |\n", c.name, c.characters->size(), sizeOf(ours),
                embed.seconds, embed.peakKiB / 1024);
    std::printf("| | hb-subset + woff2_compress | %ju | %.2f s + %.2f s | %ld MiB, %ld MiB |\n", sizeOf(theirs),
                subset.seconds, compress.seconds, subset.peakKiB / 1024, compress.peakKiB / 1024);
    if (embed.status != 0 || subset.status != 0 || compress.status != 0)
      std::printf("| | (a run failed: %d, %d, %d) | | | |\n", embed.status, subset.status, compress.status);
    fs::remove(ours);
    fs::remove(theirs);
    fs::remove(cut);
  }
  fs::remove_all(scratch);
  return 0;
}
