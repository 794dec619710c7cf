#!/usr/bin/env bash
# Checks the shipped systemd units with systemd-analyze verify. verify wants the ExecStart
# program and the Documentation page to exist: the check runs on copies whose ExecStart names
# the given build of the status companion, with the source tree's manual page on MANPATH.
# Usage: status_units_test.sh <source-dir> <status-binary>
set -uo pipefail
src=$(realpath "${1:?usage: status_units_test.sh <source-dir> <status-binary>}")  # the page is linked
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
status=${2:?usage: status_units_test.sh <source-dir> <status-binary>}
units=$src/packaging/systemd
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

service=orvexconsumables-status.service
timer=orvexconsumables-status.timer
check "ExecStart runs the installed program" \
    "ExecStart=/usr/bin/orvexconsumables-status -f prometheus -o /var/lib/prometheus/node-exporter/orvexconsumables.prom" \
    "$(grep '^ExecStart=' "$units/$service")"
sed "s|^ExecStart=/usr/bin/orvexconsumables-status |ExecStart=$status |" "$units/$service" \
    >"$work/$service"
cp "$units/$timer" "$work/$timer"
mkdir -p "$work/man/man1"
ln -s "$src/docs/orvexconsumables-status.1" "$work/man/man1/"

out=$(cd "$work" && MANPATH=$work/man SYSTEMD_LOG_LEVEL=notice systemd-analyze verify "$service" \
    "$timer" 2>&1)
check "systemd-analyze verify" "0|" "$?|$out"
# The timer's schedule: 2 minutes after boot, then every hour.
check "timer schedule" "OnBootSec=2min|OnUnitActiveSec=1h" \
    "$(grep -E '^On[A-Za-z]+Sec=' "$units/$timer" | paste -sd '|')"

finish
