#!/usr/bin/env bash
# with_list_server.sh ROOT COMMAND...: runs COMMAND with list_server.py serving
# ROOT on loopback, its port in OMBRIX_LIST_SERVER_PORT; each test's requests
# are logged in server.log beside its site folder.
set -euo pipefail
root=$1
shift
exec 3< <(exec python3 "$(dirname "$0")/list_server.py" "$root" -)
read -r port pid <&3
trap 'kill "$pid" 2>/dev/null' EXIT
# The updater records its checks at the top of the prefix's user hive, which
# every update test clears and fills: one test program runs at a time. The lock
# stays with flock itself, never with a Wine server the test may start.
OMBRIX_LIST_SERVER_PORT=$port flock -o "$(dirname "$root")/update-tests.lock" "$@"
