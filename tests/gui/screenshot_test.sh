#!/usr/bin/env bash
# Starts the editor on a real X display (Xvfb) and captures its window.
#   screenshot_test.sh PROGRAM OUTPUT.png
set -euo pipefail
program=$1
output=$2
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing (package xvfb)"; exit 1
fi
mkdir -p "$(dirname "$output")"
rm -f "$output"
QT_QPA_PLATFORM=xcb timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" "$program" --screenshot "$output"
size=$(stat -c %s "$output")
[ "$size" -gt 10000 ] || { echo "screenshot too small ($size bytes)"; exit 1; }
echo "captured $output ($size bytes)"
