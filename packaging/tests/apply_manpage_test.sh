#!/usr/bin/env bash
# Keeps the manual page of orvexconsumables-apply honest: it renders without warnings (groff at
# its strictest, and mandoc), documents each option of its synopsis, each exit status and each
# scanner status of the JSON schema, and, given the simulator variant of the program, every option
# of its usage text.
# Usage: apply_manpage_test.sh <source-dir> [<orvexconsumables-apply-sim>]
# Exits with 77 (skipped) when groff is not installed.
set -uo pipefail
export LC_ALL=C
src=${1:?usage: apply_manpage_test.sh <source-dir> [<apply-sim>]}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
apply=${2:-}
page=$src/docs/orvexconsumables-apply.1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shellcheck source=packaging/tests/front_end_manpage.sh
source "$(dirname "${BASH_SOURCE[0]}")/front_end_manpage.sh"

# Each option of the synopsis has its entry under OPTIONS: the short ones, and --check.
synopsis=$(section SYNOPSIS | grep -oE -- '(^|[ [])--?[a-zA-Z][a-z-]*\b' |
    grep -oE -- '--?[a-zA-Z][a-z-]*' | sort -u | paste -sd ' ')
check "options in the synopsis" "--check -V -d -f -h -j -p -t" "$synopsis"
for option in $synopsis; do
    check "option $option under OPTIONS" yes \
        "$(section OPTIONS | grep -qE -- "^ {7}$option( |,|\$)" && echo yes || echo no)"
done

check "exit statuses" "0 1 2 3 4" \
    "$(section 'EXIT STATUS' | grep -oE '^ {7}[0-9]+ ' | tr -d ' ' | paste -sd ' ')"

# The scanner statuses described are those of the JSON schema, in its order.
# shellcheck disable=SC2016  # the text is Python's, not the shell's
schema=$(python3 -c 'import json, sys
print(" ".join(json.load(open(sys.argv[1]))["$defs"]["scanner"]["properties"]["status"]["enum"]))' \
    "$src/docs/orvexconsumables-apply.schema.json")
check "scanner statuses of the schema" "$schema" \
    "$(section DESCRIPTION | grep -oE '^ {7}[a-z-]+ {2,}' | tr -d ' ' | paste -sd ' ')"

if [ -n "$apply" ] && [ -x "$apply" ]; then
    # The options of the usage text: its short ones, and the long ones that have none.
    help=$("$apply" -h 2>&1)
    usage=$({
        grep -oE -- '(^|[ [])-[a-zA-Z]\b' <<<"$help" | grep -oE -- '-[a-zA-Z]'
        grep -oE -- '^ +--[a-z][a-z-]+' <<<"$help" | tr -d ' '
    } | sort -u | paste -sd ' ')
    check "options of the usage text" "$synopsis" "$usage"
    while read -r long; do
        check "long option $long under OPTIONS" yes \
            "$(section OPTIONS | grep -qE -- "^ {7}(-[a-zA-Z].*, )?$long( |\$)" && echo yes || echo no)"
    done < <(grep -oE -- '--[a-z][a-z-]+' <<<"$help" | sort -u)
else
    echo "note: no apply program given; its usage was not compared with the page"
fi

finish
