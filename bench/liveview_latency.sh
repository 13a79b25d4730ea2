#!/usr/bin/env bash
# Times the live view from an edit to the engine's new computed style, on a
# virtual X display (the engine draws as it would on a desktop without a
# GPU: Mesa's software OpenGL).
#   bench/liveview_latency.sh [build-folder] [runs] [--dark]     (default: build-bench, 40)
# With --dark, the document has its dark variant on and the view shows the
# dark scheme.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${2:-40}
source bench/common.sh
bench_require xvfb-run
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLANE_BUILD_BENCH=ON -DQUILLANE_BUILD_TESTS=OFF \
  -DQUILLANE_BUILD_GUI=ON >/dev/null
cmake --build "$build" --target liveview_latency application_folder >/dev/null
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1024x24" "$build/bin/liveview_latency" "$runs" "${@:3}" 2>/dev/null
