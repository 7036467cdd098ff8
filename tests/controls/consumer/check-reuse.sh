#!/usr/bin/env bash
# Installs VarnoButton from a build tree into a temporary prefix, builds the
# consumer beside this script against it and runs it; then checks that a
# project adding controls/ with add_subdirectory() gets the library and no
# gallery. For a cross build, the toolchain file and the command that runs
# its programs follow.
# Usage: check-reuse.sh BUILD_DIR CONTROLS_DIR [TOOLCHAIN RUNNER...]
set -euo pipefail
build=$(realpath "$1")
controls=$(realpath "$2")
toolchain=${3:-}
runner=("${@:4}")
consumer=$(dirname "$0")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cross=()
[ -z "$toolchain" ] || cross=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")

cmake --install "$build" --component VarnoButton --prefix "$tmp/prefix" >/dev/null
if [ -e "$tmp/prefix/bin" ]; then
  echo "check-reuse: the install holds programs: $(ls "$tmp/prefix/bin")" >&2
  exit 1
fi
# Named by its folder: a cross toolchain searches its own root only.
cmake -S "$consumer" -B "$tmp/installed" "${cross[@]}" -DVarnoButton_DIR="$(dirname "$(find "$tmp/prefix" -name VarnoButtonConfig.cmake)")" >/dev/null
cmake --build "$tmp/installed" >/dev/null
program=$(find "$tmp/installed" -maxdepth 1 -name 'consumer*' -type f -perm -u+x | head -n1)
QT_QPA_PLATFORM=offscreen "${runner[@]}" "$program"

cmake -S "$consumer" -B "$tmp/added" "${cross[@]}" -DVARNOBUTTON_SOURCE_DIR="$controls" >/dev/null
targets=$(cmake --build "$tmp/added" --target help)
if ! grep -q '\.\.\. VarnoButton$' <<<"$targets" || grep -q gallery <<<"$targets"; then
  echo "check-reuse: add_subdirectory() gives these targets:" >&2
  echo "$targets" >&2
  exit 1
fi
