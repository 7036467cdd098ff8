#!/usr/bin/env bash
# Builds the Debian package with scripts/package and checks it as Debian and an
# administrator would: lintian, what it holds and depends on, the paths its files
# name and the sandboxing of its units; then, in a throwaway Debian 12 root,
# how it installs, updates, reinstalls and purges (debian_root.sh).
# Usage: debian_package.sh SOURCE_DIR VERSION
set -euo pipefail
source_dir=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() {
    echo "debian package: $*" >&2
    exit 1
}

deb=$("$source_dir/scripts/package" 2> "$tmp/package.log") || fail "scripts/package: $(tail -20 "$tmp/package.log")"

[ "$(dpkg-deb -f "$deb" Package)" = ombrix ] || fail "the package is not named ombrix"
[[ "$(dpkg-deb -f "$deb" Version)" =~ ^$version-[0-9]+$ ]] || fail "the version is not $version with a Debian revision"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libsqlite3-0 libmount1 libsodium23 libcurl4 adduser; do
    grep -Eq "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# No error, no warning; what lintian says is shown either way.
lintian --fail-on error,warning "$deb" > "$tmp/lintian" 2>&1 || fail "lintian: $(cat "$tmp/lintian")"
grep -v 'root privileges' "$tmp/lintian" || echo "debian package: lintian reports no error and no warning"

dpkg-deb -c "$deb" | awk '{ name = substr($6, 2); print ($7 == "->") ? name " -> " $8 : name }' > "$tmp/files"
expected=(
    "/usr/bin/ombrix -> ../lib/ombrix/ombrix"
    "/usr/lib/ombrix/ombrix.ini -> /var/lib/ombrix/ombrix.ini"
    /usr/share/ombrix/ombrix.ini /usr/share/ombrix/keyrings/
    /etc/ombrix/update.conf /etc/ombrix/keyrings/revoked
    /usr/share/doc/ombrix/copyright /usr/share/doc/ombrix/changelog.Debian.gz
    /usr/lib/systemd/system/ombrix-update.service "/usr/lib/systemd/user/ombrix-scan@.service"
    "/usr/bin/ombrix-quarantine -> ../lib/ombrix/ombrix-quarantine" /usr/lib/ombrix/ombrix-quarantine
    /usr/share/man/man1/ombrix-quarantine.1.gz /usr/share/bash-completion/completions/ombrix-quarantine
)
for entry in "${expected[@]}"; do
    grep -qxF -- "$entry" "$tmp/files" || fail "the package lacks $entry"
done
unexpected=$(grep -E 'update-keys|^/var/|gallery|include/|\.a$|/cmake/' "$tmp/files" || true)
[ -z "$unexpected" ] || fail "the package holds $unexpected"
[ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles)" = "$(printf '%s\n' /etc/ombrix/keyrings/revoked /etc/ombrix/update.conf)" ] ||
    fail "the conffiles are not the files in /etc"

dpkg-deb -x "$deb" "$tmp/root"
for program in "$tmp"/root/usr/lib/ombrix/*; do
    [ -L "$program" ] || ! readelf -S "$program" | grep -Eq '\.symtab|\.debug_' || fail "$(basename "$program") is not stripped"
done
grep -qx 'Exec=/usr/bin/ombrix' "$tmp/root/usr/share/applications/ombrix.desktop" || fail "the desktop entry's Exec"
grep -q '^ExecStart=/bin/sh -c .* /usr/lib/ombrix/update$' "$tmp/root/usr/lib/systemd/system/ombrix-update.service" ||
    fail "the update service's ExecStart"
grep -qx '^#url = https://.*' "$tmp/root/etc/ombrix/update.conf" || fail "update.conf does not show the address commented out"
! grep -q '@[A-Z_]*@' "$tmp/root/etc/ombrix/update.conf" || fail "update.conf holds an unfilled @NAME@"

# The units' exposure as systemd rates it: the updater fetches from the network
# as its own user, the scan must still be able to delete in its folder.
exposure_at_most() {
    local goal=$1 unit=$2 level
    shift 2
    level=$(XDG_RUNTIME_DIR=$tmp systemd-analyze security --offline=yes "$@" "$unit" 2>&1 |
        sed -n 's/^→ Overall exposure level for .*: \([0-9.]*\) .*/\1/p')
    [ -n "$level" ] || fail "systemd-analyze rates no $(basename "$unit")"
    echo "debian package: $(basename "$unit") exposure $level (at most $goal)"
    awk -v level="$level" -v goal="$goal" 'BEGIN { exit !(level <= goal) }' || fail "$(basename "$unit") is too exposed"
}
if command -v systemd-analyze >/dev/null; then
    exposure_at_most 2.5 "$tmp/root/usr/lib/systemd/system/ombrix-update.service"
    exposure_at_most 5.0 "$tmp/root/usr/lib/systemd/user/ombrix-scan@.service" --user
fi

exec bash "$(dirname "$0")/debian_root.sh" "$deb" "$source_dir" "$version"
