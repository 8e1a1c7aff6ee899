#!/usr/bin/env bash
# The Wine prefix the Windows build's tests share. `start` creates it (slow the first time) and
# keeps one wineserver running for every test; `stop` ends that server and its processes.
# Usage: wine-prefix.sh WINE64 PREFIX start|stop
set -euo pipefail
wine64=$1
export WINEPREFIX=$2 WINEDEBUG=-all
wineserver=$(dirname "$wine64")/wineserver
case $3 in
start)
  mkdir -p "$WINEPREFIX"
  # Detached from ctest's output pipes, which would otherwise stay open until the server ends.
  "$wineserver" -p </dev/null >/dev/null 2>&1
  # Console programs need neither Mono nor Gecko, whose installers wait for a click, nor menu entries.
  WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=" "$wine64" wineboot --init </dev/null >"$WINEPREFIX.log" 2>&1 ||
    { cat "$WINEPREFIX.log"; exit 1; }
  ;;
stop)
  "$wineserver" -k 2>/dev/null || true # nothing to stop when start failed
  ;;
*)
  echo "usage: $0 WINE64 PREFIX start|stop" >&2
  exit 2
  ;;
esac
