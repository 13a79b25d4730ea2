#!/usr/bin/env bash
# Builds the Debian package in BUILD (cpack -G DEB), checks its control
# fields and that its dependencies resolve, then unpacks it into a temporary
# folder and checks the tree, running both programs from there.
#   package_test.sh BUILD SOURCE
set -euo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$2")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -f "$build"/quillane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$build/quillane_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "cpack made no $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillane ] && [ "$(field Version)" = "$version" ] || fail "package name or version"
[ -n "$(field Maintainer)" ] && [ -n "$(field Section)" ] && [ -n "$(field Description)" ] ||
  fail "maintainer, section or description missing"
# Computed from the programs' libraries; the web engine is only recommended.
field Depends | grep -q "libqt6widgets6" && field Depends | grep -q "libc6" || fail "Depends: $(field Depends)"
# The web fonts are cut and compressed by Debian's libraries.
field Depends | grep -q "libharfbuzz-subset0" && field Depends | grep -q "libwoff1" || fail "Depends: $(field Depends)"
field Depends | grep -q webengine && fail "the web engine is required: $(field Depends)"
field Recommends | grep -q "libqt6webenginewidgets6" || fail "Recommends: $(field Recommends)"
apt-get install -s -qq --no-install-recommends "$deb" >/dev/null || fail "the dependencies do not resolve"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
chmod 755 "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
[ -z "$(find "$unpacked" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files outside /usr"
flags=()
[ -f "$build/bin/plugins/libquillane-liveview.so" ] && flags+=(--with-live-view)
"$source_dir/tests/install/check_tree.sh" "$unpacked/usr" "$source_dir" "$version" "${flags[@]}"
echo "package $(basename "$deb") checked"
