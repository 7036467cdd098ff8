#!/bin/sh
# Ends the windowed `ombrix` with SIGTERM or SIGINT, as a logout or a kill
# does, and checks that a scan under way is canceled as by the Cancel button,
# its seven values are recorded and the program ends, whichever window shows.
# Runs under the offscreen platform in a private mount namespace, from a tmpfs
# of its own (the only drive it scans); a preloaded probe reports the windows
# and presses the scan link.
# Usage: signal_end_to_end.sh OMBRIX OMBRIX-SETTINGS PROBE
set -eu

test_name="signal end to end"
drive_size=64m
. "$(dirname "$0")/../support/private_drive.sh"

ombrix=$1
settings_tool=$2
probe=$3
mkdir "$drive/bin"
cp "$ombrix" "$drive/bin/ombrix"
printf "Test.Bad\tbad.exe\r\n" > "$drive/bin/ombrix.ini"
echo x > "$drive/bad.exe"

# Runs COMMAND... every 50 ms until it succeeds; false after 15 s.
within() {
    tries=0
    until "$@"; do
        tries=$((tries + 1))
        [ $tries -lt 300 ] || return 1
        sleep 0.05
    done
}
gone() { ! kill -0 $pid 2>/dev/null; }
stop() {
    kill -KILL $pid
    wait $pid || true
    fail "$1"
}

# Starts ombrix with a fresh store (AutoRepair 0), waits for the probe to
# report WINDOW, sends SIGNAL and expects the program to end with status 0.
run() {
    window=$1 signal=$2
    shift 2
    rm -rf "$scratch/case"
    mkdir -p "$scratch/case/home" "$scratch/case/run"
    chmod 0700 "$scratch/case/run"
    : > "$scratch/case/err"
    store="$scratch/case/settings.db"
    OMBRIX_SETTINGS="$store" "$settings_tool" set AutoRepair 0
    env -i PATH="$PATH" HOME="$scratch/case/home" XDG_RUNTIME_DIR="$scratch/case/run" \
        OMBRIX_SETTINGS="$store" QT_QPA_PLATFORM=offscreen LD_PRELOAD="$probe" "$@" \
        "$drive/bin/ombrix" 2> "$scratch/case/err" &
    pid=$!
    within grep -qx "shown: $window" "$scratch/case/err" || stop "no $window: $(cat "$scratch/case/err")"
    kill -"$signal" $pid
    within gone || stop "ombrix still runs 15 s after SIG$signal in $window"
    wait $pid || fail "ombrix ended with status $? after SIG$signal in $window"
}

expect() {
    actual=$(OMBRIX_SETTINGS="$store" "$settings_tool" get "$1") || fail "could not read $1"
    [ "$actual" = "$2" ] || fail "$1 is '$actual', expected '$2'"
}

# Idle main window: the program ends and records nothing.
run frmMain INT
expect Status ""

# A finished scan with findings waits on its message box: the program ends
# with the scan's values recorded, and nothing is deleted.
run Ombrix TERM OMBRIX_PROBE_SCAN=1
expect Status 255
expect Found 2
expect DirCount 2
[ -e "$drive/bad.exe" ] || fail "bad.exe was deleted"

# During the walk: enough folders that it is still going when the signal comes.
for i in $(seq 200); do
    mkdir -p "$drive/tree/d$i" && (cd "$drive/tree/d$i" && seq -f 'e%g' 150 | xargs mkdir)
done
run frmScan TERM OMBRIX_PROBE_SCAN=1
expect Status 255
expect Found 2
dirs=$(OMBRIX_SETTINGS="$store" "$settings_tool" get DirCount)
[ "$dirs" -ge 1 ] && [ "$dirs" -lt 30203 ] || fail "DirCount is '$dirs': the scan was not canceled"
echo "signal end to end: ok"
