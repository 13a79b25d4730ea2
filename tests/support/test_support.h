// The project's own assertions and helpers: "these bytes, exactly",
// "this file holds exactly", and a scratch folder per test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

#include "document/field_table.h"
#include "fake_platform.h"

namespace quillane {
// Lets GoogleTest print control identities as "Text3(18)".
inline void PrintTo(const ControlId& id, std::ostream* os) { *os << id.toString(); }
}  // namespace quillane

namespace quillane::testing {

// Joins lines with CR LF; `finalBreak` adds one after the last line.
std::string crlf(std::initializer_list<std::string_view> lines, bool finalBreak = true);

// The whole file as bytes; fails the test when it cannot be read.
std::string fileBytes(const std::filesystem::path& path);

// UTF-8 text as CP932 bytes (fails the test when it cannot be held).
std::string cp932(std::string_view utf8);

// The UTF-8 text of a CP932 file.
std::string fileText(const std::filesystem::path& path);

void writeBytes(const std::filesystem::path& path, std::string_view bytes);

// Compares byte for byte and, on a mismatch, shows where the texts part.
::testing::AssertionResult sameBytes(std::string_view expected, std::string_view actual);
#define EXPECT_BYTES(expected, actual) EXPECT_TRUE(::quillane::testing::sameBytes((expected), (actual)))
#define EXPECT_FILE_HOLDS(path, expected) EXPECT_BYTES((expected), ::quillane::testing::fileBytes(path))

// A fresh empty folder, removed after the test.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return m_path; }
  std::string operator/(std::string_view name) const { return (m_path / name).string(); }
  // The folder as text with a trailing separator.
  std::string str() const { return m_path.string() + "/"; }

 private:
  std::filesystem::path m_path;
};

}  // namespace quillane::testing
