#!/usr/bin/env bash
# Runs each fuzz target for the given seconds from the corpus kept in tests/fuzz and says how
# many inputs it ran and what coverage it reached. New inputs stay in the build folder. A failing
# input is saved there too: mend the fault, then copy the input into tests/fuzz/regressions/<target>/
# so that `make test` replays it from then on.
set -uo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
targets=${FUZZ_TARGETS:-curve_record scene image portable_image path triangles}
status=0
for t in $targets; do
  work=$build/fuzz-work/$t
  mkdir -p "$work/corpus" "$work/crashes"
  log=$work/log.txt
  if ! "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -timeout=20 \
      -artifact_prefix="$work/crashes/" "$work/corpus" "tests/fuzz/corpus/$t" "tests/fuzz/regressions/$t" >"$log" 2>&1; then
    status=1
    echo "fuzz $t: FAILED; the input is in $work/crashes/"
    grep -E 'ERROR|SUMMARY|runtime error|==[0-9]+==' "$log" | head -20
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  cov=$(grep -E '^#[0-9]+.*cov: [0-9]+ ft: [0-9]+' "$log" | tail -1 | sed -E 's/.*cov: ([0-9]+) ft: ([0-9]+).*/\1 edges, \2 features/')
  echo "fuzz $t: ${runs:-?} runs in $seconds s, coverage ${cov:-?}, $(ls "$work/corpus" | wc -l) inputs in its working corpus"
done
exit $status
