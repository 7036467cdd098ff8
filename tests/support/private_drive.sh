# Sourced by the end-to-end scripts before anything else. Re-runs the calling
# script (under the shell that runs it) in a mount and network namespace of its own (a user namespace too for
# an unprivileged user), then mounts a fresh tmpfs at $drive, the only drive the
# program under test can scan, and makes a $scratch folder; both go on exit.
# The network namespace keeps the single-instance lock apart from any copy the
# user runs. Set $test_name and $drive_size first; `fail` reports and exits.
if [ "${OMBRIX_E2E_INSIDE:-}" != 1 ]; then
    if [ "$(id -u)" = 0 ]; then mapped=""; else mapped="--map-root-user"; fi
    OMBRIX_E2E_INSIDE=1 exec unshare --mount --net --propagation private $mapped "${BASH:-sh}" "$0" "$@"
fi

drive=$(mktemp -d)
scratch=$(mktemp -d)
trap 'umount -R "$drive" 2>/dev/null || true; rm -rf "$drive" "$scratch"' EXIT

fail() {
    echo "$test_name: $*" >&2
    exit 1
}

mount -t tmpfs -o size="$drive_size" ombrix-e2e "$drive" 2>/dev/null || fail "cannot mount a tmpfs at $drive"
# Never run anything but on the fresh tmpfs.
[ "$(findmnt -rn -o FSTYPE --mountpoint "$drive")" = tmpfs ] || fail "no private tmpfs at $drive"
[ -z "$(ls -A "$drive")" ] || fail "the tmpfs at $drive is not empty"
