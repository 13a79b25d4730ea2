#!/usr/bin/env bash
# Makes the pictures of the README and the help page from the editor itself,
# on a virtual X display, into this folder; and the gallery of effects
# (docs/gallery.html, docs/gallery/) from the class previews as Chromium,
# Firefox and WebKit draw them. Run after ./test.sh (or ./run.sh) has made
# build/:
#
#   docs/pictures/make.sh
#
# The same document, window size and face every time: a picture changes only
# when what it shows changes. The live view's pictures include it at a
# phone's width in the light and the dark scheme, with the dark colours made
# by "自動で作る"; its choice of screen and scheme is kept apart from the
# user's own settings.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/setup.sh
quillane_install_missing optipng
cmake --build build --target editor_pictures quillane_liveview effect_gallery
QT_QPA_PLATFORM=xcb QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu QUILLANE_PICTURES=docs/pictures \
  xvfb-run -a -s "-screen 0 1600x1024x24" build/bin/editor_pictures
build/bin/effect_gallery docs
optipng -quiet -o2 -strip all docs/pictures/*.png docs/gallery/*.png
du -ch docs/pictures/*.png docs/gallery/*.png | tail -1
# The help page shows them from the application folder.
cmake --build build --target application_folder
