#!/usr/bin/env bash
# The device state through the strandel command: 2 (GPU) with the stand-in driver where the
# system's library search finds it, 3 (CPU fallback) without it. The command renders one frame
# with "Renderer" set to "GPU" through the probe copy of the plug-in, which prints its state when
# it is unloaded.
#   device-state.sh linux STRANDEL PROBE STANDIN_FOLDER SCENE WORK
#   device-state.sh wine WINE64 PREFIX STRANDEL_EXE PROBE_AEX STANDIN_DLL SCENE WORK
# Under Wine the search finds the stand-in beside strandel.exe; without a Windows strandel.exe the
# test is skipped (exit 77).
set -euo pipefail

# expect STATE WHAT COMMAND...: runs the render and compares the state the probe printed.
expect() {
  local expected=$1 what=$2 log state
  shift 2
  log=$("$@" 2>&1) || { printf '%s\n' "$log"; echo "FAIL: the render $what failed"; exit 1; }
  # Windows programs end their lines with CR LF.
  state=$(tr -d '\r' <<<"$log" | sed -n 's/^strandel probe: device state //p' | tail -n 1)
  [ "$state" = "$expected" ] || { printf '%s\n' "$log"; echo "FAIL: device state '$state' $what, expected $expected"; exit 1; }
  echo "device state $state $what"
}

mode=$1
shift
case $mode in
linux)
  cli=$1 probe=$2 standin=$3 scene=$4 work=$5
  mkdir -p "$work"
  render=(--plugin "$probe" render "$scene" --frame 10 --resolution quarter --set Renderer=GPU)
  expect 2 "with the stand-in on LD_LIBRARY_PATH" env LD_LIBRARY_PATH="$standin" "$cli" "${render[@]}" -o "$work/with.png"
  expect 3 "without it" env -u LD_LIBRARY_PATH "$cli" "${render[@]}" -o "$work/without.png"
  ;;
wine)
  wine64=$1 prefix=$2 exe=$3 probe=$4 standin=$5 scene=$6 work=$7
  [ -f "$exe" ] || { echo "skipped: no Windows strandel command at $exe"; exit 77; }
  export WINEPREFIX=$prefix WINEDEBUG=-all
  if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    # Console programs need neither Mono nor Gecko, whose installers wait for a click.
    WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" "$wine64" wineboot --init </dev/null >"$prefix.log" 2>&1 ||
      { cat "$prefix.log"; exit 1; }
  fi
  rm -rf "$work" && mkdir -p "$work/with" "$work/without"
  cp "$exe" "$standin" "$work/with/"
  cp "$exe" "$work/without/"
  render=(--plugin "$probe" render "$scene" --frame 10 --resolution quarter --set Renderer=GPU)
  expect 2 "with nvcuda.dll beside strandel.exe" "$wine64" "$work/with/$(basename "$exe")" "${render[@]}" -o "$work/with/out.png"
  expect 3 "without it" "$wine64" "$work/without/$(basename "$exe")" "${render[@]}" -o "$work/without/out.png"
  # The server is left running: the tests beside this one share it, and a Wine program whose
  # server is killed exits with 0 having written only part of its frames.
  ;;
*)
  echo "usage: $0 linux|wine ..." >&2
  exit 2
  ;;
esac
