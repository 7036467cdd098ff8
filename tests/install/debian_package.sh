#!/usr/bin/env bash
# Builds the Debian package from the build folder as the README says and checks
# what it holds, what it depends on and the paths its files name.
# Usage: debian_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fail() {
    echo "debian package: $*" >&2
    exit 1
}

(cd "$build" && cpack -G DEB -B "$tmp") > "$tmp/cpack.log" 2>&1 || fail "cpack: $(cat "$tmp/cpack.log")"
deb=$tmp/ombrix_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$tmp")"

[ "$(dpkg-deb -f "$deb" Package)" = ombrix ] || fail "the package is not named ombrix"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libsqlite3-0 libmount1 libsodium23 libcurl4; do
    grep -Eq "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library: $depends"
done

dpkg-deb -c "$deb" | awk '{ name = substr($6, 3); print ($7 == "->") ? name " -> " $8 : name }' > "$tmp/files"
expected=(
    "usr/bin/ombrix -> ../lib/ombrix/ombrix"
    "usr/bin/ombrix-scan -> ../lib/ombrix/ombrix-scan"
    "usr/bin/ombrix-settings -> ../lib/ombrix/ombrix-settings"
    "usr/bin/ombrix-quarantine -> ../lib/ombrix/ombrix-quarantine" usr/lib/ombrix/ombrix-quarantine
    usr/share/man/man1/ombrix-quarantine.1.gz usr/share/bash-completion/completions/ombrix-quarantine
    usr/lib/ombrix/ombrix usr/lib/ombrix/ombrix-scan usr/lib/ombrix/ombrix-settings
    usr/lib/ombrix/update usr/lib/ombrix/ombrix.ini usr/lib/ombrix/update-keys/
    usr/share/applications/ombrix.desktop usr/share/icons/hicolor/scalable/apps/ombrix.svg
    usr/share/metainfo/org.ombrix.Ombrix.metainfo.xml
    usr/share/man/man1/ombrix.1.gz usr/share/man/man1/ombrix-scan.1.gz usr/share/man/man1/ombrix-settings.1.gz
    usr/share/man/man1/ombrix-update.1.gz usr/share/man/man1/ombrix-update-key.1.gz
    usr/share/bash-completion/completions/ombrix-scan usr/share/bash-completion/completions/ombrix-settings
    usr/lib/systemd/system/ombrix-update.service usr/lib/systemd/system/ombrix-update.timer
    "usr/lib/systemd/user/ombrix-scan@.service" "usr/lib/systemd/user/ombrix-scan@.timer"
)
for entry in "${expected[@]}"; do
    grep -qxF -- "$entry" "$tmp/files" || fail "the package lacks $entry"
done
outside=$(grep -Ev '^usr/((lib/)?|bin/.*|lib/ombrix/.*|lib/systemd/.*|share/.*)$' "$tmp/files" || true)
[ -z "$outside" ] || fail "files outside the layout: $outside"
! grep -Eq 'gallery|include/|\.a |/cmake/' "$tmp/files" || fail "the package holds build-only files"

# Files that name installed paths name those below /usr.
dpkg-deb -x "$deb" "$tmp/root"
grep -qx 'Exec=/usr/bin/ombrix' "$tmp/root/usr/share/applications/ombrix.desktop" || fail "the desktop entry's Exec"
grep -qx 'ExecStart=/usr/lib/ombrix/update --quiet' "$tmp/root/usr/lib/systemd/system/ombrix-update.service" ||
    fail "the update service's ExecStart"
grep -q '^ExecStart=/usr/bin/ombrix-scan ' "$tmp/root/usr/lib/systemd/user/ombrix-scan@.service" ||
    fail "the scan service's ExecStart"
echo "debian package: ok"
