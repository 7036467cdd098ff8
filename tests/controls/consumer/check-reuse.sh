#!/usr/bin/env bash
# Installs VarnoButton from a build tree into a temporary prefix, builds the
# consumer beside this script against it and runs it offscreen; then checks
# that a project adding controls/ with add_subdirectory() gets the library and
# no gallery. Usage: check-reuse.sh BUILD_DIR CONTROLS_DIR
set -euo pipefail
build=$(realpath "$1")
controls=$(realpath "$2")
consumer=$(dirname "$0")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cmake --install "$build" --component VarnoButton --prefix "$tmp/prefix" >/dev/null
if [ -e "$tmp/prefix/bin" ]; then
  echo "check-reuse: the install holds programs: $(ls "$tmp/prefix/bin")" >&2
  exit 1
fi
cmake -S "$consumer" -B "$tmp/installed" -DCMAKE_PREFIX_PATH="$tmp/prefix" >/dev/null
cmake --build "$tmp/installed" >/dev/null
QT_QPA_PLATFORM=offscreen "$tmp/installed/consumer"

cmake -S "$consumer" -B "$tmp/added" -DVARNOBUTTON_SOURCE_DIR="$controls" >/dev/null
targets=$(cmake --build "$tmp/added" --target help)
if ! grep -q '\.\.\. VarnoButton$' <<<"$targets" || grep -q gallery <<<"$targets"; then
  echo "check-reuse: add_subdirectory() gives these targets:" >&2
  echo "$targets" >&2
  exit 1
fi
