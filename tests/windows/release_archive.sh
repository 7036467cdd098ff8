#!/usr/bin/env bash
# The release archive is the program folder: the programs and the list, in
# one top folder, and nothing else.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G ZIP -B "$out" >/dev/null)
zip=$(ls "$out"/ombrix-*-win*.zip)
listed=$(unzip -Z1 "$zip" | sort)
top=$(basename "$zip" .zip)
expected=$(printf '%s\n' "$top/ombrix-quarantine.exe" "$top/ombrix-quarantine-window.exe" "$top/ombrix-scan.exe" "$top/ombrix-settings.exe" "$top/ombrix.exe" "$top/ombrix.ini" "$top/update.exe" | sort)
if [ "$listed" != "$expected" ]; then
  printf 'the archive holds:\n%s\nexpected:\n%s\n' "$listed" "$expected" >&2
  exit 1
fi
unzip -p "$zip" "$top/ombrix.ini" | cmp - "$build/bin/ombrix.ini"
