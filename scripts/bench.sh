#!/usr/bin/env bash
# Runs every benchmark once; figures and the machine they came from belong in bench/README.md.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
done
