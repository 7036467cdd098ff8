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
OMBRIX_LIST_SERVER_PORT=$port "$@"
