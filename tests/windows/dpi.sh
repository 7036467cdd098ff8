#!/usr/bin/env bash
# ombrix.exe on a desktop of DPI dots per inch, under Wine on a display of its
# own: the prefix's LogPixels is set first. The main window, and the scan
# window after a scan with a finding, stand as their descriptions say at that
# DPI (the driver's `layout`: places, whole texts, icon sizes), a screen reader
# names their controls, and the keyboard alone starts the scan, opens the
# finding menu and closes the window.
# Repair is off: the finding stays. A screenshot of each window goes to the
# screenshots folder.
#
# Usage: dpi.sh OMBRIX_EXE WINDRIVER_EXE WINE_RUN D_DRIVE_FOLDER DPI SCREENSHOT_FOLDER
set -euo pipefail
ombrix=$(realpath "$1") driver=$(realpath "$2") wine_run=$(realpath "$3")
drive_d=$(realpath -m "$4") dpi=$5 shots=$(realpath -m "$6")
key='Software\OmbrixDpi'

xvfb_pid='' ombrix_pid='' work=''
fail() {
  echo "FAIL at $dpi DPI: $*" >&2
  exit 1
}
cleanup() {
  [ -n "$ombrix_pid" ] && kill "$ombrix_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$work" ] && rm -rf "$work"
  return 0
}
trap cleanup EXIT

run() { timeout 60 "$wine_run" "$@" </dev/null; }
drive() { run "$driver" "$@"; }
lines() { tr -d '\r'; }
# Every control has a name, but the rules and a label while it shows nothing.
named() {
  local heard
  heard=$(drive wait "$1" accessible | lines | cut -f1,2) || fail "no screen reader's view of \"$1\""
  ! grep -vxE '.+	[a-z ]+|	(separator|static text)' <<<"$heard" ||
    fail "a screen reader cannot name these controls of \"$1\" (name, role above)"
}

. "$(dirname "$0")/../support/wine_display.sh"
own_display 191 240 || fail "no X display could be started"

# The prefix is made by its first program; every program after the change
# starts at the new DPI once the desktop of the earlier ones has gone.
run reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
prefix=$(dirname "$(dirname "$drive_d")")/prefix
await_no_desktop "$prefix" || fail "a desktop of other Wine programs stays in the prefix"

mkdir -p "$shots" "$drive_d"
work=$(mktemp -d "$drive_d/dpi.XXXXXX")
name=$(basename "$work")
mkdir -p "$work/prog" "$work/scan/a"
cp "$ombrix" "$(dirname "$ombrix")/ombrix.ini" "$work/prog/"
printf x >"$work/scan/a/eicar.com"
cd "$work"

run reg delete "HKCU\\$key" /f >/dev/null 2>&1 || true
for pair in 'AutoRepair=0' 'Scan SubFolders=1' 'Scan All=0' 'Ombrix Last Check=2005-08-12 14:03:09'; do
  run reg add "HKCU\\$key" /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null
done

timeout 120 "$wine_run" "D:\\$name\\prog\\ombrix.exe" -i "k=$key" </dev/null >/dev/null 2>&1 &
ombrix_pid=$!
drive wait 'Varno Ombrix' layout main "$dpi" || fail "the main window"
named 'Varno Ombrix'
command -v import >/dev/null && import -window root -crop "$(drive wait 'Varno Ombrix' rect | lines)" +repage \
  "$shots/main-window-$dpi.png"

# From the tree, four Tabs lead to the scan link.
drive wait 'Varno Ombrix' tree-dblclick 'D:\' tree-dblclick "$name" tree-click scan \
  keys tab,tab,tab,tab,enter message 'Scan Complete - Problems were found!' ||
  fail "Enter on the scan link started no scan"
drive wait 'Varno Ombrix - Scanning' layout scan "$dpi" || fail "the scan window"
named 'Varno Ombrix - Scanning'
command -v import >/dev/null && import -window root -crop "$(drive wait 'Varno Ombrix - Scanning' rect | lines)" \
  +repage "$shots/scan-window-$dpi.png"
drive wait 'Varno Ombrix - Scanning' row-click 1 keys apps menu-open keys escape,escape \
  gone 'Varno Ombrix - Scanning' wait 'Varno Ombrix' close gone 'Varno Ombrix' ||
  fail "the keyboard opened no finding menu, or Esc left the scan window open"
wait "$ombrix_pid" || fail "ombrix.exe ended with status $?"
ombrix_pid=''
[ -e "$work/scan/a/eicar.com" ] || fail "the finding was removed with repair off"
run reg delete "HKCU\\$key" /f >/dev/null
echo "PASS at $dpi DPI"
