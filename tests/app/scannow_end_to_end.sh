#!/bin/sh
# Runs `ombrix /scannow x=Software\Test` for real: in a private mount namespace,
# from a tmpfs of its own, so the only drive it can scan is that tmpfs. First,
# while the main window is open, a run as cron starts it must leave at once. The
# network namespace of its own keeps the single-instance lock apart from any
# copy running outside.
# The files it removed wait in the tmpfs's own quarantine, and one command brings
# them back.
# Usage: scannow_end_to_end.sh OMBRIX OMBRIX-SETTINGS OMBRIX-QUARANTINE
set -eu

test_name="scannow end to end"
drive_size=32m
. "$(dirname "$0")/../support/private_drive.sh"

ombrix=$1
settings_tool=$2
quarantine_tool=$3

mkdir -p "$drive/bin" "$drive/docs/deep" "$drive/.hidden" "$drive/Mixed Case"
cp "$ombrix" "$drive/bin/ombrix"
printf "' test signatures\r\nTest.Bad\tbad.exe\r\nTest.Worse\tworse.dat\r\n" > "$drive/bin/ombrix.ini"
for file in docs/bad.exe docs/deep/BAD.EXE "Mixed Case/Worse.Dat" .hidden/bad.exe docs/keep.txt docs/bad.exe.txt; do
    echo x > "$drive/$file"
done

# The desktop road: a session's environment and a window (offscreen).
mkdir -m 0700 "$scratch/runtime"
env -i PATH="$PATH" HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" \
    XDG_CONFIG_HOME="$scratch/desktop-config" QT_QPA_PLATFORM=offscreen \
    OMBRIX_SETTINGS="$scratch/settings.db" "$drive/bin/ombrix" > "$scratch/window-out" 2>&1 &
window=$!
tries=0
until grep -q "@ombrix-$(id -u)\$" /proc/net/unix; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || fail "the main window did not take the lock: $(cat "$scratch/window-out")"
    kill -0 "$window" 2>/dev/null || fail "the main window ended: $(cat "$scratch/window-out")"
    sleep 0.1
done
# The cron road: no session variables at all. The window is stopped (a frozen
# session) and takes no connection, long after its queue has filled. Each run
# ends with status 4, nothing scanned, so a scheduler does not log a clean scan.
kill -STOP "$window"
for run in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
    status=0
    env -i PATH="$PATH" HOME="$scratch/home" OMBRIX_SETTINGS="$scratch/settings.db" \
        "$drive/bin/ombrix" /scannow 'x=Software\Test' > "$scratch/out" 2>&1 || status=$?
    [ "$status" = 4 ] || fail "a second copy (run $run) ended with status $status: $(cat "$scratch/out")"
    [ ! -s "$scratch/out" ] || fail "a second copy (run $run) printed: $(cat "$scratch/out")"
    [ -e "$drive/docs/bad.exe" ] || fail "a second copy (run $run) scanned while the window was open"
    [ ! -e "$scratch/settings.db" ] || fail "a second copy (run $run) recorded a scan while the window was open"
done
kill -CONT "$window"
kill "$window"
wait "$window" || true

# The scheduled run also writes its figures where node_exporter would read them.
mkdir "$scratch/textfiles"
OMBRIX_SETTINGS="$scratch/settings.db" "$settings_tool" --key 'Software\Test' \
    set "Metrics File" "$scratch/textfiles/ombrix.prom"

status=0
env -i PATH="$PATH" HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch" \
    OMBRIX_SETTINGS="$scratch/settings.db" \
    "$drive/bin/ombrix" /scannow 'x=Software\Test' > "$scratch/out" 2>&1 || status=$?
[ "$status" = 0 ] || fail "ombrix ended with status $status: $(cat "$scratch/out")"
[ ! -s "$scratch/out" ] || fail "ombrix printed: $(cat "$scratch/out")"

for gone in docs/bad.exe docs/deep/BAD.EXE "Mixed Case/Worse.Dat"; do
    [ ! -e "$drive/$gone" ] || fail "$gone was not deleted"
done
for kept in .hidden/bad.exe docs/keep.txt docs/bad.exe.txt bin/ombrix bin/ombrix.ini; do
    [ -e "$drive/$kept" ] || fail "$kept was deleted"
done

value() {
    OMBRIX_SETTINGS="$scratch/settings.db" "$settings_tool" --key 'Software\Test' get "$1"
}
expect() {
    actual=$(value "$1") || fail "could not read $1"
    [ "$actual" = "$2" ] || fail "$1 is '$actual', expected '$2'"
}
metric() {
    grep -qxF "$1" "$scratch/textfiles/ombrix.prom" || fail "no line $1 in: $(cat "$scratch/textfiles/ombrix.prom")"
}
metric "ombrix_scan_findings{folder=\"$drive/\"} 3"
metric "ombrix_scan_removed_findings{folder=\"$drive/\"} 3"
metric "ombrix_scan_exit_status{folder=\"$drive/\"} 0"
if command -v promtool > /dev/null; then
    promtool check metrics < "$scratch/textfiles/ombrix.prom" || fail "promtool refused the metrics file"
fi

expect Status 65280
expect UnabletoClean 0
expect Found 4
expect "Looked For" 2
# bin, docs, docs/deep, Mixed Case and the drive itself; .hidden is passed over.
expect DirCount 5
expect FileCount 7
value "Last Check" | grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' ||
    fail "Last Check is '$(value "Last Check")'"
[ -z "$(OMBRIX_SETTINGS="$scratch/settings.db" "$settings_tool" get Status '')" ] ||
    fail "values were written outside Software\\Test"

[ -d "$drive/.ombrix-quarantine-$(id -u)" ] || fail "the removed files are not held on their own drive"
env -i PATH="$PATH" HOME="$scratch/home" OMBRIX_SETTINGS="$scratch/settings.db" \
    "$quarantine_tool" restore --all > "$scratch/out" 2>&1 || fail "restore --all: $(cat "$scratch/out")"
for back in docs/bad.exe docs/deep/BAD.EXE "Mixed Case/Worse.Dat"; do
    [ "$(cat "$drive/$back")" = x ] || fail "$back was not restored"
done
echo "scannow end to end: ok"
