#!/usr/bin/env bash
# Puts one-line faults into the core, one at a time, and counts how many the
# tests catch. Each mutant of mutants.txt is a line
#
#   FILE <tab> TEXT <tab> REPLACEMENT
#
# TEXT must stand exactly once in FILE. The mutant is applied to a scratch
# copy of the checked-in tree, the core and command-line tests are rebuilt
# and run, and the copy is put back. A mutant is killed when a test fails,
# stillborn when it does not compile, stale when TEXT is no longer there.
#
#   tests/mutation/run.sh [MUTANTS-FILE] [NAME-FILTER]
#
# Run by hand: it rebuilds once per mutant and takes a while.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
list=${1:-$here/mutants.txt}
filter=${2:-}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$top" && git ls-files -z | xargs -0 cp --parents -t "$scratch")
cmake -S "$scratch" -B "$scratch/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLANE_BUILD_GUI=OFF \
  >"$scratch/configure.log" || { cat "$scratch/configure.log"; exit 2; }
targets=(core_tests cli_tests quillane-cli application_folder)

build() { cmake --build "$scratch/build" -j "$(nproc)" --target "${targets[@]}" >"$scratch/build.log" 2>&1; }
passes() {
  local program
  for program in core_tests cli_tests; do
    timeout 300 "$scratch/build/bin/$program" --gtest_brief=1 >"$scratch/test.log" 2>&1 || return 1
  done
}

build || { tail -30 "$scratch/build.log"; echo "the unmutated tree does not build"; exit 2; }
passes || { tail -30 "$scratch/test.log"; echo "the unmutated tree fails its tests"; exit 2; }

killed=0 survived=0 stillborn=0 stale=0
survivors=()
while IFS=$'\t' read -r file text replacement; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  [[ -n "$filter" && "$file$text" != *"$filter"* ]] && continue
  target="$scratch/$file"
  original=$(cat "$target"; printf x)
  original=${original%x}
  rest=${original#*"$text"}
  if [[ "$rest" == "$original" || "$rest" == *"$text"* ]]; then
    echo "stale     $file: $text"
    stale=$((stale + 1))
    continue
  fi
  printf '%s' "${original/"$text"/"$replacement"}" >"$target"
  if ! build; then
    verdict=stillborn
    stillborn=$((stillborn + 1))
  elif passes; then
    verdict=SURVIVED
    survived=$((survived + 1))
    survivors+=("$file: $text -> $replacement")
  else
    verdict=killed
    killed=$((killed + 1))
  fi
  printf '%s' "$original" >"$target"
  echo "$verdict $(printf '%*s' $((9 - ${#verdict})) '')$file: $text -> $replacement"
done <"$list"
build >/dev/null

tried=$((killed + survived))
echo
echo "score: $killed of $tried killed ($stillborn stillborn, $stale stale)"
if ((survived > 0)); then
  echo "survivors:"
  printf '  %s\n' "${survivors[@]}"
fi
