#!/usr/bin/env bash
# Native fuzzing of the platform-free sources.
#   fuzz.sh replay   build, then run each target a few seconds over its corpus
#                    (part of the tests: every input we ever kept is run again)
#   fuzz.sh run      build, then fuzz each target for FUZZ_SECONDS (default 60)
# New inputs a run finds go to build/native-fuzz/found/NAME, never into the
# committed corpus; a crash input is left in build/native-fuzz/crashes.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-replay}
out="$here/build/native-fuzz"
cmake -S "$here/fuzz" -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$out" >/dev/null
case "$mode" in
  replay) seconds=${FUZZ_REPLAY_SECONDS:-3} ;;
  run) seconds=${FUZZ_SECONDS:-60} ;;
  *) echo "usage: fuzz.sh replay|run" >&2; exit 2 ;;
esac
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$out/crashes"
status=0
for bin in "$out"/*_fuzz; do
  name=$(basename "$bin" _fuzz)
  # FUZZ_TARGETS="a b" limits a run to those targets.
  [ -z "${FUZZ_TARGETS:-}" ] || [[ " $FUZZ_TARGETS " == *" $name "* ]] || continue
  corpus="$here/tests/fuzz/corpus/$name"
  found="$out/found/$name"
  mkdir -p "$found" "$corpus"
  dict=()
  [ -f "$here/tests/fuzz/$name.dict" ] && dict=(-dict="$here/tests/fuzz/$name.dict")
  log="$out/$name.log"
  if "$bin" "$found" "$corpus" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -artifact_prefix="$out/crashes/$name-" -print_final_stats=1 >"$log" 2>&1; then
    execs=$(grep -a -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1 || echo '?')
    cov=$(grep -a -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 || echo '?')
    echo "fuzz $name: ok, $execs executions, $cov"
  else
    echo "fuzz $name: FAILED (see $log)"
    grep -a -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -5
    status=1
  fi
done
exit $status
