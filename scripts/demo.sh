#!/usr/bin/env bash
# Renders every example scene into out/ and says where the images are.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
strandel="$build/cli/strandel"
mkdir -p out

shopt -s nullglob
scenes=(examples/*.json)
if [ ${#scenes[@]} -eq 0 ]; then
  echo "demo: no example scenes yet"
  exit 0
fi
for scene in "${scenes[@]}"; do
  name=$(basename "$scene" .json)
  "$strandel" render "$scene" -o "out/${name}_[####].png"
done
# One path of each preset, generated onto the helix example's Path Layer, and a frame of each.
for preset in "Helix" "Tornado Helix" "Wave" "Figure Eight"; do
  name="preset_$(echo "$preset" | tr 'A-Z ' 'a-z_')"
  "$strandel" generate-path examples/helix.json --set "Preset=$preset" -o "out/$name.json"
  "$strandel" render "out/$name.json" --frame 0 -o "out/${name}_[####].png"
done
echo "demo: images are in $(pwd)/out"
