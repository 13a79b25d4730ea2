#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds, and runs every
# test: the normal build (core, command line, editor, browser, install), the
# Debian package unpacked and run, the core again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
quillane_install_missing
quillane_install_axe

jobs=$(nproc)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Debian package, unpacked and run"
tests/install/package_test.sh build .

echo "== release build, as users make it (warnings stay warnings)"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j "$jobs"

echo "== sanitizers (address, undefined behaviour)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLANE_SANITIZE=ON -DQUILLANE_BUILD_GUI=OFF -DQUILLANE_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== fuzz (a few seconds each)"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_BUILD_FUZZ=ON \
  -DQUILLANE_SANITIZE=ON -DQUILLANE_BUILD_TESTS=OFF -DQUILLANE_BUILD_GUI=OFF -DQUILLANE_WERROR=ON >/dev/null
cmake --build build-fuzz -j "$jobs"
for target in settings_reader_fuzz cli_input_fuzz link_rewrite_fuzz css_import_fuzz font_reader_fuzz; do
  work=$(mktemp -d)
  cp fuzz/corpus/* "$work"/
  # An input that takes more than two seconds fails the run: the link rewrite's long pages (see its target) catch
  # a rewrite slower than linear.
  build-fuzz/bin/$target -max_total_time=5 -timeout=2 -rss_limit_mb=1024 -print_final_stats=0 "$work" \
    2>build-fuzz/$target.log ||
    { tail -40 build-fuzz/$target.log; exit 1; }
  rm -rf "$work"
  echo "$target: $(grep -o 'Done [0-9]* runs' build-fuzz/$target.log || echo done)"
done
echo "All tests passed."
