#!/usr/bin/env bash
# Checks the apply program's systemd units with systemd-analyze verify. verify wants the
# ExecStart program and the Documentation page to exist: the check runs on copies whose ExecStart
# names the given build of the apply program, with the source tree's manual page on MANPATH.
# Usage: apply_units_test.sh <source-dir> <apply-binary>
# Exits with 77 (skipped) when systemd-analyze is not installed.
set -uo pipefail
src=${1:?usage: apply_units_test.sh <source-dir> <apply-binary>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
apply=${2:?usage: apply_units_test.sh <source-dir> <apply-binary>}
units=$src/packaging/systemd
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! command -v systemd-analyze >/dev/null; then
    echo "SKIPPED: systemd-analyze is not installed (apt-get install systemd)"
    exit 77
fi

service=orvexconsumables-apply.service
timer=orvexconsumables-apply.timer
check "ExecStart runs the installed program with the default policy" \
    "ExecStart=/usr/bin/orvexconsumables-apply" "$(grep '^ExecStart=' "$units/$service")"
sed "s|^ExecStart=/usr/bin/orvexconsumables-apply|ExecStart=$apply|" "$units/$service" \
    >"$work/$service"
cp "$units/$timer" "$work/$timer"
mkdir -p "$work/man/man1"
ln -s "$src/docs/orvexconsumables-apply.1" "$work/man/man1/"

out=$(cd "$work" && MANPATH=$work/man SYSTEMD_LOG_LEVEL=notice systemd-analyze verify "$service" \
    "$timer" 2>&1)
check "systemd-analyze verify" "0|" "$?|$out"
# The schedule as systemd reads it: every day, caught up after a boot, spread over an hour.
check "timer schedule" "OnCalendar=daily|Persistent=true|RandomizedDelaySec=1h" \
    "$(grep -E '^(OnCalendar|Persistent|RandomizedDelaySec)=' "$units/$timer" | paste -sd '|')"
# Hardened like the status companion's service: each of its sandboxing settings, the same; but it
# writes no folder on disk (the status service writes node_exporter's).
hardening='^(NoNewPrivileges|Protect[A-Za-z]*|Private[A-Za-z]*|Restrict[A-Za-z]*|LockPersonality|RemoveIPC|SystemCall[A-Za-z]*|CapabilityBoundingSet|ReadWritePaths)='
check "the status service's sandboxing but its writable folder" \
    "$(grep -E "$hardening" "$units/orvexconsumables-status.service" | grep -v '^ReadWritePaths=')" \
    "$(grep -E "$hardening" "$units/$service")"

finish
