#!/usr/bin/env bash
# Times the editor from process start to its window painted, against a bare
# Qt Widgets program showing an empty window and one showing a line of
# Japanese text, all under one platform plugin (offscreen unless
# QT_QPA_PLATFORM says otherwise), and compares peak memory. Where valgrind
# is installed it also counts instructions, which a busy machine does not blur.
#   bench/editor_startup.sh [build-folder]     (default: build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
source bench/common.sh
bench_require hyperfine /usr/bin/time
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLANE_BUILD_BENCH=ON -DQUILLANE_BUILD_TESTS=OFF \
  -DQUILLANE_BUILD_GUI=ON >/dev/null
cmake --build "$build" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
hyperfine -N --warmup 5 --runs 40 --export-csv "$work/times.csv" \
  -n editor "$build/bin/quillane --quit-after-show" \
  -n bare-window "$build/bin/bare_window" \
  -n japanese-label "$build/bin/bare_window --japanese-label" >/dev/null 2>&1
awk -F, 'NR > 1 { median[$1] = $4; printf "%-15s median %6.1f ms  mean %6.1f ms\n", $1, $4 * 1e3, $2 * 1e3 }
         END { printf "time ratio (median): %.2f against the empty window, %.2f against the Japanese label\n",
                      median["editor"] / median["bare-window"], median["editor"] / median["japanese-label"] }' "$work/times.csv"

editor=$(bench_peak_kib 11 "$build/bin/quillane" --quit-after-show)
bare=$(bench_peak_kib 11 "$build/bin/bare_window")
label=$(bench_peak_kib 11 "$build/bin/bare_window" --japanese-label)
echo "peak memory: editor ${editor} KiB, bare-window ${bare} KiB, japanese-label ${label} KiB;" \
  "ratios $(awk -v a="$editor" -v b="$bare" -v c="$label" 'BEGIN { printf "%.2f and %.2f", a / b, a / c }')"

if command -v valgrind >/dev/null; then
  instructions() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 | awk '/Collected/ { print $4 }'; }
  editor_ir=$(instructions "$build/bin/quillane" --quit-after-show)
  label_ir=$(instructions "$build/bin/bare_window" --japanese-label)
  echo "instructions: editor ${editor_ir}, japanese-label ${label_ir};" \
    "ratio $(awk -v a="$editor_ir" -v b="$label_ir" 'BEGIN { printf "%.2f", a / b }')"
fi
