#!/bin/sh
# Under Wine, Unix symbolic links in a scanned tree that lead outside it are
# never followed: Wine shows a link to a folder as a reparse point, which the
# walk passes over, and a link to a file as a plain file, which it reports but
# never deletes (Wine would delete the link's target).
# usage: unix_links_under_wine.sh WINE_RUN SCAN_TOOL DRIVE_D_FOLDER
set -eu
run=$1
tool=$2
drive=$3
# The first run makes the prefix, which starts its drive D: afresh.
"$run" "$tool" --version >/dev/null
dir=$(mktemp -d "$drive/unix-links-XXXXXX")
trap 'rm -rf "$dir"' EXIT
name=${dir##*/}
mkdir -p "$dir/scan/sub" "$dir/scan/links" "$dir/outside/folder"
printf 'Trojan.A\tbad.exe\r\n' >"$dir/list.ini"
touch "$dir/scan/sub/bad.exe" "$dir/outside/bad.exe" "$dir/outside/folder/bad.exe"
ln -s "$dir/outside/folder" "$dir/scan/folder-link"
ln -s "$dir/outside/bad.exe" "$dir/scan/links/bad.exe"

status=0
"$run" "$tool" --signatures "D:\\$name\\list.ini" --remove "D:\\$name\\scan" >"$dir/out" || status=$?
out=$(tr -d '\r' <"$dir/out")
expected="Trojan.A	D:\\$name\\scan\\links\\bad.exe
Trojan.A	D:\\$name\\scan\\sub\\bad.exe
Dirs: 3
Files: 2
Detected:  2
Fixed:  1
Scan Complete - Problems were found!
Passed over: 1 reparse point"
sorted=$(printf '%s\n' "$out" | sort)
want=$(printf '%s\n' "$expected" | sort)
fail=0
[ "$status" = 1 ] || { echo "exit status $status, not 1"; fail=1; }
[ "$sorted" = "$want" ] || { printf 'output:\n%s\nexpected:\n%s\n' "$out" "$expected"; fail=1; }
for kept in outside/bad.exe outside/folder/bad.exe; do
  [ -e "$dir/$kept" ] || { echo "$kept was deleted"; fail=1; }
done
[ -L "$dir/scan/links/bad.exe" ] || { echo "the link to a file was deleted"; fail=1; }
[ ! -e "$dir/scan/sub/bad.exe" ] || { echo "scan/sub/bad.exe was not removed"; fail=1; }
exit $fail
