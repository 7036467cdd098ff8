#!/usr/bin/env bash
# update.exe's window under Wine, on a virtual X display of its own, against a
# list server on loopback: a fresh install's outcome in words for the window,
# whole, without a bar, closed by Enter; Cancel on a slow download, then
# Esc; the close box while the update runs; each window over the frame it was
# given. A screenshot of each goes to the screenshots folder.
#
# Usage: window_end_to_end.sh UPDATE_EXE WINDRIVER_EXE WINE_RUN DRIVE_C SCREENSHOT_FOLDER
set -euo pipefail
update=$(realpath "$1") driver=$(realpath "$2") wine_run=$(realpath "$3")
drive_c=$(realpath -m "$4") shots=$(realpath -m "$5")
title='Ombrix Update'
canceled='Update failed: the update was canceled. The installed signature list was not changed.'
owner='200,150,600,400'  # its centre: 500,350

xvfb_pid='' server_pid='' update_pid='' work=''
fail() {
  echo "FAIL: $*" >&2
  [ -n "$work" ] && [ -s "$work/update.out" ] && sed 's/^/update.exe: /' "$work/update.out" >&2
  exit 1
}
cleanup() {
  [ -n "$update_pid" ] && kill "$update_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "$work" ] && rm -rf "$work"
  return 0
}
trap cleanup EXIT

run() { timeout 60 "$wine_run" "$@" </dev/null; }
drive() { run "$driver" "$@" || fail "the window is not as expected"; }
lines() { tr -d '\r'; }

. "$(dirname "$0")/../support/wine_display.sh"
own_display 90 140 || fail "no X display could be started"
run reg query 'HKCU\Software\Wine\X11 Driver' >/dev/null 2>&1
await_no_desktop "$(dirname "$drive_c")" || fail "a desktop of other Wine programs stays in the prefix"
mkdir -p "$shots"
command -v import >/dev/null || echo "note: imagemagick's import is missing: no screenshots" >&2
shoot() {  # name
  command -v import >/dev/null || return 0
  local geometry
  geometry=$(drive wait "$title" rect | lines)
  import -window root -crop "$geometry" +repage "$shots/update-$1.png"
}

# The updater's folders, a key it trusts (no release here is ever signed) and
# a site on C:, plain http to loopback allowed.
work=$(mktemp -d "$drive_c/update-window.XXXXXX")
win="C:\\$(basename "$work")"
mkdir -p "$work/prog/update-keys" "$work/data/Ombrix" "$work/site"
cp "$update" "$work/prog/"
head -c 32 /dev/urandom | base64 >"$work/prog/update-keys/publisher.pub"
printf 'allow-http = 127.0.0.1\n' >"$work/data/Ombrix/update.conf"
# A release sent a byte a second. WinHTTP hands over a body only once it has
# come whole, so Cancel is heard after these 8 seconds, not at once.
printf 'release\n' >"$work/site/slow.release"
echo trickle >"$work/site/slow.release.pace"
exec 3< <(exec python3 "$(dirname "$0")/list_server.py" "$work/site" "$work/server.log")
read -r port server_pid <&3

# update.exe --window ARGUMENTS (one line for cmd) in the background, given
# the frame of its owner. Wine sets ProgramData itself: cmd sets it after.
start() {
  OMBRIX_OWNER_BOX=$owner timeout 60 "$wine_run" cmd /c "set ProgramData=$win\\data&& $win\\prog\\update.exe --window $1" \
    </dev/null >"$work/update.out" 2>&1 &
  update_pid=$!
}
# Waits for update.exe to end with the status of a failed update.
ended_failed() {
  local status=0
  wait "$update_pid" || status=$?
  update_pid=''
  [ "$status" = 2 ] || fail "update.exe ended with status $status, not 2"
}

# 1. No update source: words for the window, whole, no bar; Enter closes.
for value in 'Update URL' 'Update Last Check' 'Update Status' 'Update Message'; do
  run reg delete HKCU /v "$value" /f >/dev/null 2>&1 || true
done
start ''
drive wait "$title" shows Close whole 8.25 hidden 'Update progress'
message=$(drive wait "$title" texts | lines | grep '^No update source' | cut -f1) || fail "no message: $(drive wait "$title" texts)"
case "$message" in
  *ombrix-settings*) fail "the window tells a desktop user to type a command: $message" ;;
  *'"Update URL"'*) ;;
  *) fail "the window does not name \"Update URL\": $message" ;;
esac
geometry=$(drive wait "$title" rect | lines)
read -r width height left top <<<"$(echo "$geometry" | tr 'x+' '  ')"
centre_x=$((left + width / 2)) centre_y=$((top + height / 2))
[ "$centre_x" -ge 497 ] && [ "$centre_x" -le 503 ] && [ "$centre_y" -ge 347 ] && [ "$centre_y" -le 353 ] ||
  fail "the window $geometry is not centred on its owner $owner"
shoot failed
drive wait "$title" keys enter gone "$title"
ended_failed

# 2. A slow download: Cancel, the outcome, then Esc closes.
start "--url http://127.0.0.1:$port/slow.release"
drive wait "$title" shows 'Checking for a new signature list...' shows Cancel whole 8.25
shoot running
# What a screen reader hears: the message, the named bar and the button.
heard=$(drive wait "$title" accessible | lines | cut -f1,2)
for pair in 'Checking for a new signature list...	static text' 'Update progress	progress bar' 'Cancel	push button'; do
  grep -qxF "$pair" <<<"$heard" || fail "a screen reader does not hear \"$pair\": $heard"
done
drive wait "$title" click Cancel shows Canceling... shows "$canceled" shows Close whole 8.25 hidden 'Update progress'
shoot canceled
drive wait "$title" keys escape gone "$title"
ended_failed

# 3. The close box while the update runs: it cancels, and the window goes once the update has stopped.
start "--url http://127.0.0.1:$port/slow.release"
drive wait "$title" shows 'Checking for a new signature list...' close gone "$title" 30
ended_failed
lines <"$work/update.out" | grep -qx "$canceled" || fail "the close box did not cancel"
echo "update window end to end: ok"
