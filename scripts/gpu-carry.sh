#!/usr/bin/env bash
# Packs what the device check needs into .gpucarry/ for a GPU machine that has the CUDA driver
# but none of the build's libraries and no network: stripped binaries built here with CUDA, the
# libraries they load, the example scenes, and run.sh, which runs the check there from the
# repository root:   bash .gpucarry/run.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRANDEL_CUDA=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target gpu_check unit_tests strandel >/dev/null
carry=.gpucarry
rm -rf "$carry" && mkdir -p "$carry"/{bench,plugin,tests,lib}
strip -o "$carry/bench/gpu_check" "$build/bench/gpu_check"
strip -o "$carry/bench/strandel_probe.so" "$build/bench/strandel_probe.so"
strip -o "$carry/plugin/strandel.so" "$build/plugin/strandel.so"
strip -o "$carry/tests/unit_tests" "$build/tests/unit_tests"
for bin in "$build/bench/gpu_check" "$build/tests/unit_tests"; do ldd "$bin"; done |
  awk '/=>/ {print $3}' | sort -u | grep -v -E '/(libc|libm|libpthread|libdl|librt)\.so|ld-linux' |
  while read -r lib; do cp -L "$lib" "$carry/lib/"; done
# The binaries name their plug-ins by the absolute build path they were built at.
cat > "$carry/run.sh" <<RUN
#!/usr/bin/env bash
set -uo pipefail
here=\$(cd "\$(dirname "\$0")" && pwd)
mkdir -p "$(dirname "$(pwd)/$build")" && ln -sfn "\$here" "$(pwd)/$build"
export LD_LIBRARY_PATH="\$here/lib"
nvidia-smi --query-gpu=name,driver_version,memory.total --format=csv,noheader
"\$here/tests/unit_tests" --gtest_filter='Gpu*' --gtest_brief=1
"\$here/bench/gpu_check" examples
RUN
chmod +x "$carry/run.sh"
grep -qx "/$carry/" .git/info/exclude 2>/dev/null || { mkdir -p .git/info; echo "/$carry/" >> .git/info/exclude; }
du -sh "$carry"
