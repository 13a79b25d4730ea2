#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
quillane_install_missing

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
if [ -x build/bin/quillane ]; then
  exec build/bin/quillane "$@"
fi
# Until the editor is built, show what the command-line tool does.
build/bin/quillane-cli --help
