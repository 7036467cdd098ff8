#!/usr/bin/env bash
# The release archive is the program folder: the programs and the list, in
# one top folder, and nothing else. Every program is stripped and carries the
# release's version for Explorer to show.
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

version=${top#ombrix-}
version=${version%-win*}
objdump=$(sed -n 's/^CMAKE_OBJDUMP:FILEPATH=//p' "$build/CMakeCache.txt")
unzip -q "$zip" -d "$out"
for program in "$out/$top"/*.exe; do
  name=$(basename "$program")
  if "$objdump" -h "$program" | grep -q ' \.debug'; then
    echo "$name keeps its debug sections" >&2
    exit 1
  fi
  # The resource's texts are UTF-16: each name is followed by its value.
  texts=$(strings -n 2 -el "$program")
  for field in ProductName FileVersion ProductVersion OriginalFilename; do
    value=$(grep -A1 -x "$field" <<<"$texts" | sed -n 2p)
    case $field in
      ProductName) want=Ombrix ;;
      OriginalFilename) want=$name ;;
      *) want=$version ;;
    esac
    if [ "$value" != "$want" ]; then
      echo "$name: version resource's $field is \"$value\", not \"$want\"" >&2
      exit 1
    fi
  done
done
