#!/usr/bin/env bash
# Times the editor from process start to its window painted, against a bare
# Qt Widgets program showing an empty window and one showing a line of
# Japanese text, all under one platform plugin (offscreen unless
# QT_QPA_PLATFORM says otherwise), and compares peak memory. The programs
# are run in turns, so that a machine whose speed drifts during the run (a
# shared one does) weighs on each alike. Where valgrind is installed it also
# counts instructions, which a busy machine does not blur.
#   bench/editor_startup.sh [build-folder] [earlier-build-folder...]
# build-folder (default: build-bench) is configured and built first. Earlier
# builds (of older commits, say) are measured in the same run, side by side,
# as they are: they are not built again. Each is named after its folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
earlier=("${@:2}")
source bench/common.sh
bench_require python3 /usr/bin/time
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLANE_BUILD_BENCH=ON -DQUILLANE_BUILD_TESTS=OFF \
  -DQUILLANE_BUILD_GUI=ON >/dev/null
cmake --build "$build" >/dev/null
for folder in "${earlier[@]}"; do
  if [[ ! -x $folder/bin/quillane ]]; then
    echo "no editor in $folder/bin"
    exit 1
  fi
done
# The editors to measure: name, then folder.
editors=(editor "$build")
for folder in "${earlier[@]}"; do editors+=("editor@$(basename "$folder")" "$folder"); done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
runs=()
for ((i = 0; i < ${#editors[@]}; i += 2)); do runs+=("${editors[i]}" "${editors[i + 1]}/bin/quillane --quit-after-show"); done
runs+=(bare-window "$build/bin/bare_window" japanese-label "$build/bin/bare_window --japanese-label")
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 bench/interleaved_times.py 40 5 "${runs[@]}" >"$work/times.csv"
echo "load average after:  $(cut -d' ' -f1-3 /proc/loadavg)"
awk -F, '{ median[$1] = $2; printf "%-15s median %6.1f ms  mean %6.1f ms\n", $1, $2 * 1e3, $3 * 1e3 }
         END { for (e in median) if (e ~ /^editor/)
                 printf "%s time ratio (median): %.2f against the empty window, %.2f against the Japanese label\n", e,
                        median[e] / median["bare-window"], median[e] / median["japanese-label"] }' "$work/times.csv"

bare=$(bench_peak_kib 11 "$build/bin/bare_window")
label=$(bench_peak_kib 11 "$build/bin/bare_window" --japanese-label)
echo "peak memory: bare-window ${bare} KiB, japanese-label ${label} KiB"
for ((i = 0; i < ${#editors[@]}; i += 2)); do
  name=${editors[i]}
  kib=$(bench_peak_kib 11 "${editors[i + 1]}/bin/quillane" --quit-after-show)
  echo "peak memory: $name ${kib} KiB;" \
    "ratios $(awk -v a="$kib" -v b="$bare" -v c="$label" 'BEGIN { printf "%.2f and %.2f", a / b, a / c }')"
done

if command -v valgrind >/dev/null; then
  instructions() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 | awk '/Collected/ { print $4 }'; }
  label_ir=$(instructions "$build/bin/bare_window" --japanese-label)
  echo "instructions: japanese-label ${label_ir}"
  for ((i = 0; i < ${#editors[@]}; i += 2)); do
    name=${editors[i]}
    ir=$(instructions "${editors[i + 1]}/bin/quillane" --quit-after-show)
    echo "instructions: $name ${ir}; ratio $(awk -v a="$ir" -v b="$label_ir" 'BEGIN { printf "%.2f", a / b }')"
  done
fi
