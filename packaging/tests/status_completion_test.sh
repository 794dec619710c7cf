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

# The stub lists three devices as the maintenance tool does; with STUB_HANG set it hangs.
mkdir "$work/bin" "$work/files" "$work/files/textfile"
cat >"$work/bin/orvexconsumables" <<'STUB'
#!/bin/sh
[ "$1" = "-L" ] || exit 3
[ -z "${STUB_HANG:-}" ] || exec sleep 60
echo "List of available devices:"
echo "    ko-330xs:KV33A0001"
echo "    ko-650:KV65B0002"
echo "    VX-905R"
STUB
chmod +x "$work/bin/orvexconsumables"
# A build tree: the simulator variants, the status program one folder below the tool.
mkdir -p "$work/build/status"
printf '#!/bin/sh\necho "List of available devices:"\necho "    ko-550xs:KV55A0004"\n' \
    >"$work/build/orvexconsumables-sim"
printf '#!/bin/sh\nexit 3\n' >"$work/build/status/orvexconsumables-status-sim"
chmod +x "$work/build/orvexconsumables-sim" "$work/build/status/orvexconsumables-status-sim"
touch "$work/files/orvexconsumables.prom" "$work/files/other.json"
PATH="$work/bin:$PATH"
cd "$work/files" || exit 1

# shellcheck source=/dev/null
source "$src/packaging/bash-completion/orvexconsumables-status"

# Completes the line $1 as interactive bash does: COMP_LINE and COMP_POINT at its end, the
# default word breaks (bash splits at ":" and "="), COMP_WORDS split the same way.
complete_line() {
    local COMP_LINE=$1 COMP_POINT=${#1} COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
    local -a COMP_WORDS
    read -ra COMP_WORDS <<<"${1//[:=]/ & }"
    [[ $1 == *' ' || $1 == *[:=] ]] && COMP_WORDS+=('')
    local COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _orvexconsumables_status "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" \
        "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

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
for row in "${rows[@]}"; do
    IFS='|' read -r line expected <<<"$row"
    check "'$line'" "$expected" "$(complete_line "$line")"
done

# The status program's simulator variant in a build tree asks the tool's variant one folder up.
check "build tree: -d" "ko-550xs:KV55A0004" \
    "$(complete_line "$work/build/status/orvexconsumables-status-sim -d ")"

# A lister that hangs is given up after its time limit: nothing is offered, within 10 seconds.
start=$SECONDS
check "hanging lister: -d" "" "$(STUB_HANG=1 complete_line 'orvexconsumables-status -d ')"
check "hanging lister given up within 10 s" yes "$( ((SECONDS - start <= 10)) && echo yes || echo no)"

# Every short option of the manual page's synopsis is offered.
page=$(grep -oE '^\.(OP|B|RB) \[?\\-[a-zA-Z]' "$src/docs/orvexconsumables-status.1" |
    grep -oE '[a-zA-Z]$' | sed 's/^/-/' | sort -u | paste -sd ' ')
# shellcheck disable=SC2154  # set by the completion file
check "the options of the manual page's synopsis" "$page" \
    "$(printf '%s\n' "${_orvexconsumables_status_options[@]}" | grep -v -- '^--' | sort | paste -sd ' ')"

finish
