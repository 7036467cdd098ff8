#!/bin/sh
# Under Wine, on drive D: (a temporary folder of this build's own): a removing
# scan moves what it finds into the quarantine folder at the root of D:, and one
# restore puts every file back with its bytes and its time.
# usage: quarantine_under_wine.sh WINE_RUN SCAN_TOOL QUARANTINE_TOOL DRIVE_D_FOLDER
set -eu
run=$1
scan=$2
quarantine=$3
drive=$4
"$run" "$scan" --version >/dev/null
dir=$(mktemp -d "$drive/quarantine-XXXXXX")
trap 'rm -rf "$dir"' EXIT
name=${dir##*/}
mkdir -p "$dir/scan/sub folder"
printf 'Trojan.A\tbad.exe\r\n' >"$dir/list.ini"
printf one >"$dir/scan/sub folder/bad.exe"
printf two >"$dir/scan/BAD.EXE"
printf keep >"$dir/scan/keep.txt"
touch -d '2001-02-03 04:05:06' "$dir/scan/sub folder/bad.exe"

fail=0
status=0
"$run" "$scan" --signatures "D:\\$name\\list.ini" --remove --quiet "D:\\$name\\scan" >"$dir/out" || status=$?
[ "$status" = 1 ] || { echo "scan: exit status $status, not 1: $(cat "$dir/out")"; fail=1; }
for gone in "sub folder/bad.exe" BAD.EXE; do
  [ ! -e "$dir/scan/$gone" ] || { echo "$gone was not removed"; fail=1; }
done
held=$(find "$drive" -maxdepth 2 -path "$drive/.ombrix-quarantine-*/*.held" | wc -l)
[ "$held" -ge 2 ] || { echo "the files are not held at the root of D:"; fail=1; }
# Other tests' entries may wait on D: too: this one restores its own.
ids=$("$run" "$quarantine" list | tr -d '\r' | grep -F "D:\\$name\\scan\\" | cut -d' ' -f1)
[ "$(echo "$ids" | wc -w)" = 2 ] || { echo "list shows not the 2 entries but: $ids"; fail=1; }

status=0
"$run" "$quarantine" restore $ids >"$dir/out" 2>&1 || status=$?
[ "$status" = 0 ] || { echo "restore: exit status $status: $(cat "$dir/out")"; fail=1; }
[ "$(cat "$dir/scan/sub folder/bad.exe" 2>/dev/null)" = one ] || { echo "sub folder/bad.exe not restored"; fail=1; }
[ "$(cat "$dir/scan/BAD.EXE" 2>/dev/null)" = two ] || { echo "BAD.EXE not restored"; fail=1; }
[ "$(stat -c %Y "$dir/scan/sub folder/bad.exe" 2>/dev/null)" = "$(date -d '2001-02-03 04:05:06' +%s)" ] ||
  { echo "sub folder/bad.exe lost its time"; fail=1; }
[ -z "$("$run" "$quarantine" list | grep -F "D:\\$name\\" || true)" ] || { echo "entries left after the restore"; fail=1; }
exit $fail
