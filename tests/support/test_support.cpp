#include "test_support.h"

#include <fstream>
#include <iterator>
#include <random>

#include "platform/cp932.h"

namespace quillane::testing {

std::string crlf(std::initializer_list<std::string_view> lines, bool finalBreak) {
  std::string text;
  for (auto it = lines.begin(); it != lines.end(); ++it) {
    if (it != lines.begin()) text += "\r\n";
    text += *it;
  }
  if (finalBreak) text += "\r\n";
  return text;
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string cp932(std::string_view utf8) {
  std::string bytes;
  UnencodableCharacter bad;
  EXPECT_TRUE(encodeCp932(utf8, bytes, bad)) << bad.describe();
  return bytes;
}

std::string fileText(const std::filesystem::path& path) {
  std::string text;
  std::size_t bad = 0;
  EXPECT_TRUE(decodeCp932(fileBytes(path), text, bad)) << path << " is not CP932 at byte " << bad;
  return text;
}

void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

namespace {
std::string visible(std::string_view s) {
  std::string v;
  for (char c : s) {
    if (c == '\r')
      v += "\\r";
    else if (c == '\n')
      v += "\\n";
    else
      v += c;
  }
  return v;
}
}  // namespace

::testing::AssertionResult sameBytes(std::string_view expected, std::string_view actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  const std::size_t from = at > 40 ? at - 40 : 0;
  return ::testing::AssertionFailure() << "bytes differ at offset " << at << " (sizes " << expected.size() << " and "
                                       << actual.size() << ")\n  expected: …" << visible(expected.substr(from, 100))
                                       << "\n  actual:   …" << visible(actual.substr(from, 100));
}

ScratchFolder::ScratchFolder() {
  std::random_device random;
  m_path = std::filesystem::temp_directory_path() / ("quillane-test-" + std::to_string(random()));
  std::filesystem::create_directories(m_path);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

}  // namespace quillane::testing
