// Text building and settings loading, per document.
#include <benchmark/benchmark.h>

#include "generation/stylesheet_text.h"
#include "persistence/settings_file.h"
#include "platform/cp932.h"

namespace {

using namespace quillane;

// Every slot, class, filter and scrollbar colour on, with Japanese text.
StyleDocument everythingOn() {
  StyleDocument doc;
  for (int i = 0; i < kColourBoxCount; ++i) doc.colours[static_cast<std::size_t>(i)] = "12AB9F";
  for (auto& s : doc.slots) {
    s.enabled = s.italic = s.underline = s.overline = s.lineThrough = s.blink = 1;
    s.useImage = Choice::First;
    s.imagePath = "images/背景.png";
    s.fontName = "ＭＳ Ｐゴシック";
    s.fontSize = "12";
    s.weight = "700";
    s.cursorLabel = "サイズ変更　左上-右下";
  }
  doc.fixedBackground = 1;
  for (auto& on : doc.scrollbarEnabled) on = 1;
  for (auto& c : doc.classes) {
    c.enabled = c.alphaOn = c.chromaOn = c.blurOn = c.waveOn = c.flipOn = c.flipVertical = c.flipHorizontal = 1;
    c.glowOn = c.toneOn = c.invert = c.xray = c.gray = c.shadowOn = c.specialOn = 1;
    c.waveOverlay = Choice::First;
  }
  return doc;
}

// The style sheet, or the page with it embedded.
template <BuiltText (*Build)(const StyleDocument&)>
void BM_Build(benchmark::State& state) {
  const StyleDocument doc = everythingOn();
  for (auto _ : state) {
    BuiltText built = Build(doc);
    benchmark::DoNotOptimize(built.text.data());
  }
}
BENCHMARK_TEMPLATE(BM_Build, buildStyleSheet)->Name("BM_BuildStyleSheet");
BENCHMARK_TEMPLATE(BM_Build, buildEmbeddedPage)->Name("BM_BuildEmbeddedPage");

void BM_LoadAndApplySettings(benchmark::State& state) {
  std::string bytes;
  UnencodableCharacter bad;
  encodeCp932(settingsFileText(everythingOn(), Layout::Settings), bytes, bad);
  for (auto _ : state) {
    StyleDocument doc;
    LoadResult result = loadSettings(doc, Layout::Settings, bytes);
    benchmark::DoNotOptimize(result.changed.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LoadAndApplySettings);

void BM_SaveSettingsText(benchmark::State& state) {
  const StyleDocument doc = everythingOn();
  for (auto _ : state) {
    std::string bytes;
    UnencodableCharacter bad;
    encodeCp932(settingsFileText(doc, Layout::Settings), bytes, bad);
    benchmark::DoNotOptimize(bytes.data());
  }
}
BENCHMARK(BM_SaveSettingsText);

}  // namespace

BENCHMARK_MAIN();
