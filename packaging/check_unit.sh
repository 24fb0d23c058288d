#!/usr/bin/env bash
# The service unit as systemd judges it, without systemd running: verify
# (syntax, the programs it names exist) and the offline security rating,
# which must be 2.0 or lower ("OK" or better).
set -euo pipefail
unit=$1
limit=${2:-2.0}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$unit" "$work/"
cd "$work"
name=$(basename "$unit")
systemd-analyze verify --man=no "$work/$name"
rating=$(systemd-analyze security --offline=true --no-pager "$work/$name" | tail -1)
echo "$rating"
exposure=$(sed -n 's/.*level for [^:]*: \([0-9.]*\).*/\1/p' <<<"$rating")
[ -n "$exposure" ] || { echo "no exposure level found"; exit 1; }
awk -v e="$exposure" -v l="$limit" 'BEGIN { exit !(e <= l) }' || { echo "exposure $exposure > $limit"; exit 1; }
