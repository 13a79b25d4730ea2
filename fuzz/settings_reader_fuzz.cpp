// Feeds arbitrary bytes to the settings reader in all three layouts. A
// refused file must leave the document exactly as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "persistence/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (quillane::Layout layout : {quillane::Layout::Settings, quillane::Layout::Sample, quillane::Layout::Version1}) {
    quillane::StyleDocument doc;
    const quillane::StyleDocument before = doc;
    const quillane::LoadResult result = quillane::loadSettings(doc, layout, bytes);
    if (!result.ok() && !(doc == before)) std::abort();
    if (result.ok()) (void)quillane::settingsFileText(doc, quillane::Layout::Settings);
  }
  (void)quillane::readSampleHeader(bytes);
  return 0;
}
