#!/bin/sh
# The alerting rules docs/fleet.md shows, taken from the page itself, checked
# and tested with promtool against tests/fleet/alerts_test.yml.
# Usage: alerting_rules.sh FLEET.MD ALERTS_TEST.YML
set -eu
command -v promtool > /dev/null || { echo "promtool is not installed"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The first yaml block after the heading "### Alerting rules".
awk '/^### Alerting rules/ { section = 1 }
     section && /^```yaml/ { inside = 1; next }
     inside && /^```/ { exit }
     inside { print }' "$1" > "$scratch/alerts.yml"
[ -s "$scratch/alerts.yml" ] || { echo "no rules found in $1"; exit 1; }
cp "$2" "$scratch/alerts_test.yml"
promtool check rules "$scratch/alerts.yml"
promtool test rules "$scratch/alerts_test.yml"
