# Shared by the benchmark scripts: required tools and peak memory.

bench_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install hyperfine time python3)"; exit 1; }
  done
}

# Peak resident set size in KiB of a command: the median of RUNS runs.
bench_peak_kib() {
  local runs=$1
  shift
  for _ in $(seq "$runs"); do /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; done | sort -n |
    sed -n "$(((runs + 1) / 2))p"
}
