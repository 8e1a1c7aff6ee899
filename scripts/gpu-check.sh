#!/usr/bin/env bash
# The GPU renderer on a machine with an NVIDIA GPU, through the shipped code path: the plug-in
# loads the CUDA driver at run time. Builds with the kernel image, checks that the device draws
# exactly what the stand-in driver draws on the CPU, then draws the benchmark frame and every
# example scene with "Renderer" set to "GPU" and to "CPU" and compares them. The last line
# printed is the summary.
set -uo pipefail
cd "$(dirname "$0")/.."
# Its own build folder: CUDA on, and out of the way of the everyday build.
build=${BUILD:-build-gpu}
fail() { echo "gpu-check: FAIL: $*"; exit 1; }

if command -v nvidia-smi >/dev/null; then
  nvidia-smi --query-gpu=name,driver_version,memory.total --format=csv,noheader
else
  echo "gpu-check: nvidia-smi not found"
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDEL_CUDA=ON >/dev/null ||
  fail "configuring with CUDA (is nvcc installed?)"
log="$build/gpu-check-build.log"
cmake --build "$build" -j "$(nproc)" --target gpu_check gpu_tests >"$log" 2>&1 || { tail -n 30 "$log"; fail "build"; }

# Without the stand-in's folder on the library path, so that the system's driver is found.
"$build"/tests/gpu_tests --gtest_filter='RealDriverTest.*' --gtest_brief=1
exact=$?
report="$build/gpu-check.txt"
"$build"/bench/gpu_check examples | tee "$report"
check=${PIPESTATUS[0]}
if [ "$exact" -ne 0 ]; then
  echo "gpu-check: FAIL: the device did not draw what the stand-in draws; $(tail -n 1 "$report" | sed 's/^gpu-check: //')"
  exit 1
fi
exit "$check"
