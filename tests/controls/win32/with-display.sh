#!/usr/bin/env bash
# Runs a Windows program under the build's Wine with an X display of its own:
# Win32 windows get their sizes only from a real display driver.
# Usage: with-display.sh WINE_RUN PREFIX PROGRAM [ARGUMENTS...]
set -euo pipefail
wine_run=$1 prefix=$2
shift 2
xvfb_pid=''
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true' EXIT
. "$(dirname "$0")/../../support/own_display.sh"
own_display 141 190 || { echo "with-display: no X display could be started" >&2; exit 1; }
# Wine keeps one desktop per prefix, on the display of the program that made
# it; one left by a program without a display must end first.
prefix_desktop() {
  local pid
  for pid in $(pgrep -f 'explorer.exe /desktop'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" && echo "$pid"
  done
  return 0
}
for _ in $(seq 300); do
  [ -z "$(prefix_desktop)" ] && break
  sleep 0.1
done
timeout 120 "$wine_run" "$@" </dev/null
