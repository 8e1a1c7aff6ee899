#!/usr/bin/env bash
# The CPU renderer beside Mesa's llvmpipe on the benchmark frame, in interleaved rounds, then the
# whole frame against its drawing and multi-frame rendering on one thread against two. Prints the
# medians and ratios as a table; only ratios from one run mean anything on a shared machine.
#
#   scripts/bench-compare.sh [BUILD] [ROUNDS]
#
# Needs OSMesa (Debian libosmesa6-dev; `scripts/setup.sh bench` installs it). LLVMPIPE_BENCH
# names the folder of the llvmpipe program (default: ../shared/bench/llvmpipe beside the
# repository).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-5}
source_dir=${LLVMPIPE_BENCH:-../shared/bench/llvmpipe}
[ -f "$source_dir/bench.c" ] || { echo "bench-compare: no $source_dir/bench.c (set LLVMPIPE_BENCH)" >&2; exit 2; }
for tool in "$build/bench/bench_rasterizer" "$build/bench/bench_frame" "$build/cli/strandel"; do
  [ -x "$tool" ] || { echo "bench-compare: $tool is missing; build first" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gcc -O2 -o "$work/llvmpipe" "$source_dir/bench.c" -lOSMesa -lm

# One line per figure: round, case, value by wall-clock time, value by processor time, load
# average. Processor time counts every thread of the process, and not the time that other
# processes take the core away.
results="$work/results.tsv"
load() { cut -d' ' -f1 /proc/loadavg; }
cpu_seconds() { # command...: its user + system seconds; its output goes to $work/out
  local TIMEFORMAT='%3U %3S'
  { time "$@" >"$work/out" 2>/dev/null; } 2>&1 | awk '{print $1 + $2}'
}
llvmpipe() { # case name, extra flags
  local one six
  one=$(cpu_seconds env LP_NUM_THREADS=1 "$work/llvmpipe" -n 1 "${@:2}")
  six=$(cpu_seconds env LP_NUM_THREADS=1 "$work/llvmpipe" -n 6 "${@:2}")
  # Five frames more than the run of one: start-up and pipeline compilation cancel out.
  awk -v round="$round" -v name="$1" -v one="$one" -v six="$six" -v load="$(load)" '
    /^covered pixels/ { covered = $3 } /^RESULT/ { wall = $5 }
    END { printf "%s\t%s\t%s\t%.1f\t%s\n", round, name, wall, covered * 5 / ((six - one) * 1e6), load }' \
    "$work/out" >>"$results"
}
rasterizer() { # every pixel format, with and without the depth test
  "$build/bench/bench_rasterizer" --benchmark_filter='BM_DrawFrame/' --benchmark_format=csv 2>/dev/null |
    awk -F, -v round="$round" -v load="$(load)" '
      /^"BM_DrawFrame\// { name = $1; gsub(/"|BM_DrawFrame\//, "", name); covered = $11
                           printf "%s\t%s\t%.1f\t%.1f\t%s\n", round, name, covered / ($3 * 1e3),
                                  covered / ($4 * 1e3), load }' >>"$results"
}
frame() { # milliseconds
  "$build/bench/bench_frame" --benchmark_filter='WholeFrame|StageDrawing' --benchmark_format=csv 2>/dev/null |
    awk -F, -v round="$round" -v load="$(load)" '
      /^"BM_/ { name = $1; gsub(/"|BM_/, "", name); printf "%s\tms %s\t%.1f\t%.1f\t%s\n", round, name, $3, $4, load }' \
      >>"$results"
}
frames() { # threads; seconds of wall-clock time for the whole render, as the command reports it
  local seconds
  seconds=$("$build/cli/strandel" render examples/helix.json --frames 0-59 --threads "$1" \
              -o "$work/frames/f[####].png" | sed -n 's/^Rendered .* in \([0-9.]*\) s.*/\1/p')
  printf '%s\ts 60 frames, %s thread(s)\t%s\t%s\t%s\n' "$round" "$1" "$seconds" "$seconds" "$(load)" >>"$results"
}

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores"
for round in $(seq 1 "$rounds"); do
  llvmpipe "llvmpipe"
  rasterizer
  llvmpipe "llvmpipe depth" -d
  frame
  frames 1
  frames 2
  echo "round $round of $rounds done (load $(load))" >&2
done

python3 - "$results" <<'REPORT'
import statistics, sys
rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1])]
wall, cpu = {}, {}
for _, case, by_wall, by_cpu, _ in rows:
    wall.setdefault(case, []).append(float(by_wall))
    cpu.setdefault(case, []).append(float(by_cpu))
loads = [float(r[4]) for r in rows]
med = lambda table, case: statistics.median(table[case])
print(f"\nload average during the run: {min(loads):.2f} to {max(loads):.2f} (median {statistics.median(loads):.2f})")
print("\ncovered pixels per second (millions), medians of the rounds; ratios against llvmpipe with the same depth test")
print("\n| case | by wall clock | range | ratio | by processor time | range | ratio |")
print("|---|---|---|---|---|---|---|")
for case in ["llvmpipe", "llvmpipe depth", "argb8", "argb8_depth", "argb16", "argb16_depth", "argb_float",
             "argb_float_depth"]:
    if case not in wall:
        continue
    base = "llvmpipe depth" if case.endswith("depth") else "llvmpipe"
    cells = []
    for table in (wall, cpu):
        v = table[case]
        cells += [f"{med(table, case):.1f}", f"{min(v):.1f} to {max(v):.1f}", f"{med(table, case) / med(table, base):.2f}"]
    print(f"| {case} | " + " | ".join(cells) + " |")
for table, clock in ((wall, "wall clock"), (cpu, "processor time")):
    whole, drawing = med(table, "ms WholeFrameThroughThePlugin"), med(table, "ms StageDrawing")
    print(f"\nwhole frame {whole:.0f} ms, drawing {drawing:.0f} ms by {clock}: {whole / drawing:.2f} times the drawing")
one, two = med(wall, "s 60 frames, 1 thread(s)"), med(wall, "s 60 frames, 2 thread(s)")
print(f"\n60 frames of examples/helix.json: {one:.2f} s on one thread, {two:.2f} s on two: {one / two:.2f} times as fast")
REPORT
