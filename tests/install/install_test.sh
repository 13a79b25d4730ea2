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
