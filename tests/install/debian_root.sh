#!/usr/bin/env bash
# Installs the package with apt into a throwaway Debian 12 root and checks what an
# administrator meets: the updater's user and state folder, a scan with the seeded
# list, an update from a loopback server, a reinstall that keeps the installed
# list, and a purge that leaves nothing of Ombrix.
#
# The root is made once by mmdebstrap, from the registry this machine uses, with
# the package's dependencies installed, and kept in $OMBRIX_TEST_ROOT_CACHE
# (default /var/cache/ombrix-test-root) under a key of those packages and the
# sources; each run works on an overlay of it in a private mount and network
# namespace, where only the loopback address answers.
# Usage: debian_root.sh DEB SOURCE_DIR VERSION
set -euo pipefail
deb=$1
source_dir=$2
version=$3

skip() {
    echo "debian package: throwaway root skipped: $*"
    exit 77
}
fail() {
    echo "debian package: $*" >&2
    exit 1
}

if [ "${OMBRIX_ROOT_INSIDE:-}" != 1 ]; then
    [ "$(id -u)" = 0 ] || skip "making and entering a root needs root"
    command -v mmdebstrap >/dev/null || skip "mmdebstrap is not installed (scripts/setup installs it)"
    sources=()
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
        [ -s "$file" ] && sources+=("$file")
    done
    [ ${#sources[@]} -gt 0 ] || skip "this machine names no package registry in /etc/apt"
    packages=$(dpkg-deb -f "$deb" Pre-Depends Depends | sed 's/^[A-Za-z-]*: //; s/([^)]*)//g; s/|[^,]*//g' |
        tr ', ' '\n\n' | grep . | sort -u | paste -sd,)
    make_root=(mmdebstrap --variant=apt --include="$packages" bookworm)
    cache=${OMBRIX_TEST_ROOT_CACHE:-/var/cache/ombrix-test-root}
    key=$({ echo "${make_root[*]}"; cat "${sources[@]}"; } | sha256sum | cut -c1-16)
    cached=$cache/$key
    mkdir -p "$cache"
    # Held until the test ends: no other run replaces the root while it is in use.
    exec 9> "$cache/lock"
    flock 9
    if [ ! -d "$cached" ]; then
        started=$SECONDS
        rm -rf "$cached.new"
        # mmdebstrap hands apt descriptors above those already open, and dash cannot
        # name a descriptor past 9: the root is made with the standard three only.
        (
            for fd in /proc/$BASHPID/fd/*; do
                fd=${fd##*/}
                [ "$fd" -gt 2 ] && eval "exec $fd>&-"
            done
            exec "${make_root[@]}" "$cached.new" "${sources[@]}"
        ) < /dev/null > "$cache/make.log" 2>&1 ||
            skip "mmdebstrap cannot make a Debian 12 root: $(tail -3 "$cache/make.log")"
        # Roots of earlier package lists; nothing else in the cache folder.
        find "$cache" -mindepth 1 -maxdepth 1 -regextype posix-extended -regex '.*/[0-9a-f]{16}' -exec rm -rf {} +
        mv "$cached.new" "$cached"
        echo "debian package: made the root $cached in $((SECONDS - started)) s"
    fi
    OMBRIX_ROOT_INSIDE=1 OMBRIX_ROOT_CACHED=$cached exec unshare --mount --net --propagation private bash "$0" "$@"
fi

scratch=$(mktemp -d)
root=$scratch/root
trap 'umount -R "$root" 2>/dev/null || true; [ -z "${server:-}" ] || kill "$server"; rm -rf "$scratch"' EXIT
mkdir -p "$root" "$scratch/upper" "$scratch/work"
mount -t overlay ombrix-root -o "lowerdir=$OMBRIX_ROOT_CACHED,upperdir=$scratch/upper,workdir=$scratch/work" "$root" ||
    cp -a "$OMBRIX_ROOT_CACHED/." "$root"
# The programs find their folder through /proc/self/exe.
mount -t proc ombrix-proc "$root/proc"
ip link set lo up

in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"
}
apt_in_root() {
    in_root apt-get "$@" -y -q --no-install-recommends -o Dpkg::Use-Pty=0 > "$scratch/apt.log" 2>&1 ||
        fail "apt-get $*: $(tail -20 "$scratch/apt.log")"
}
list_version() {
    sed -n "s/^' version \([0-9]*\).*/\1/p" "$root/var/lib/ombrix/ombrix.ini" | head -1
}

cp "$deb" "$root/tmp/ombrix.deb"
apt_in_root install /tmp/ombrix.deb
[ "$(in_root ombrix-scan --version)" = "ombrix-scan $version" ] || fail "ombrix-scan --version in the root is wrong"
[ "$(in_root stat -c '%U:%G %a' /var/lib/ombrix)" = "_ombrix:_ombrix 755" ] || fail "/var/lib/ombrix is not the updater's"
[ "$(in_root stat -c '%U %a' /var/lib/ombrix/ombrix.ini)" = "_ombrix 644" ] || fail "the seeded list is not the updater's"
cmp -s "$root/usr/share/ombrix/ombrix.ini" "$root/var/lib/ombrix/ombrix.ini" || fail "the seeded list is not the shipped one"
[ "$(in_root getent passwd _ombrix | cut -d: -f7)" = /usr/sbin/nologin ] || fail "_ombrix is not a system user without a shell"

# A user's scan finds by the list behind the program folder's link.
mkdir -p "$root/tmp/tree"
echo x > "$root/tmp/tree/EICAR.COM"
status=0
in_root setpriv --reuid=nobody --regid=nogroup --clear-groups env OMBRIX_SETTINGS=/tmp/settings.db \
    ombrix-scan /tmp/tree > "$scratch/scan" 2>&1 || status=$?
[ "$status" = 1 ] && grep -q 'EICAR.COM$' "$scratch/scan" || fail "a scan in the root: $status $(cat "$scratch/scan")"

# Serves a list of VERSION, published with a key the administrator trusts, and
# updates from it as the service does; returns the update's exit status.
update_to() {
    local served=$root/srv/$1
    mkdir -p "$served"
    printf "' version %s\r\nServed\tserved-%s.txt\r\n" "$1" "$1" > "$served/ombrix.ini"
    [ -e "$root/root/publisher.key" ] ||
        in_root ombrix-update-key generate /root/publisher.key /etc/ombrix/keyrings/publisher.pub > /dev/null
    in_root ombrix-update-key publish /root/publisher.key "/srv/$1/ombrix.ini" > /dev/null
    printf 'url = http://127.0.0.1:%s/%s/ombrix.ini.release\nallow-http = 127.0.0.1\n' "$port" "$1" \
        > "$root/etc/ombrix/update.conf"
    in_root setpriv --reuid=_ombrix --regid=_ombrix --clear-groups env OMBRIX_SETTINGS=/var/lib/ombrix/settings.db \
        /usr/lib/ombrix/update --quiet 2>> "$scratch/update.log"
}

mkdir -p "$root/srv"
python3 "$source_dir/tests/update/list_server.py" "$root/srv" "$scratch/server.log" > "$scratch/server" &
server=$!
for _ in $(seq 100); do [ -s "$scratch/server" ] && break; sleep 0.1; done
read -r port _ < "$scratch/server"
update_to 2026120603 || fail "the update failed: $(cat "$scratch/update.log")"
[ "$(list_version)" = 2026120603 ] || fail "the update did not install version 2026120603"
# Only the administrator's conffiles may differ from what dpkg installed.
changed=$(in_root dpkg --verify ombrix | grep -v '^\S* c /etc/' || true)
[ -z "$changed" ] || fail "dpkg --verify: $changed"

# Neither a reinstall nor an older list brings an older list back.
apt_in_root install --reinstall /tmp/ombrix.deb
[ "$(list_version)" = 2026120603 ] || fail "the reinstall replaced the installed list"
! update_to 2026120500 || fail "an older list was installed after a reinstall"
[ "$(list_version)" = 2026120603 ] || fail "the refused older list changed the installed one"
grep -q 'not newer than' "$scratch/update.log" || fail "the older list was refused for another reason: $(cat "$scratch/update.log")"

# Purge leaves nothing of Ombrix: no file, no folder, no user or group.
in_root sh -c 'echo x > /var/lib/ombrix/settings.db'
apt_in_root purge ombrix
# The registry files come from this machine (its source-package entry may be named for Ombrix).
left=$(cd "$root" && find . -path ./proc -prune -o -path ./tmp -prune -o -path ./srv -prune \
    -o -path ./etc/apt/sources.list.d -prune -o -iname '*ombrix*' -print)
[ -z "$left" ] || fail "purge left $left"
! in_root getent passwd _ombrix > /dev/null || fail "purge left the user _ombrix"
! in_root getent group _ombrix > /dev/null || fail "purge left the group _ombrix"
echo "debian package: ok"
