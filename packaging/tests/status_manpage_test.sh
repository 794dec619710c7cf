#!/usr/bin/env bash
# Keeps the manual page of orvexconsumables-status honest: it renders without warnings (groff at
# its strictest, and mandoc), documents each option of its synopsis and each exit status, and,
# given the simulator variant of the program, every metric family that it writes and nothing it
# does not, and every option of its usage text.
# Usage: status_manpage_test.sh <source-dir> [<orvexconsumables-status-sim>]
# Exits with 77 (skipped) when groff is not installed.
set -uo pipefail
export LC_ALL=C
src=${1:?usage: status_manpage_test.sh <source-dir> [<status-sim>]}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
status=${2:-}
page=$src/docs/orvexconsumables-status.1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shellcheck source=packaging/tests/front_end_manpage.sh
source "$(dirname "${BASH_SOURCE[0]}")/front_end_manpage.sh"

# Each option of the synopsis has its entry under OPTIONS.
synopsis=$(section SYNOPSIS | grep -oE -- '-[a-zA-Z]\b' | sort -u | paste -sd ' ')
check "options in the synopsis" "-V -c -d -f -h -j -o -p -t -w" "$synopsis"
for option in $synopsis; do
    check "option $option under OPTIONS" yes \
        "$(section OPTIONS | grep -qE -- "^ {7}$option( |,|\$)" && echo yes || echo no)"
done

# Exit statuses 0 to 3, for both kinds of format.
check "exit statuses of json and prometheus" "0 1 2 3" \
    "$(section 'EXIT STATUS' | grep -oE '^ {7}[0-9]+ ' | tr -d ' ' | paste -sd ' ')"
check "plugin states" "0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN." \
    "$(section 'EXIT STATUS' | tr -s ' \n' ' ' | grep -oE '0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN\.')"

if [ -n "$status" ] && [ -x "$status" ]; then
    # The metric families that the program writes (from its TYPE lines) are those of the page.
    cp "$src/sim/fleet/sample.json" "$work/fleet.json"  # a run may leave lock files beside it
    written=$(ORVEX_SIM_FLEET=$work/fleet.json "$status" -f prometheus 2>/dev/null |
        sed -n 's/^# TYPE \([a-z_]*\) .*/\1/p' | sort | paste -sd ' ')
    documented=$(grep -oE '^ {7}orvex_[a-z_]+' "$text" | tr -d ' ' | sort -u | paste -sd ' ')
    check "metric families written and documented" "$written" "$documented"
    # Each option of the usage text is in the page.
    usage=$("$status" -h 2>&1 | grep -oE -- '(^|[ [])-[a-zA-Z]\b' | grep -oE -- '-[a-zA-Z]' |
        sort -u | paste -sd ' ')
    check "options of the usage text" "$synopsis" "$usage"
    # A long option has its entry after its short one ("-j jobs, --jobs jobs") or alone.
    for long in $("$status" -h 2>&1 | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
        check "long option $long under OPTIONS" yes \
            "$(section OPTIONS | grep -qE -- "^ {7}(-[a-zA-Z].*, )?$long( |\$)" && echo yes || echo no)"
    done
else
    echo "note: no status program given; its output and usage were not compared with the page"
fi

finish
