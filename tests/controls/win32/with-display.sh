#!/usr/bin/env bash
# Runs a Windows program under the build's Wine with an X display of its own:
# Win32 windows get their sizes only from a real display driver.
# Usage: with-display.sh WINE_RUN PREFIX PROGRAM [ARGUMENTS...]
set -euo pipefail
wine_run=$1 prefix=$2
shift 2
xvfb_pid=''
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true' EXIT
. "$(dirname "$0")/../../support/wine_display.sh"
own_display 141 190 || { echo "with-display: no X display could be started" >&2; exit 1; }
await_no_desktop "$prefix" || true
timeout 120 "$wine_run" "$@" </dev/null
