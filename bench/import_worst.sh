#!/usr/bin/env bash
# Times `quillane-cli import` as a whole process on the inputs that cost a
# reader the most, from 10 KB to 16 MiB: CPU seconds per MiB and peak
# resident memory against the input's size (the targets: 2 s per MiB and 10
# times the input).
#   bench/import_worst.sh [quillane-cli] [sizes...]
#   (default: build/bin/quillane-cli; 10240 102400 1048576 4194304 16777215)
# QUILLANE_BENCH_KINDS picks some of the inputs (all by default).
# A run is stopped after $QUILLANE_BENCH_CPU_LIMIT seconds of CPU time (600)
# and shown as "stopped". "added/in" is the peak less that of importing an
# empty file (the process itself), against the input's size.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
bench_require /usr/bin/time python3
cli=${1:-build/bin/quillane-cli}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10240 102400 1048576 4194304 16777215)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes the input of kind $1, $2 bytes long, to $3: one piece repeated
# after a head (and before a tail), cut to the size.
make_input() {
  python3 - "$1" "$2" "$3" <<'EOF'
import sys
kind, size, path = sys.argv[1], int(sys.argv[2]), sys.argv[3]
head, piece, tail = {
    "nested-media": ("", "@media a{", ""),
    "unclosed-supports": ("", "@supports (a:b){", ""),
    "title-amp": ("<html><head><title>", "&", "</title></head></html>"),
    "paren-value": ("p{color:", "(", ""),
    "curly": ("", "{", ""),
    "rules": ("", "p{color:#F00}", ""),
    "nested-rules": ("", "p{a{", ""),
    "declarations": ("p{margin:0;", "color:#F00;", "}"),
    "dark-rules": (":root{color-scheme:light dark}p{color:#333}@media (prefers-color-scheme:dark){", "p{color:#EEE}", "}"),
    "gradient-rule": ("body{background-color:#FFF;background-image:linear-gradient(#FFF,#000);", "color:#F00;", "}"),
}[kind]
body = size - len(head) - len(tail)
text = head + piece * (body // len(piece)) + tail
with open(path, "w") as f:
    f.write(text)
EOF
}

: >"$work/empty.css"
base=$(bench_peak_kib 5 "$cli" import "$work/empty.css")
echo "peak of importing an empty file: $base KiB"
printf '%-18s %10s %9s %9s %10s %9s\n' input bytes seconds s/MiB "peak KiB" added/in
for kind in ${QUILLANE_BENCH_KINDS:-nested-media unclosed-supports title-amp paren-value curly rules nested-rules declarations dark-rules gradient-rule}; do
  for size in "${sizes[@]}"; do
    suffix=css
    [ "$kind" = title-amp ] && suffix=html
    input="$work/$kind.$suffix"
    make_input "$kind" "$size" "$input"
    bytes=$(stat -c %s "$input")
    # user+system CPU seconds and peak KiB; ulimit -t stops a run that would not end.
    if measured=$( (ulimit -t "${QUILLANE_BENCH_CPU_LIMIT:-600}"; /usr/bin/time -f '%U %S %M' "$cli" import "$input" -o "$work/out.qlf" \
      2>&1 >/dev/null | tail -1) ) && [[ $measured =~ ^[0-9.]+\ [0-9.]+\ [0-9]+$ ]]; then
      read -r user sys peak <<<"$measured"
      awk -v k="$kind" -v b="$bytes" -v u="$user" -v s="$sys" -v p="$peak" -v base="$base" 'BEGIN {
        t = u + s; printf "%-18s %10d %9.2f %9.2f %10d %9.1f\n", k, b, t, t / (b / 1048576), p, (p - base) * 1024 / b }'
    else
      printf '%-18s %10d %9s\n' "$kind" "$bytes" stopped
    fi
  done
done
