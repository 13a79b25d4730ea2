// The samples installed with the program: each loads, and saving it again
// gives the same bytes.
#include <gtest/gtest.h>

#include <filesystem>

#include "generation/stylesheet_text.h"
#include "persistence/file_commands.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"
#include "test_support.h"

namespace quillane {
namespace {

TEST(InstalledSamples, EachRoundTripsByteForByteAndMakesAStyleSheet) {
  const auto samples = listSamples(QUILLANE_SAMPLE_FOLDER);
  ASSERT_GE(samples.size(), 8u);
  for (const SampleEntry& sample : samples) {
    SCOPED_TRACE(sample.path);
    const std::string bytes = testing::fileBytes(sample.path);
    StyleDocument doc;
    const LoadResult loaded = loadSettings(doc, Layout::Sample, bytes);
    ASSERT_TRUE(loaded.ok()) << loaded.error->describe(sample.path);
    const auto header = readSampleHeader(bytes);
    std::string again;
    UnencodableCharacter bad;
    ASSERT_TRUE(encodeCp932(settingsFileText(doc, Layout::Sample, header->first, header->second), again, bad));
    EXPECT_BYTES(bytes, again);
    EXPECT_FALSE(sample.caption.empty());
    const BuiltText sheet = buildStyleSheet(doc);
    ASSERT_TRUE(sheet.ok());
    EXPECT_NE(sheet.text.find("scrollbar-face-color"), std::string::npos);
    EXPECT_NE(sheet.text.find("  Filter:"), std::string::npos);
  }
}

}  // namespace
}  // namespace quillane
