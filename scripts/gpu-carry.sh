#!/usr/bin/env bash
# Packs what the device check needs into .gpucarry/ for a GPU machine that has the NVIDIA driver
# but none of the build's libraries and no network: stripped binaries built here with the kernel
# image, the stand-in driver the exact-match test compares with, the libraries they load, and
# run.sh, which runs the check there from the repository root:   bash .gpucarry/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
# Its own build folder: CUDA on, and out of the way of the everyday build.
build=${BUILD:-build-gpu}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDEL_CUDA=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target gpu_check gpu_tests strandel >/dev/null
carry=.gpucarry
rm -rf "$carry" && mkdir -p "$carry"/{bench/probe,plugin,tests/standin,lib}
strip -o "$carry/bench/gpu_check" "$build/bench/gpu_check"
strip -o "$carry/bench/probe/strandel_probe.so" "$build/bench/probe/strandel_probe.so"
strip -o "$carry/plugin/strandel.so" "$build/plugin/strandel.so"
strip -o "$carry/tests/gpu_tests" "$build/tests/gpu_tests"
strip -o "$carry/tests/standin/libcuda.so.1" "$build/tests/standin/libcuda.so.1"
for bin in "$build/bench/gpu_check" "$build/tests/gpu_tests"; do ldd "$bin"; done |
  awk '/=>/ {print $3}' | sort -u | grep -v -E '/(libc|libm|libpthread|libdl|librt)\.so|ld-linux' |
  while read -r lib; do cp -L "$lib" "$carry/lib/"; done
# The binaries find their plug-ins and the stand-in relative to themselves, in the build folder's
# layout kept here. The driver is the machine's own, found through its library path.
cat > "$carry/run.sh" <<RUN
#!/usr/bin/env bash
set -uo pipefail
here=\$(cd "\$(dirname "\$0")" && pwd)
export LD_LIBRARY_PATH="\$here/lib\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}"
nvidia-smi --query-gpu=name,driver_version,memory.total --format=csv,noheader
"\$here/tests/gpu_tests" --gtest_filter='RealDriverTest.*' --gtest_brief=1
"\$here/bench/gpu_check" examples
RUN
chmod +x "$carry/run.sh"
exclude=$(git rev-parse --git-path info/exclude)
grep -qx "/$carry/" "$exclude" 2>/dev/null || { mkdir -p "$(dirname "$exclude")"; echo "/$carry/" >> "$exclude"; }
du -sh "$carry"
