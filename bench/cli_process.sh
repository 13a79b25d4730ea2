#!/usr/bin/env bash
# Times `quillane-cli css` as a whole process against a trivial program that
# writes the same bytes, and compares their peak memory.
#   bench/cli_process.sh [build-folder]     (default: build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
source bench/common.sh
bench_require hyperfine /usr/bin/time
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLANE_BUILD_BENCH=ON -DQUILLANE_BUILD_TESTS=OFF \
  -DQUILLANE_BUILD_GUI=OFF >/dev/null
cmake --build "$build" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=${QUILLANE_BENCH_INPUT:-install/sample}
settings=$(ls "$input"/*.smp 2>/dev/null | head -1 || true)
if [ -n "$settings" ]; then
  "$build/bin/quillane-cli" save "$settings" --sample -o "$work/doc.qlf"
else
  "$build/bin/quillane-cli" save fuzz/corpus/defaults.qlf -o "$work/doc.qlf"
fi
"$build/bin/quillane-cli" css "$work/doc.qlf" -o "$work/expected.css"

hyperfine -N --warmup 50 --runs 2000 --export-csv "$work/times.csv" \
  -n quillane-cli "$build/bin/quillane-cli css $work/doc.qlf" \
  -n trivial-writer "$build/bin/trivial_writer $work/expected.css" >/dev/null 2>&1
# command,mean,stddev,median,user,system,min,max (seconds)
awk -F, 'NR > 1 { median[$1] = $4; printf "%-15s median %6.1f us  mean %6.1f us\n", $1, $4 * 1e6, $2 * 1e6 }
         END { printf "time ratio (median): %.2f\n", median["quillane-cli"] / median["trivial-writer"] }' "$work/times.csv"

cli=$(bench_peak_kib 21 "$build/bin/quillane-cli" css "$work/doc.qlf")
trivial=$(bench_peak_kib 21 "$build/bin/trivial_writer" "$work/expected.css")
echo "peak memory: quillane-cli ${cli} KiB, trivial-writer ${trivial} KiB, ratio $(awk -v a="$cli" -v b="$trivial" 'BEGIN { printf "%.2f", a / b }')"
