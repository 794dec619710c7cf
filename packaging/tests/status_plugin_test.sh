#!/usr/bin/env bash
# Checks the status companion as a monitoring plugin: its exit status and summary state for each
# fleet fixture and for each kind of failing scanner, and its perfdata read back by the
# monitoring plugins' own Perl library (Monitoring::Plugin::Performance), with the fleet's counts.
# Usage: status_plugin_test.sh <source-dir> <status-sim-binary>
set -uo pipefail
src=${1:?usage: status_plugin_test.sh <source-dir> <status-sim>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
status=${2:?usage: status_plugin_test.sh <source-dir> <status-sim>}
fleet_pl=$src/packaging/tests/status_fleet.pl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fleet whose every call is delayed beyond a one-second deadline.
sed '1s/^{/{"faults": {"GetEEPROMData": {"delayMs": 5000}},/' \
    "$src/tests/fixtures/consumables_changes.json" >"$work/slow.json"

states=(OK WARNING CRITICAL UNKNOWN)
f=$src/tests/fixtures
# Rows: fleet file | options | expected exit status | perfdata checked (every scanner read).
rows=(
    "$src/sim/fleet/sample.json||1|yes"
    "$f/sample.json|-d ko-550xs:KV55A0004|0|yes"
    "$f/sample.json|-d ko-330xs:KV33A0001 -d VX-905R|1|yes"
    "$f/consumables_changes.json||0|yes"
    "$f/consumables_report.json||1|yes"
    "$f/faults_fleet.json||0|yes"
    "$f/cli_labels.json||2|no"
    "$f/cli_labels.json|-d ko-330xs:FLAT0004|0|yes"
    "$f/cli_labels.json|-d ko-330xs:BUSY0002|3|no"
    "$f/cli_labels.json|-d ko-330xs:BAD0003|2|no"
    "$f/consumables_changes.json|-d ko-330xs:NOSUCH|2|no"
    "$f/sample.json|-d ko-230xs:KV23A0005|2|no"
    "$work/slow.json|-t 1|2|no"
)
for row in "${rows[@]}"; do
    IFS='|' read -r fleet options want perf <<<"$row"
    name="${fleet##*/} ${options:-(all)}"
    cp "$fleet" "$work/fleet.json"
    # shellcheck disable=SC2086  # the options are words
    ORVEX_SIM_FLEET=$work/fleet.json timeout 60 "$status" -f nagios $options >"$work/out" 2>"$work/err"
    code=$?
    check "$name: exit status" "$want" "$code"
    check "$name: summary line" "ORVEXCONSUMABLES ${states[want]} - " \
        "$(head -n 1 "$work/out" | grep -oE '^ORVEXCONSUMABLES [A-Z]+ - ')"
    [ "$perf" = yes ] || continue
    devices=$(grep -oE -- '-d [^ ]+' <<<"$options" | cut -c4-)
    # shellcheck disable=SC2086  # the device names are words
    expected=$(perl "$fleet_pl" perfdata "$work/fleet.json" $devices | sed 's/$/ ;0/')
    check "$name: perfdata read by Monitoring::Plugin" "$expected" \
        "$(perl "$fleet_pl" parse-perf <"$work/out")"
done

# A usage error is UNKNOWN, whatever the fleet.
cp "$src/sim/fleet/sample.json" "$work/fleet.json"
for options in "-x" "-f xml" "-t 0" "-t 3601" "extra"; do
    # shellcheck disable=SC2086  # the options are words
    ORVEX_SIM_FLEET=$work/fleet.json "$status" -f nagios $options >/dev/null 2>&1
    check "usage error '$options': exit status" 3 "$?"
done

finish
