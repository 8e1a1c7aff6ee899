#!/usr/bin/env bash
# The GPU renderer on a machine with an NVIDIA GPU: builds with CUDA, runs the GPU unit tests on
# the device, then draws the benchmark frame and every example scene with "Renderer" set to "GPU"
# and to "CPU" and compares them. The last line printed is the summary.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
fail() { echo "gpu-check: FAIL: $*"; exit 1; }

if command -v nvidia-smi >/dev/null; then
  nvidia-smi --query-gpu=name,driver_version,memory.total --format=csv,noheader
else
  echo "gpu-check: nvidia-smi not found"
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDEL_CUDA=ON >/dev/null ||
  fail "configuring with CUDA (is nvcc installed?)"
log="$build/gpu-check-build.log"
cmake --build "$build" -j "$(nproc)" --target gpu_check unit_tests >"$log" 2>&1 || { tail -n 30 "$log"; fail "build"; }

# On a device these include the plug-in's own runtime drawing exactly what the emulated kernel draws.
"$build"/tests/unit_tests --gtest_filter='Gpu*' --gtest_brief=1
units=$?
report="$build/gpu-check.txt"
"$build"/bench/gpu_check examples | tee "$report"
check=${PIPESTATUS[0]}
if [ "$units" -ne 0 ]; then
  echo "gpu-check: FAIL: the GPU unit tests failed on the device; $(tail -n 1 "$report" | sed 's/^gpu-check: //')"
  exit 1
fi
exit "$check"
