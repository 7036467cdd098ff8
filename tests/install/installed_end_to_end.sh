#!/usr/bin/env bash
# Installs Ombrix into a prefix on a tmpfs of its own, in a private mount namespace,
# and uses it the way a user would: the programs through their bin/ links, the
# manual pages, the desktop entry, the metadata, the units and shell completion.
# Its `ombrix /scannow` may only ever see that tmpfs.
# Usage: installed_end_to_end.sh BUILD_DIR VERSION
set -euo pipefail

test_name="installed end to end"
drive_size=64m
. "$(dirname "$0")/../support/private_drive.sh"

build=$1
version=$2

prefix=$drive/usr
cmake --install "$build" --prefix "$prefix" --strip > "$scratch/install.log" || fail "install: $(cat "$scratch/install.log")"
folder=$prefix/lib/ombrix

# The layout: real programs in the program folder, links in bin/, no demo, no library.
for program in ombrix ombrix-scan ombrix-quarantine ombrix-settings ombrix-quarantine-window; do
    [ -L "$prefix/bin/$program" ] || fail "bin/$program is not a link"
    [ "$(realpath "$prefix/bin/$program")" = "$folder/$program" ] || fail "bin/$program leads elsewhere"
done
for file in ombrix.ini update ombrix-update-key update.conf keyrings/revoked; do
    [ -f "$folder/$file" ] || fail "$file is not in the program folder"
done
[ -d "$folder/update-keys" ] || fail "no update-keys folder"
leftovers=$(find "$prefix" -name '*gallery*' -o -name include -o -name '*.a' -o -name cmake)
[ -z "$leftovers" ] || fail "installed what is not part of the program: $leftovers"

# The programs, run through their links with a store of their own and no PATH.
run() {
    env -i HOME="$scratch/home" OMBRIX_SETTINGS="$scratch/settings.db" "$@"
}
[ "$(run "$prefix/bin/ombrix-scan" --version)" = "ombrix-scan $version" ] || fail "ombrix-scan --version is wrong"
mkdir -p "$scratch/tree/sub"
echo x > "$scratch/tree/sub/EICAR.COM"
echo x > "$scratch/tree/keep.txt"
status=0
run "$prefix/bin/ombrix-scan" --record Installed "$scratch/tree" > "$scratch/out" 2>&1 || status=$?
# Found with the list from the program folder behind the link; nothing removed.
[ "$status" = 1 ] || fail "ombrix-scan ended with $status: $(cat "$scratch/out")"
grep -q "EICAR.COM$" "$scratch/out" || fail "ombrix-scan did not report the test file: $(cat "$scratch/out")"
[ -e "$scratch/tree/sub/EICAR.COM" ] || fail "ombrix-scan removed without --remove"
[ "$(run "$prefix/bin/ombrix-settings" --key Installed get Found)" = 2 ] || fail "the scan's values were not recorded"

# /scannow through the link scans the drive holding the program folder, not what
# is mounted below it.
mkdir -p "$drive/home/docs" "$drive/other"
mount -t tmpfs -o size=1m ombrix-other "$drive/other"
echo x > "$drive/home/docs/eicar.com"
echo x > "$drive/other/eicar.com"
status=0
env -i HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch" OMBRIX_SETTINGS="$scratch/settings.db" \
    "$prefix/bin/ombrix" /scannow 'x=Now' > "$scratch/out" 2>&1 || status=$?
[ "$status" = 0 ] || fail "ombrix /scannow ended with $status: $(cat "$scratch/out")"
[ ! -e "$drive/home/docs/eicar.com" ] || fail "/scannow left the test file on the program's drive"
[ -e "$drive/other/eicar.com" ] || fail "/scannow crossed into another mount"
[ "$(run "$prefix/bin/ombrix-settings" --key Now get Found)" = 2 ] || fail "/scannow recorded no values"

# Each desktop entry starts its installed program without PATH and has its icon.
for program in ombrix ombrix-quarantine-window; do
    desktop=$prefix/share/applications/$program.desktop
    desktop-file-validate "$desktop" || fail "the desktop entry of $program is not valid"
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    [ "$exec_line" = "$prefix/bin/$program" ] || fail "the desktop entry of $program runs '$exec_line'"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$program's icon '$icon' is not installed"
done
appstreamcli validate --no-net "$prefix/share/metainfo/org.ombrix.Ombrix.metainfo.xml" > "$scratch/out" 2>&1 ||
    fail "the metainfo is not valid: $(cat "$scratch/out")"

for page in ombrix ombrix-scan ombrix-quarantine ombrix-quarantine-window ombrix-settings ombrix-update ombrix-update-key; do
    file=$prefix/share/man/man1/$page.1.gz
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" > "$scratch/page" 2> "$scratch/warnings" ||
        fail "man cannot render $page"
    [ ! -s "$scratch/warnings" ] || fail "$page: $(cat "$scratch/warnings")"
    grep -q '^EXIT STATUS' "$scratch/page" || fail "$page has no exit status"
    ! zgrep -q '@[A-Z_]*@' "$file" || fail "$page holds an unfilled @NAME@"
done

# Every unit starts a program that is installed.
for unit in "$prefix"/lib/systemd/*/*.service; do
    program=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")
    [ -x "$program" ] || fail "$(basename "$unit") starts '$program'"
done

# Completion offers the options and the names the store holds.
completion=$prefix/share/bash-completion/completions
complete_words() {
    PATH="$prefix/bin:$PATH" OMBRIX_SETTINGS="$scratch/settings.db" bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1/$2"; shift 2
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        "$(complete -p "$1" | sed "s/.*-F \([^ ]*\).*/\1/")"
        printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
[ "$(complete_words ombrix-scan ombrix-scan --th)" = --threads ] || fail "ombrix-scan does not complete --threads"
[ "$(complete_words ombrix-settings ombrix-settings --key Installed get Fo)" = Found ] ||
    fail "ombrix-settings does not complete stored names"
echo "installed end to end: ok"
