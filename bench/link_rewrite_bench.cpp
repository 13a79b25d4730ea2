// The link rewrite against page size, up to the largest page it takes:
// an ordinary page grown with paragraphs, and pages made of one piece
// repeated, each of which once cost a search through the rest of the page.
//   build/bin/link_rewrite_bench --benchmark_filter=Meta
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

#include "linking/link_rewrite.h"

namespace {

using namespace quillane;

constexpr std::array<std::string_view, 6> kPieces = {
    "<p>日本語の段落と <a href=\"x.html\">リンク</a>。</p>\r\n",  // ordinary, the head first
    "<meta",                                                      // an open tag with no end
    "<!--",                                                       // a comment with no end
    "<script>",                                                   // raw text with no end
    "<a b='",                                                     // an attribute value with no end
    "</head",                                                     // closing tags with no end
};

std::string pageOf(std::size_t piece, std::size_t bytes) {
  std::string page = piece == 0 ? "<html><head><meta charset=utf-8><title>t</title></head><body>\r\n" : "";
  while (page.size() + kPieces[piece].size() <= bytes) page += kPieces[piece];
  return page;
}

void BM_LinkPage(benchmark::State& state) {
  const std::string page = pageOf(static_cast<std::size_t>(state.range(0)), static_cast<std::size_t>(state.range(1)));
  for (auto _ : state) {
    LinkedPage linked = linkPage(page, "site.css", true);
    benchmark::DoNotOptimize(linked.bytes.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.SetLabel(state.range(0) == 0 ? "ordinary" : std::string(kPieces[static_cast<std::size_t>(state.range(0))]));
}
BENCHMARK(BM_LinkPage)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5}, {100 << 10, 1 << 20, 4 << 20, 16 << 20}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
