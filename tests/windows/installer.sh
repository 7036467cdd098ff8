#!/usr/bin/env bash
# The installer under Wine, in a prefix made afresh for this test alone (its
# drives lead only to folders of its own):
#  1. for all users, with the scheduled scan: the program folder, Add/Remove
#     Programs, the event log source, the Start-menu entries, the task; a scan
#     with the installed programs, an update when update.exe is there; the
#     uninstaller removes all of that and leaves the user's settings;
#  2. for the current user into D:\Ombrix: its own entries only, /scannow; the
#     uninstaller asked to remove settings takes them, the user's quarantine and
#     the updater's state, and leaves a file the user put in the program folder.
#
# Usage: installer.sh SETUP_EXE WINE_RUN WINE_ROOT STAGE_FOLDER VERSION KEY_TOOL
# (KEY_TOOL: the publisher's ombrix-update-key, a Linux program)
set -euo pipefail
setup=$(realpath "$1") wine_run=$(realpath "$2") root=$(realpath -m "$3")
stage=$(realpath "$4") version=$5 key_tool=$6
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Ombrix'
eventlog_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Ombrix'
task='Ombrix scheduled scan'

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
run() { timeout 120 "$wine_run" "$@" </dev/null; }
lines() { tr -d '\r'; }
# The data of value $2 of key $1, or nothing.
value() { run reg query "$1" /v "$2" 2>/dev/null | lines | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
has_key() { run reg query "$1" >/dev/null 2>&1; }
# What the program folder holds, one relative path a line.
listing() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }

server_pid=''
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
  WINEPREFIX="$root/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT
cleanup
run cmd /c exit
c="$root/prefix/drive_c" d="$root/drives/d"
[ ! -e "$root/prefix/dosdevices/z:" ] || fail "the prefix still maps the machine's root"
user=$(ls "$c/users" | grep -vx Public | head -1)
cp "$setup" "$d/setup.exe"
# Wine starts programs in a folder of a drive.
cd "$d"
mkdir -p "$d/tree"
printf x >"$d/tree/eicar.com"
printf x >"$d/tree/clean.txt"

# Waits until the uninstaller, which goes on from a copy of itself, is done.
uninstalled() {  # FOLDER KEY
  for _ in $(seq 120); do
    has_key "$2" || { [ ! -e "$1/uninstall.exe" ] && return 0; }
    sleep 0.5
  done
  fail "the uninstaller did not finish: $(ls "$1" 2>&1)"
}

# 1. All users.
run 'D:\setup.exe' /S /AllUsers /ScheduledScan || fail "the silent install for all users failed"
folder="$c/Program Files/Ombrix"
[ "$(listing "$folder")" = "$( (listing "$stage"; echo uninstall.exe) | sort)" ] ||
  fail "the program folder holds: $(listing "$folder")"
machine="HKLM\\$uninstall_key"
for pair in "DisplayName=Ombrix" "DisplayVersion=$version" "Publisher=Ombrix" \
  'InstallLocation=C:\Program Files\Ombrix' 'UninstallString="C:\Program Files\Ombrix\uninstall.exe"'; do
  [ "$(value "$machine" "${pair%%=*}")" = "${pair#*=}" ] || fail "Add/Remove Programs: ${pair%%=*} is \"$(value "$machine" "${pair%%=*}")\""
done
size=$(value "$machine" EstimatedSize)
[ $((size)) -ge $(( $(du -sk "$stage" | cut -f1) / 2 )) ] || fail "EstimatedSize is $size"
has_key "HKCU\\$uninstall_key" && fail "an install for all users left an entry for the user"
run reg query "$eventlog_key" /v EventMessageFile | lines |
  grep -qF 'REG_EXPAND_SZ    C:\Program Files\Ombrix\ombrix.exe' || fail "the event log source is not registered"
[ "$(value "$eventlog_key" TypesSupported)" = 0x7 ] || fail "TypesSupported is $(value "$eventlog_key" TypesSupported)"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs"
[ -f "$menu/Ombrix.lnk" ] && [ -f "$menu/Ombrix Quarantine.lnk" ] || fail "no Start-menu entries: $(ls "$menu")"
task_file="$c/windows/system32/tasks/$task"
[ -f "$task_file" ] || fail "no scheduled task"
# Wine keeps a task's name and description but drops its triggers and actions
# when it stores it: only a run on Windows shows those.
grep -qF '<Description>Ombrix scan of the drive it is installed on</Description>' "$task_file" ||
  fail "the task is: $(cat "$task_file")"

status=0
found=$(run 'C:\Program Files\Ombrix\ombrix-scan.exe' 'D:\tree' | lines) || status=$?
[ "$status" = 1 ] && grep -qxF $'EICAR-Test-File\tD:\\tree\\eicar.com' <<<"$found" ||
  fail "the installed ombrix-scan.exe gave status $status: $found"

# The updater, once the program folder has it: a newer list from a loopback
# server, signed by a key the administrator trusts.
updated=''
if [ -e "$folder/update.exe" ]; then
  state="$c/ProgramData/Ombrix"
  mkdir -p "$root/srv" "$state/keyrings"
  [ -x "$key_tool" ] || fail "no publisher's ombrix-update-key at $key_tool: build the Linux programs first (scripts/build)"
  "$key_tool" generate "$root/publisher.key" "$state/keyrings/publisher.pub" >/dev/null ||
    fail "no publisher key could be made"
  { printf "' version %s00\r\n" "$(date -u +%Y%m%d)"; cat "$stage/ombrix.ini"
    printf 'Trojan.Installer\tinstaller-test.exe\r\n'; } >"$d/ombrix.ini"
  "$key_tool" publish "$root/publisher.key" "$d/ombrix.ini" >/dev/null || fail "the list could not be signed"
  cp "$d"/ombrix.ini* "$root/srv/"
  python3 "$(dirname "$0")/../update/list_server.py" "$root/srv" "$root/server.log" >"$root/server" &
  for _ in $(seq 50); do [ -s "$root/server" ] && break; sleep 0.1; done
  read -r port server_pid <"$root/server"
  printf 'url = http://127.0.0.1:%s/ombrix.ini.release\r\nallow-http = 127.0.0.1\r\n' "$port" >"$state/update.conf"
  run 'C:\Program Files\Ombrix\update.exe' --quiet || fail "update.exe failed"
  kill "$server_pid"
  server_pid=''
  printf x >"$d/tree/installer-test.exe"
  # Status 1: something was found.
  found=$(run 'C:\Program Files\Ombrix\ombrix-scan.exe' 'D:\tree' | lines) || true
  grep -q $'^Trojan.Installer\t' <<<"$found" || fail "the updated list is not the one the installed programs read: $found"
  updated=1
fi

run reg add HKCU /v 'Scan All' /d 1 /f >/dev/null
run 'C:\Program Files\Ombrix\uninstall.exe' /S || fail "the uninstaller failed"
uninstalled "$folder" "$machine"
[ ! -e "$folder" ] || fail "the program folder stays: $(listing "$folder")"
has_key "$machine" && fail "Add/Remove Programs still lists Ombrix"
has_key "$eventlog_key" && fail "the event log source stays"
[ ! -e "$menu/Ombrix.lnk" ] && [ ! -e "$menu/Ombrix Quarantine.lnk" ] || fail "Start-menu entries stay"
[ ! -e "$task_file" ] || fail "the scheduled task stays"
[ "$(value HKCU 'Scan All')" = 1 ] || fail "the uninstaller took the user's settings unasked"
[ -z "$updated" ] || [ -d "$c/ProgramData/Ombrix" ] || fail "the uninstaller took the updater's state unasked"

# 2. The current user, into a folder of the user's choice.
run 'D:\setup.exe' /S /CurrentUser '/D=D:\Ombrix' || fail "the silent install for the user failed"
folder="$d/Ombrix"
[ "$(listing "$folder")" = "$( (listing "$stage"; echo uninstall.exe) | sort)" ] ||
  fail "D:\\Ombrix holds: $(listing "$folder")"
own="HKCU\\$uninstall_key"
[ "$(value "$own" InstallLocation)" = 'D:\Ombrix' ] || fail "no Add/Remove Programs entry for the user"
has_key "$machine" && fail "an install for the user made an entry for all users"
has_key "$eventlog_key" && fail "an install for the user registered the event log source"
menu="$c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
[ -f "$menu/Ombrix.lnk" ] || fail "no Start-menu entry for the user: $(ls "$menu")"
[ ! -e "$task_file" ] || fail "a scheduled task nobody chose"

run reg add HKCU /v AutoRepair /d 0 /f >/dev/null
run 'D:\Ombrix\ombrix.exe' /scannow || fail "/scannow failed"
[ "$(value HKCU Found)" = 2 ] && [ "$(value HKCU Status)" = 255 ] ||
  fail "/scannow wrote Found $(value HKCU Found), Status $(value HKCU Status)"
[ -e "$d/tree/eicar.com" ] || fail "/scannow removed a file with repair off"

mkdir -p "$c/users/$user/AppData/Local/Ombrix/Quarantine" "$c/ProgramData/Ombrix"
printf x >"$c/users/$user/AppData/Local/Ombrix/Quarantine/held"
printf x >"$c/ProgramData/Ombrix/state"
printf x >"$folder/mine.txt"
run 'D:\Ombrix\uninstall.exe' /S /RemoveSettings || fail "the uninstaller failed"
uninstalled "$folder" "$own"
[ "$(listing "$folder")" = mine.txt ] || fail "D:\\Ombrix keeps: $(listing "$folder")"
has_key "$own" && fail "Add/Remove Programs still lists Ombrix for the user"
[ ! -e "$menu/Ombrix.lnk" ] || fail "the user's Start-menu entry stays"
for name in 'Scan All' AutoRepair Found Status; do
  [ -z "$(value HKCU "$name")" ] || fail "the setting $name stays though its removal was asked for"
done
[ ! -e "$c/users/$user/AppData/Local/Ombrix" ] || fail "the user's quarantine stays"
[ ! -e "$c/ProgramData/Ombrix" ] || fail "the updater's state stays"
echo "installed, scanned and uninstalled for all users and for the user"
