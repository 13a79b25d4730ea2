#!/usr/bin/env bash
# Makes the pictures of the README and the help page from the editor itself,
# on a virtual X display, into this folder. Run after a build (./test.sh or
# ./run.sh has made build/):
#
#   docs/pictures/make.sh
#
# The same document, window size and face every time: a picture changes only
# when what it shows changes.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/setup.sh
quillane_install_missing optipng
cmake --build build --target editor_pictures quillane_liveview application_folder
folder=docs/pictures
QT_QPA_PLATFORM=xcb QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu QUILLANE_PICTURES="$folder" \
  xvfb-run -a -s "-screen 0 1600x1024x24" build/bin/editor_pictures
optipng -quiet -o2 -strip all "$folder"/*.png
ls -l "$folder"/*.png
