#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with the prefix /usr, away from
# the build tree, and checks what landed there.
#   install_test.sh BUILD SOURCE VERSION [--without-editor]
set -euo pipefail
build=$1
here=$(dirname "$0")
destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
chmod 755 "$destdir"  # another user runs the installed programs too
DESTDIR=$destdir cmake --install "$build" --prefix /usr >/dev/null
"$here/check_tree.sh" "$destdir/usr" "${@:2}"
# The build tree's programs run from there too (run.sh): no run path there
# either, where CMake would pad one with empty entries, the current folder.
for binary in "$build"/bin/quillane*; do
  if readelf -d "$binary" | grep -q "R\(UN\)\?PATH"; then
    echo "FAIL: ${binary#"$build"/} carries a run path" >&2
    exit 1
  fi
done
