#!/usr/bin/env bash
# ombrix.exe end to end under Wine, on a virtual X display of its own:
#  1. the main window: the stored options and last-scan values, "Please select
#     a drive to scan", the tree down to a temporary folder with findings;
#  2. the scan: the list's rows (threat names, full paths, icons), the labels,
#     the seven values in the registry, "Delete this File" on a file that cannot
#     be deleted and then can, the greyed entry, "Open Folder" (explorer.exe);
#  3. Close brings the main window back; "Check for Updates" starts update.exe;
#     a clean scan closes its window itself;
#  4. the quarantine window: the files the scan removed wait on D:; Enter
#     restores one, byte for byte;
#  5. /scannow on D: with repair off: no window, the values, every file kept.
# What a screen reader hears of each window is checked on the way.
# A screenshot of each window goes to the screenshots folder.
#
# Usage: end_to_end.sh OMBRIX_EXE WINDRIVER_EXE WINE_RUN D_DRIVE_FOLDER SCREENSHOT_FOLDER QUARANTINE_WINDOW_EXE
set -euo pipefail
ombrix=$(realpath "$1") driver=$(realpath "$2") wine_run=$(realpath "$3")
drive_d=$(realpath -m "$4") shots=$(realpath -m "$5") quarantine_window=$(realpath "$6")
key='Software\OmbrixEndToEnd'

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$ombrix_pid" ] && ! kill -0 "$ombrix_pid" 2>/dev/null; then
    status=0
    wait "$ombrix_pid" || status=$?
    echo "ombrix.exe had ended with status $status" >&2
    ombrix_pid=''
  fi
  [ -n "$work" ] && [ -s "$work/ombrix.log" ] && sed 's/^/ombrix.exe: /' "$work/ombrix.log" >&2
  exit 1
}

run() { timeout 60 "$wine_run" "$@" </dev/null; }
drive() { run "$driver" "$@"; }
# Wine ends its lines with CR LF.
lines() { tr -d '\r'; }

xvfb_pid='' ombrix_pid='' explorer_pid='' work=''
cleanup() {
  [ -n "$explorer_pid" ] && kill "$explorer_pid" 2>/dev/null || true
  [ -n "$ombrix_pid" ] && kill "$ombrix_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$work" ] && chmod -R u+w "$work" 2>/dev/null && rm -rf "$work"
  return 0
}
trap cleanup EXIT

# A display of our own, for every Wine program here: the first free number from 90.
. "$(dirname "$0")/../support/wine_display.sh"
own_display 90 140 || fail "no X display could be started"

# The build's prefix first: making it empties the drive folders. Wine's
# programs start in a folder of a drive.
run reg query 'HKCU\Software\Wine\X11 Driver' >/dev/null 2>&1
cd "$drive_d"

prefix=$(dirname "$(dirname "$drive_d")")/prefix
await_no_desktop "$prefix" || fail "a desktop of other Wine programs stays in the prefix"
mkdir -p "$shots"
# Screenshots need imagemagick's import; without it the checks still run.
command -v import >/dev/null || echo "note: imagemagick's import is missing: no screenshots" >&2
shoot() {  # name geometry
  command -v import >/dev/null || return 0
  import -window root -crop "$2" +repage "$shots/$1.png"
}

# The program folder and a tree with findings, on D: inside the prefix.
work=$(mktemp -d "$drive_d/e2e.XXXXXX")
name=$(basename "$work")
win="D:\\$name"
mkdir -p "$work/prog" "$work/scan/a" "$work/scan/b" "$work/scan/c/d"
cp "$ombrix" "$(dirname "$ombrix")/ombrix.ini" "$work/prog/"
cp "$driver" "$work/prog/update.exe"
printf x >"$work/scan/a/eicar.com"
printf x >"$work/scan/a/readme.txt"
printf x >"$work/scan/b/eicarcom2.zip"
chmod 444 "$work/scan/b/eicarcom2.zip"  # Wine: read-only, so it cannot be deleted
printf x >"$work/scan/c/d/EICAR_COM.ZIP"
printf x >"$work/scan/clean.txt"
cd "$work"

# The settings the program starts from, under a key of this test's own.
run reg delete "HKCU\\$key" /f >/dev/null 2>&1 || true
setting() { run reg add "HKCU\\$key" /v "$1" /d "$2" /f >/dev/null; }
setting AutoRepair 1
setting 'Scan SubFolders' 1
setting 'Scan All' 0
setting 'Ombrix Last Check' '2005-08-12 14:03:09'
# What a screen reader hears of a window's controls: each has a name (but the
# rules, which only divide, and a label while it shows nothing) and the pairs
# "name<TAB>role" given are among them.
hears() {  # title, pairs...
  local title=$1 heard
  shift
  heard=$(drive wait "$title" accessible | lines | cut -f1,2)
  ! grep -vxE '.+	[a-z ]+|	(separator|static text)' <<<"$heard" ||
    fail "a screen reader cannot name these controls of \"$title\" (name, role above)"
  for pair in "$@"; do
    grep -qxF "$pair" <<<"$heard" || fail "a screen reader does not hear \"$pair\" in \"$title\""
  done
}
value() {  # name -> the stored text
  run reg query "HKCU\\$key" /v "$1" | lines | sed -n "s/^ *$1 *REG_SZ *//p"
}

# 1. The main window.
timeout 150 "$wine_run" "$win\\prog\\ombrix.exe" -i "k=$key" </dev/null >"$work/ombrix.log" 2>&1 &
ombrix_pid=$!
texts=$(drive wait 'Varno Ombrix' texts | lines) || fail "the main window did not open"
for text in 'Scan subfolders' 'Scan all Files' 'Scan everything, not just documents.' \
  'Attempt to remove threats.' 'Clear this if you only want us to notify you of threats.' 'Scan Location:' \
  'D:\' 'Scanned:  2005-08-12 14:03:09' 'Files Scanned:  ?' 'Files Infected:  ?' \
  'Scan Now for Computer Threats' 'Check for Updates'; do
  grep -qxF -e "$text	Static" -e "$text	Button" <<<"$texts" ||
    fail "the main window does not show \"$text\""
done
hears 'Varno Ombrix' 'Drives and folders	outline' 'Scan subfolders	check button' 'Options	graphic' \
  'Scan Now for Computer Threats	link' 'Check for Updates	link' 'Scanned:  2005-08-12 14:03:09	static text'
shoot main-window "$(drive wait 'Varno Ombrix' rect | lines)"

drive wait 'Varno Ombrix' tree-click 'My Computer' click 'Scan Now for Computer Threats' \
  message 'Please select a drive to scan'
drive wait 'Varno Ombrix' tree-dblclick 'D:\' tree-dblclick "$name" tree-click scan
drive wait 'Varno Ombrix' texts | lines | grep -qxF "$win\\scan	Static" || fail "the scan location is not $win\\scan"

# 2. The scan: all three found, two removed, the read-only one stays.
drive wait 'Varno Ombrix' click 'Scan Now for Computer Threats' \
  message 'Scan Complete - Problems were found!'
drive wait "Varno Ombrix - Scanning:  $win\\scan" >/dev/null
texts=$(drive wait 'Varno Ombrix - Scanning' texts | lines)
for text in 'Scan Complete - Problems were found!	Static' 'Scanning for 4 items.	Static' 'Dirs: 5	Static' \
  'Files: 5	Static' 'Detected:  3	Static' 'Fixed:  2	Static' 'Close	Button'; do
  grep -qxF "$text" <<<"$texts" || fail "the scan window does not show \"$text\""
done
# Rows: name, path, icon (0 redbug, 1 greenbug), selected.
rows=$(drive wait 'Varno Ombrix - Scanning' rows | lines | sort)
expected=$(printf '%s\t%s\t%s\t1\n' \
  EICAR-Test-File "$win\\scan\\a\\eicar.com" 1 \
  EICAR-Test-File.Zip "$win\\scan\\c\\d\\EICAR_COM.ZIP" 1 \
  EICAR-Test-File.Zip2 "$win\\scan\\b\\eicarcom2.zip" 0 | sort)
[ "$rows" = "$expected" ] || fail "the list shows
$rows
instead of
$expected"
[ -e "$work/scan/a/eicar.com" ] && fail "eicar.com was not removed"
[ -e "$work/scan/b/eicarcom2.zip" ] || fail "the read-only file went"
for pair in 'Status=255' 'UnabletoClean=1' 'Found=4' 'Looked For=4' 'FileCount=5' 'DirCount=5'; do
  [ "$(value "${pair%%=*}")" = "${pair#*=}" ] || fail "registry: ${pair%%=*} is \"$(value "${pair%%=*}")\", not \"${pair#*=}\""
done
value 'Last Check' | grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' || fail "registry: Last Check"
hears 'Varno Ombrix - Scanning' 'Progress	grouping' 'Findings	list' 'Close	push button' \
  'Detected:  3	static text'
scan_rect=$(drive wait 'Varno Ombrix - Scanning' rect | lines)
shoot scan-window "$scan_rect"

# The red row, and the popup menu over it.
red=$(drive wait 'Varno Ombrix - Scanning' rows | lines | awk -F'\t' '$3 == 0 { print NR }')
drive wait 'Varno Ombrix - Scanning' row-rclick "$red" menu-open
shoot menu-delete-usable "$scan_rect"
drive keys down,enter message 'Unable to kill this file'
chmod 644 "$work/scan/b/eicarcom2.zip"
drive wait 'Varno Ombrix - Scanning' row-rclick "$red" menu-open keys down,enter sleep 300
[ -e "$work/scan/b/eicarcom2.zip" ] && fail "\"Delete this File\" left the file"
drive wait 'Varno Ombrix - Scanning' rows | lines | awk -F'\t' -v r="$red" 'NR == r && $3 != 1 { exit 1 }' ||
  fail "the deleted file's row is not greenbug"
# The keyboard's menu keys open the menu over the list too.
for keys in apps shift+f10; do
  drive wait 'Varno Ombrix - Scanning' row-click "$red" keys "$keys" menu-open keys escape ||
    fail "$keys opens no menu over the list"
done
# Now gone: the entry is greyed, "Open Folder" still works.
drive wait 'Varno Ombrix - Scanning' row-rclick "$red" menu-open
shoot menu-delete-greyed "$scan_rect"
drive keys down,down,enter
folder="explorer.exe $win\\scan\\b\\"
for _ in $(seq 100); do
  explorer_pid=$(ps -eo pid=,args= | want=$folder awk '{ pid = $1; $1 = ""; sub(/^ /, "") } $0 == ENVIRON["want"] { print pid }')
  [ -n "$explorer_pid" ] && break
  sleep 0.1
done
[ -n "$explorer_pid" ] || fail "no \"$folder\" was started"
kill "$explorer_pid"
explorer_pid=''

# 3. Close brings the main window back; the updater starts beside the program.
# Enter on the focused Close button (Tab leads there from the list).
drive wait 'Varno Ombrix - Scanning' row-click 1 keys tab,enter gone 'Varno Ombrix - Scanning' \
  wait 'Varno Ombrix' click 'Check for Updates'
for _ in $(seq 100); do
  [ -s "$work/prog/update-started" ] && break
  sleep 0.1
done
[ -s "$work/prog/update-started" ] || fail "\"Check for Updates\" did not start update.exe"
# It was given the main window's frame, to open over it.
read -r width height left top <<<"$(drive wait 'Varno Ombrix' rect | lines | tr 'x+' '  ')"
given=$(cat "$work/prog/update-started")
[ "$given" = "$left,$top,$width,$height" ] || fail "update.exe was given $given, the main window is at $left,$top,$width,$height"
shoot main-window-after-scan "$(drive wait 'Varno Ombrix' rect | lines)"
# A clean scan closes its window itself, and the main window comes back.
drive wait 'Varno Ombrix' tree-click prog click 'Scan Now for Computer Threats' \
  message 'Scan Complete - Your Clean' gone 'Varno Ombrix - Scanning' wait 'Varno Ombrix' >/dev/null
for pair in 'Status=65280' 'UnabletoClean=0' 'Found=1' 'DirCount=1'; do
  [ "$(value "${pair%%=*}")" = "${pair#*=}" ] || fail "clean scan: ${pair%%=*} is \"$(value "${pair%%=*}")\""
done
drive wait 'Varno Ombrix' close gone 'Varno Ombrix'
wait "$ombrix_pid" || fail "ombrix.exe ended with status $?"
ombrix_pid=''

# 4. The quarantine window lists what the scan took from this tree (D: may hold
# older entries too); Enter restores the selected one.
cp "$quarantine_window" "$work/prog/"
timeout 60 "$wine_run" "$win\\prog\\ombrix-quarantine-window.exe" </dev/null >"$work/quarantine.log" 2>&1 &
quarantine_pid=$!
texts=$(drive wait 'Ombrix Quarantine' texts | lines) || fail "the quarantine window did not open"
for text in 'Restore	Button' 'Delete	Button' 'Open Folder	Button' 'Quarantined files	SysListView32'; do
  grep -qxF "$text" <<<"$texts" || fail "the quarantine window does not show \"$text\""
done
grep -qE '^[0-9]+ files? in quarantine, .*\.	Static$' <<<"$texts" || fail "the quarantine window's status: $texts"
hears 'Ombrix Quarantine' 'Quarantined files	list' 'Restore	push button' 'Ombrix	graphic'
# Rows: name, original folder, icon (2 yellowbug), selected.
held=$(drive wait 'Ombrix Quarantine' rows | lines)
row=$(folder="$win\\scan\\a\\" awk -F'\t' '$1 == "eicar.com" && $2 == ENVIRON["folder"] { print NR }' <<<"$held")
[ -n "$row" ] || fail "the quarantine window does not list eicar.com from $win\\scan\\a\\:
$held"
awk -F'\t' '$3 != 2 { exit 1 }' <<<"$held" || fail "a quarantined file's icon is not the yellow bug"
shoot quarantine-window "$(drive wait 'Ombrix Quarantine' rect | lines)"
drive wait 'Ombrix Quarantine' row-click "$row" keys enter sleep 300
[ "$(cat "$work/scan/a/eicar.com")" = x ] || fail "Enter did not restore eicar.com"
drive wait 'Ombrix Quarantine' rows | lines | grep -qF "$win\\scan\\a\\" && fail "the restored file is still listed"
drive wait 'Ombrix Quarantine' close gone 'Ombrix Quarantine'
wait "$quarantine_pid" || fail "ombrix-quarantine-window.exe ended with status $?"

# 5. /scannow: the program's drive, D:, with repair off, so nothing is removed.
setting AutoRepair 0
printf x >"$work/scan/a/eicar.com"
printf x >"$work/scan/c/d/EICAR_COM.ZIP"
run reg delete "HKCU\\$key" /v 'Last Check' /f >/dev/null
timeout 120 "$wine_run" "$win\\prog\\ombrix.exe" /scannow "k=$key" </dev/null >/dev/null 2>&1 ||
  fail "ombrix.exe /scannow ended with status $?"
[ -e "$work/scan/a/eicar.com" ] && [ -e "$work/scan/c/d/EICAR_COM.ZIP" ] || fail "/scannow removed a file"
found=$(value Found) unable=$(value UnabletoClean)
[ "$found" -ge 3 ] && [ "$unable" -eq $((found - 1)) ] || fail "/scannow: Found $found, UnabletoClean $unable"
[ "$(value Status)" = 255 ] && [ "$(value 'Looked For')" = 4 ] || fail "/scannow: Status or Looked For"
[ "$(value FileCount)" -ge 7 ] && [ "$(value DirCount)" -ge 6 ] || fail "/scannow: the counts"
value 'Last Check' | grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' || fail "/scannow: Last Check"
run reg delete "HKCU\\$key" /f >/dev/null
echo "PASS: screenshots in $shots"
