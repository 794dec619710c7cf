#!/usr/bin/env bash
# Runs the core walk on a copy of a fleet and compares what it prints with the expected text.
# Usage: run.sh <core-walk-binary> <fleet.json> <expected.txt>
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/fleet.json"
ORVEX_SIM_FLEET="$work/fleet.json" "$1" | diff - "$3"
cmp -s "$2" "$work/fleet.json" || { echo "the walk changed the fleet" >&2; exit 1; }
echo "core walk: every scanner read, the fleet unchanged"
