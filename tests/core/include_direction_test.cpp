// The folders of src/ depend one way: a source may include its own folder
// and the folders before it in this order, never one after it, and the
// programs' folders (cli, editor) never include each other.
//   document <- platform <- generation <- persistence <- linking <- importing
//     <- preview, fonts <- cli, editor <- app, liveview, fontwork (the editor's plug-ins)
// preview and fonts stand side by side: neither includes the other.
// css (the CSS syntax) stands beside document: neither includes the other.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

namespace fs = std::filesystem;

const std::map<std::string, int> kRank = {{"document", 0},    {"css", 0},     {"platform", 1},  {"generation", 2},
                                          {"persistence", 3}, {"linking", 4}, {"importing", 5}, {"preview", 6},
                                          {"fonts", 6},       {"cli", 7},     {"editor", 7},    {"app", 8},
                                          {"liveview", 8},    {"fontwork", 8}};

// "src/linking/link_injector.cpp" includes "preview/x.h": one wrong arrow.
struct Arrow {
  std::string file;
  std::string included;
};

std::vector<Arrow> wrongArrows(const fs::path& src) {
  static const std::regex kInclude(R"(^\s*#\s*include\s*"([a-z_]+)/[^"]+")");
  std::vector<Arrow> wrong;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const std::string folder = entry.path().lexically_relative(src).begin()->string();
    const auto from = kRank.find(folder);
    if (from == kRank.end()) continue;
    std::ifstream in(entry.path());
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
      if (!std::regex_search(line, match, kInclude)) continue;
      const std::string target = match[1];
      const auto to = kRank.find(target);
      if (to == kRank.end() || target == folder) continue;
      if (to->second >= from->second) wrong.push_back({entry.path().lexically_relative(src).string(), line});
    }
  }
  return wrong;
}

TEST(IncludeDirection, EveryFolderIncludesOnlyTheFoldersBeforeIt) {
  const fs::path src = QUILLANE_SOURCE_FOLDER;
  ASSERT_TRUE(fs::is_directory(src / "document"));
  for (const auto& [folder, rank] : kRank) EXPECT_TRUE(fs::is_directory(src / folder)) << folder;
  for (const Arrow& arrow : wrongArrows(src)) ADD_FAILURE() << arrow.file << ": " << arrow.included;
}

TEST(IncludeDirection, AWrongArrowIsFound) {
  const fs::path scratch = fs::temp_directory_path() / ("include-direction-" + std::to_string(::getpid()));
  fs::create_directories(scratch / "document");
  fs::create_directories(scratch / "preview");
  std::ofstream(scratch / "document/a.h") << "#include \"document/b.h\"\n#include \"preview/c.h\"\n";
  std::ofstream(scratch / "preview/c.h") << "#include \"document/a.h\"\n";
  const auto wrong = wrongArrows(scratch);
  fs::remove_all(scratch);
  ASSERT_EQ(wrong.size(), 1u);
  EXPECT_EQ(wrong[0].file, "document/a.h");
}

}  // namespace
