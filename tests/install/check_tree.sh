#!/usr/bin/env bash
# Checks an installed Quillane: every file in its place, the desktop entry,
# MIME types, AppStream data and manual pages valid, and the installed
# programs starting and finding their data there rather than in the source.
#   check_tree.sh PREFIX SOURCE VERSION [--without-editor] [--with-live-view]
# PREFIX holds bin/ and share/ (a prefix inside a DESTDIR, or usr/ of an
# unpacked package); SOURCE is the source tree the install came from.
# --with-live-view: the live view's plug-in was built and must be installed.
set -euo pipefail
prefix=$(realpath "$1")
source_dir=$(realpath "$2")
version=$3
editor=yes
live_view=no
for flag in "${@:4}"; do
  case $flag in
    --without-editor) editor=no ;;
    --with-live-view) live_view=yes ;;
  esac
done
id=io.github.quillane.Quillane
share=$prefix/share

fail() { echo "FAIL: $*" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

echo "== files under $prefix"
expected=(bin/quillane-cli
  share/applications/$id.desktop share/mime/packages/$id.xml share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png
  share/icons/hicolor/256x256/apps/$id.png share/man/man1/quillane.1.gz share/man/man1/quillane-cli.1.gz
  share/man/ja/man1/quillane.1.gz share/man/ja/man1/quillane-cli.1.gz
  share/doc/quillane/README.md share/doc/quillane/LICENSE)
[ $editor = yes ] && expected+=(bin/quillane lib/quillane/plugins/libquillane-fontwork.so)
# Where quillane-cli looks for its font helper: ../lib/quillane from bin/.
expected+=(lib/quillane/quillane-cli-fonts)
# Where the editor looks for its plug-ins: ../lib/quillane/plugins from bin/.
[ $live_view = yes ] && expected+=(lib/quillane/plugins/libquillane-liveview.so)
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || fail "missing $file"
done
for program in quillane-cli $([ $editor = yes ] && echo quillane); do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
# The editor pays for the live view's engine only when the view is opened.
if [ $editor = yes ] && readelf -d "$prefix/bin/quillane" | grep -q "NEEDED.*WebEngine"; then
  fail "bin/quillane links Qt WebEngine"
fi
# ...and for the font libraries only when a web font is first used: its
# plug-in links them, and finds every library it needs.
if [ $editor = yes ]; then
  readelf -d "$prefix/bin/quillane" | grep -q "NEEDED.*\(harfbuzz-subset\|woff2\|brotli\)" &&
    fail "bin/quillane links the font libraries"
  missing=$(ldd "$prefix/lib/quillane/plugins/libquillane-fontwork.so" | grep "not found" || true)
  [ -z "$missing" ] || fail "the web fonts' plug-in lacks $missing"
fi
# Only the system's libraries are linked: no run path, which would search
# the current folder (an empty entry) or the program's own ($ORIGIN).
for binary in "$prefix"/bin/* "$prefix"/lib/quillane/quillane-cli-fonts "$prefix"/lib/quillane/plugins/*.so; do
  readelf -d "$binary" | grep -q "R\(UN\)\?PATH" && fail "${binary#"$prefix"/} carries a run path"
done
# Every command but fonts starts without the font libraries; fonts finds its
# helper in ../lib/quillane.
readelf -d "$prefix/bin/quillane-cli" | grep -q "NEEDED.*\(harfbuzz\|woff2\)" && fail "bin/quillane-cli links the font libraries"
"$prefix/bin/quillane-cli" fonts /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --set ascii >/dev/null ||
  fail "quillane-cli fonts does not find its helper"
# The data folder is the source's install/ folder, file for file, and the
# pictures and gallery of docs/ beside the help page.
diff -r -x pictures -x gallery -x gallery.html "$source_dir/install" "$share/quillane" >/dev/null ||
  fail "share/quillane differs from install/"
for page in index.html gallery.html; do
  refs=$(grep -o -E '(src|href)="(pictures|gallery)[^"#]*"' "$share/quillane/help/$page" | sed -E 's/^[a-z]+="//; s/"$//')
  [ -n "$refs" ] || fail "help/$page shows no pictures"
  for ref in $refs; do
    [ -f "$share/quillane/help/$ref" ] || fail "help/$ref, which help/$page shows, is not installed"
  done
done
for size in 48 256; do
  file "$share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    fail "the ${size} px icon is not ${size}x${size}"
done
grep -q "MIT License" "$share/doc/quillane/LICENSE" || fail "LICENSE is not the MIT licence"
grep -q "バージョン $version" "$share/quillane/help/index.html" || fail "the help page does not name version $version"

echo "== desktop entry, MIME types, AppStream data"
desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx "Exec=quillane %f" "$desktop" || fail "the desktop entry does not start 'quillane %f'"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
grep -q "^Name\[ja\]=" "$desktop" && grep -q "^GenericName\[ja\]=" "$desktop" || fail "no Japanese names"
for type in application/x-quillane-settings application/x-quillane-sample; do
  grep -q "^MimeType=.*$type;" "$desktop" || fail "the desktop entry does not open $type"
done
cp -r "$share/mime" "$scratch/mime"
out=$(update-mime-database "$scratch/mime" 2>&1) || fail "update-mime-database: $out"
grep -qx "50:application/x-quillane-settings:\*.qlf" "$scratch/mime/globs2" || fail "*.qlf is not a settings file"
grep -qx "50:application/x-quillane-sample:\*.smp" "$scratch/mime/globs2" || fail "*.smp is not a sample"
metainfo=$share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
tree=$(appstreamcli validate-tree --no-net "$prefix" 2>&1) || fail "appstreamcli validate-tree: $tree"
grep -q "$id.metainfo.xml" <<<"$tree" || fail "validate-tree did not find the metadata: $tree"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata does not name version $version"
grep -q '<p xml:lang="ja">' "$metainfo" && grep -q "<screenshot " "$metainfo" ||
  fail "the metadata lacks a Japanese description or a screenshot"

echo "== manual pages"
# The English pages, and the Japanese ones that a Japanese locale shows.
for page in man1/quillane man1/quillane-cli ja/man1/quillane ja/man1/quillane-cli; do
  gz=$share/man/$page.1.gz
  warnings=$(zcat "$gz" | preconv -e utf-8 | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  zcat "$gz" | grep -q "^\.TH .* \"Quillane $version\"" || fail "$page.1 does not name version $version"
done
# Every option of the command-line tool's usage has its entry.
for page in man1 ja/man1; do
  for option in --sample --v1 --modern -o --title --as-sample --author --name --no-comment --help --version; do
    zcat "$share/man/$page/quillane-cli.1.gz" | grep -qF -- "${option//-/\\-}" ||
      fail "$page/quillane-cli.1 does not describe $option"
  done
done

echo "== the installed programs"
# A fresh user: nothing of the developer's own folders is seen.
export HOME=$scratch/home QT_QPA_PLATFORM=offscreen
unset XDG_DATA_HOME
mkdir -p "$HOME"
cd "$scratch"
cli=$prefix/bin/quillane-cli
[ "$("$cli" --version)" = "quillane-cli $version" ] || fail "quillane-cli --version"
"$cli" --help | grep -q "quillane-cli samples" || fail "quillane-cli --help"
"$cli" samples >samples.txt || fail "quillane-cli samples"
(cd "$source_dir/install/sample" && ls *.smp | sed "s|^|$share/quillane/sample/|") >expected.txt
cut -f1 samples.txt | diff expected.txt - || fail "quillane-cli does not list the installed samples"
first=$(head -1 expected.txt)
"$cli" css "$first" --sample -o first.css || fail "quillane-cli css of an installed sample"
grep -q "scrollbar-face-color" first.css || fail "the installed sample made no style sheet"
if [ $editor = yes ]; then
  app=$prefix/bin/quillane
  [ "$(env -u QT_QPA_PLATFORM DISPLAY= WAYLAND_DISPLAY= "$app" --version)" = "Quillane $version" ] ||
    fail "quillane --version (without a display)"
  "$app" --help | grep -q "\[FILE\]" || fail "quillane --help"
  "$app" --list-samples 2>/dev/null | diff samples.txt - || fail "the editor's sample menu differs from quillane-cli samples"
  timeout 60 "$app" --quit-after-show 2>/dev/null || fail "the editor did not start"
  timeout 60 "$app" --quit-after-show "$first" 2>/dev/null || fail "the editor did not start with a sample"
fi

# As a user who may not write the installed folder (run as root, this needs
# another account): the user's own samples are listed after the installed ones.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  echo "== as a user who cannot write $share/quillane"
  own=$scratch/user/.local/share/quillane/sample
  mkdir -p "$own"
  cp "$first" "$own/mine.smp"
  chmod 755 "$scratch"
  chown -R nobody "$scratch/user"
  as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups env HOME="$scratch/user")
  if "${as_user[@]}" test -x "$cli"; then
    "${as_user[@]}" "$cli" samples | cut -f1 >user.txt || fail "quillane-cli samples as a user"
    { cat expected.txt; echo "$own/mine.smp"; } | diff - user.txt || fail "the user's samples are not listed after the installed ones"
    if [ $editor = yes ]; then
      "${as_user[@]}" "$prefix/bin/quillane" --list-samples 2>/dev/null | cut -f1 | diff user.txt - ||
        fail "the editor does not list the user's samples"
    fi
  else
    echo "(skipped: the user cannot reach $prefix)"
  fi
fi
echo "the installed tree under $prefix is complete"
