#!/usr/bin/env bash
# Drives the bash completion of orvexconsumables-status the way bash does, with a stub lister
# (orvexconsumables -L) on PATH, and checks what it offers, also when the lister hangs.
# Usage: status_completion_test.sh <source-dir>
set -uo pipefail
export LC_ALL=C
src=${1:?usage: status_completion_test.sh <source-dir>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

program=orvexconsumables-status folder=status
# shellcheck source=packaging/tests/front_end_completion.sh
source "$(dirname "${BASH_SOURCE[0]}")/front_end_completion.sh"
mkdir "$work/files" "$work/files/textfile"
touch "$work/files/orvexconsumables.prom" "$work/files/other.json"
cd "$work/files" || exit 1

all="--critical --device-name --format --help --jobs --no-state --output --policy --state-dir \
--timeout --total-timeout --version --warning -V -c -d -f -h -j -o -p -t -w"
# Rows: the line, the expected replies (sorted).
rows=(
    "orvexconsumables-status -|$all"
    "orvexconsumables-status |$all"
    "orvexconsumables-status --f|--format"
    "orvexconsumables-status -f |json nagios prometheus table"
    "orvexconsumables-status -f t|table"
    "orvexconsumables-status -f p|prometheus"
    "orvexconsumables-status --format n|nagios"
    "orvexconsumables-status --format=j|json"
    "orvexconsumables-status -f x|"
    "orvexconsumables-status -o |orvexconsumables.prom other.json textfile"
    "orvexconsumables-status -o o|orvexconsumables.prom other.json"
    "orvexconsumables-status --output t|textfile"
    "orvexconsumables-status -p o|orvexconsumables.prom other.json"
    "orvexconsumables-status --policy=t|textfile"
    "orvexconsumables-status --state-dir |textfile"
    "orvexconsumables-status --state-dir=t|textfile"
    "orvexconsumables-status --no|--no-state"
    "orvexconsumables-status -d |VX-905R ko-330xs:KV33A0001 ko-650:KV65B0002"
    "orvexconsumables-status -d ko-|ko-330xs:KV33A0001 ko-650:KV65B0002"
    "orvexconsumables-status -d ko-330xs:|KV33A0001"
    "orvexconsumables-status -f nagios --device-name ko-650:KV|KV65B0002"
    "orvexconsumables-status --device-name=V|VX-905R"
    "orvexconsumables-status -t |"
    "orvexconsumables-status --timeout |"
    "orvexconsumables-status -j |"
    "orvexconsumables-status --warning |"
    "orvexconsumables-status -c |"
    "orvexconsumables-status --total-timeout |"
    "orvexconsumables-status --tot|--total-timeout"
    "orvexconsumables-status -t 5 -|$all"
    "orvexconsumables-status extra|"
)
check_rows "${rows[@]}"
check_device_listing

# Every short option of the manual page's synopsis is offered.
page=$(grep -oE '^\.(OP|B|RB) \[?\\-[a-zA-Z]' "$src/docs/orvexconsumables-status.1" |
    grep -oE '[a-zA-Z]$' | sed 's/^/-/' | sort -u | paste -sd ' ')
# shellcheck disable=SC2154  # set by the completion file
check "the options of the manual page's synopsis" "$page" \
    "$(printf '%s\n' "${_orvexconsumables_status_options[@]}" | grep -v -- '^--' | sort | paste -sd ' ')"

finish
