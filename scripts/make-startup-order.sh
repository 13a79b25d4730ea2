#!/usr/bin/env bash
# Writes src/app/startup_order.txt: the editor's own functions that run from
# process start to the window's first paint, one mangled name a line. The
# link lays them out together at the start of the program's code (see
# CMakeLists.txt), so that start-up maps a few dozen pages of the program
# instead of pages spread over all of it. Run it again after large changes
# to what start-up does; a name that no longer exists is passed over.
#   scripts/make-startup-order.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
command -v valgrind >/dev/null || { echo "needs valgrind (callgrind)"; exit 1; }
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLANE_BUILD_BENCH=ON -DQUILLANE_BUILD_TESTS=OFF \
  -DQUILLANE_BUILD_GUI=ON >/dev/null
cmake --build "$build" --target quillane >/dev/null
program=$(realpath "$build/bin/quillane")
profile=$(mktemp)
trap 'rm -f "$profile"' EXIT
QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind --demangle=no --callgrind-out-file="$profile" \
  "$program" --quit-after-show >/dev/null 2>&1
# Every function of the program that ran (--threshold=100 lists them all),
# by its symbol; the unnamed stubs (0x...) and "(below main)" are left out.
# Sorted, so that a new list differs
# from the old one only where start-up changed.
callgrind_annotate --threshold=100 "$profile" | grep -F "[$program]" |
  sed -E 's/^ *[0-9,]+ +(\([^)]*\) +)?[^:]*:([^ ]+) \[.*$/\2/' | grep -E '^[A-Za-z_][A-Za-z0-9_.$]*$' | LC_ALL=C sort -u >src/app/startup_order.txt
echo "$(wc -l <src/app/startup_order.txt) functions in src/app/startup_order.txt"
