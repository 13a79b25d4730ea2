#!/bin/sh
# Makes src/fonts/joyo_kanji.inc, the 2,136 kanji of the 常用漢字表 (2010) as
# one UTF-8 string literal, from KANJIDIC (Electronic Dictionary Research and
# Development Group, Creative Commons Attribution-ShareAlike 3.0), as
# Debian's package `kanjidic` installs it:
#
#   apt-get install kanjidic && scripts/make-joyo-kanji.sh
#
# KANJIDIC grades the 常用 kanji G1 to G6 (taught in primary school) and G8
# (the others). It is a JIS X 0208 file, which lacks four kanji of the 2010
# list; they are added by hand: 𠮟 U+20B9F, 塡 U+5861, 剝 U+525D and 頰
# U+9830 (JIS X 0208 has only 叱, 填, 剥 and 頬, which the list allows in
# their place and KANJIDIC leaves ungraded). Only this script needs the
# package; the program carries the file it makes.
set -eu
source=${1:-/usr/share/edict/kanjidic}
out=$(dirname "$0")/../src/fonts/joyo_kanji.inc
kanji=$(iconv -f EUC-JP -t UTF-8 "$source" | awk '/ G([1-6]|8) / { print $1 }')
kanji=$(printf '%s\n𠮟\n塡\n剝\n頰\n' "$kanji" | LC_ALL=C.UTF-8 sort -u)
count=$(printf '%s\n' "$kanji" | wc -l)
[ "$count" -eq 2136 ] || { echo "make-joyo-kanji.sh: $count kanji, not 2136" >&2; exit 1; }
{
  echo "// Made by scripts/make-joyo-kanji.sh from KANJIDIC (EDRDG, CC BY-SA 3.0): the"
  echo "// 2,136 kanji of the 常用漢字表, in code point order, 30 a line."
  printf '%s\n' "$kanji" | awk '{ line = line $0 } NR % 30 == 0 { print "\"" line "\""; line = "" } END { if (line != "") print "\"" line "\"" }'
} > "$out"
