#!/bin/sh
# The real ombrix-quarantine-window over a real quarantine, in a private mount
# namespace on a tmpfs of its own: files removed by `ombrix-scan --remove` are
# listed, restored with the keyboard (one over a path now taken, one into a
# folder that has gone) and deleted. A preloaded probe presses the keys, answers
# the questions and grabs the window, with entries and empty.
# Usage: window_end_to_end.sh OMBRIX-SCAN OMBRIX-QUARANTINE WINDOW PROBE [SCREENSHOT_FOLDER [SCALE]]
set -eu

test_name="quarantine window end to end"
drive_size=64m
. "$(dirname "$0")/../support/private_drive.sh"

scan_tool=$1 quarantine_tool=$2 window=$3 probe=$4 shots=${5:-$scratch} scale=${6:-1}
mkdir -p "$drive/bin" "$scratch/home" "$scratch/run" "$shots"
chmod 0700 "$scratch/run"
cp "$scan_tool" "$drive/bin/ombrix-scan"
printf 'Test.Bad\tbad.exe\r\nTest.Worm\tworm.dll\r\n' > "$drive/bin/ombrix.ini"
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/run"
export OMBRIX_SETTINGS="$scratch/settings.db" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR="$scale"

# Removes every finding under docs/ into the quarantine.
take() {
    status=0
    "$drive/bin/ombrix-scan" --remove "$drive/docs" > "$scratch/scan" 2>&1 || status=$?
    [ "$status" = 1 ] || fail "ombrix-scan --remove ended with $status: $(cat "$scratch/scan")"
}
# Runs the window with the probe pressing KEYS, answering ANSWER, grabbing into SHOT.
window() {
    keys=$1 answer=$2 shot=$3
    OMBRIX_PROBE_KEYS="frmQuarantine:$keys" OMBRIX_PROBE_ANSWER="$answer" OMBRIX_PROBE_GRAB="$shots/$shot" \
        OMBRIX_PROBE_SAVE_AS="$drive/docs/a/bad (restored).exe" LD_PRELOAD="$probe" \
        timeout 60 "$window" 2> "$scratch/window" || fail "the window ended with $?: $(cat "$scratch/window")"
    [ -s "$shots/$shot" ] || fail "no picture of the window: $(cat "$scratch/window")"
}
held() { "$quarantine_tool" list --json | grep -c '"id"' || true; }
asked() { grep -qxF "$1" "$scratch/window" || fail "not asked \"$1\": $(cat "$scratch/window")"; }
holds() { [ "$(cat "$drive/docs/$1")" = "$2" ] || fail "docs/$1 does not hold \"$2\""; }

mkdir -p "$drive/docs/a" "$drive/docs/b b"
echo first > "$drive/docs/a/bad.exe"
echo second > "$drive/docs/b b/bad.exe"
echo worm > "$drive/docs/a/worm.dll"
take
[ "$(held)" = 3 ] || fail "the quarantine holds $(held) entries, not 3"

# Something new stands at one path now, and another's folder is gone.
echo new > "$drive/docs/a/bad.exe"
rm -r "$drive/docs/b b"
window Down,Down No quarantine-window.png
window Ctrl+A,Return Yes quarantine-window-empty.png
asked 'save as: Restore "bad.exe" as'
asked "asked: The folder \"$drive/docs/b b/\" no longer exists. Create it again and restore \"bad.exe\" there?"
holds a/bad.exe new
holds 'a/bad (restored).exe' first
holds 'b b/bad.exe' second
holds a/worm.dll worm
[ "$(held)" = 0 ] || fail "$(held) entries are left after restoring all"

# Delete asks first, and then it is final.
take
window Ctrl+A,Delete No deleted-not.png
[ "$(held)" = 3 ] || fail "Delete answered No let files go"
window Ctrl+A,Delete Yes deleted.png
asked 'asked: Delete 3 files for good? They cannot be restored afterwards.'
[ "$(held)" = 0 ] && [ ! -e "$drive/docs/a/worm.dll" ] || fail "Delete left $(held) entries or put a file back"
echo "quarantine window end to end: ok"
