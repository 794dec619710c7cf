#!/usr/bin/env bash
# Drives the bash completion of orvexconsumables the way bash does, with a stub tool on PATH
# that lists devices, and checks what it offers.
# Usage: completion_test.sh <source-dir>
set -uo pipefail
src=${1:?usage: completion_test.sh <source-dir>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
# shellcheck source=packaging/tests/long_options.sh
source "$(dirname "${BASH_SOURCE[0]}")/long_options.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A stub that lists three devices the way the tool does; with STUB_NO_SCANNER set it prints
# the tool's not-connected message instead; with STUB_HANG set it hangs, ignoring the terminal
# signals as the tool does.
mkdir "$work/bin"
cat >"$work/bin/orvexconsumables" <<'STUB'
#!/bin/sh
[ "$1" = "-L" ] || exit 3
if [ -n "${STUB_HANG:-}" ]; then
    trap '' HUP INT QUIT TERM TSTP
    exec sleep 60
fi
if [ -n "${STUB_NO_SCANNER:-}" ]; then
    echo "orvexconsumables: The scanner is not connected, or may be in use by another application"
    exit 6
fi
echo "List of available devices:"
echo "    ko-330xs:KV33A0001"
echo "    ko-650:KV65B0002"
echo "    VX-905R"
STUB
chmod +x "$work/bin/orvexconsumables"
PATH="$work/bin:$PATH"

# shellcheck source=/dev/null
source "$src/packaging/bash-completion/orvexconsumables"

# Completes the words of $1 (the last one is completed, "" for a new word) with COMP_WORDS and
# COMP_CWORD only, as a test harness or an older caller sets them.
complete_words() {
    local -a COMP_WORDS
    read -ra COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=('')
    local COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE='' COMP_POINT=0 COMP_WORDBREAKS=''
    COMPREPLY=()
    _orvexconsumables orvexconsumables "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    echo "${COMPREPLY[*]}"
}

# Completes the line $1 as interactive bash does: COMP_LINE and COMP_POINT at its end, the
# default word breaks (so bash itself splits at ":" and "="), COMP_WORDS split the same way.
complete_line() {
    local COMP_LINE=$1 COMP_POINT=${#1} COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
    local -a COMP_WORDS
    read -ra COMP_WORDS <<<"${1//[:=]/ & }"
    [[ $1 == *' ' || $1 == *[:=] ]] && COMP_WORDS+=('')
    local COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _orvexconsumables orvexconsumables "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    echo "${COMPREPLY[*]}"
}

# shellcheck disable=SC2154  # set by the completion file
all_long=$(printf '%s\n' "${_orvexconsumables_options[@]}" | grep -- '^--' | tr '\n' ' ')
all_long=${all_long% }
devices='ko-330xs:KV33A0001 ko-650:KV65B0002 VX-905R'

# Rows: how to complete, the line, the expected replies.
rows=(
    "words|orvexconsumables --power-off |inactive 1-hour 2-hours 4-hours 8-hours"
    "words|orvexconsumables --power-off 4|4-hours"
    "words|orvexconsumables --power-off x|"
    "words|orvexconsumables -d |$devices"
    "words|orvexconsumables --device-name ko-|ko-330xs:KV33A0001 ko-650:KV65B0002"
    "words|orvexconsumables -d V|VX-905R"
    "words|orvexconsumables --pick|--pick-roller-clear"
    "words|orvexconsumables --adf-front-offset-|--adf-front-offset-main --adf-front-offset-sub --adf-front-offset-end-of-page"
    "words|orvexconsumables --flatbed-m|--flatbed-magnification-adjustment"
    "words|orvexconsumables --sleeptimer |"
    "words|orvexconsumables --adf-magnification-adjustment -|"
    "words|orvexconsumables -|-d -L -h -V $all_long"
    "words|orvexconsumables --|$all_long"
    "words|orvexconsumables --sleeptimer 15 --p|--pick-roller-clear --pad-clear --power-off"
    "words|orvexconsumables extra|"
    "line|orvexconsumables -d ko-330xs:KV|KV33A0001"
    "line|orvexconsumables -d ko-6|ko-650:KV65B0002"
    "line|orvexconsumables --device-name=ko-650:|KV65B0002"
    "line|orvexconsumables --power-off=|inactive 1-hour 2-hours 4-hours 8-hours"
    "line|orvexconsumables --power-off=2|2-hours"
    "line|orvexconsumables --power-off 8|8-hours"
    "line|orvexconsumables --roller|--roller-set-clear"
    "words|orvexconsumables --power-o |inactive 1-hour 2-hours 4-hours 8-hours"
    "words|orvexconsumables --po 8|8-hours"
    "line|orvexconsumables --power-of=2|2-hours"
    "words|orvexconsumables --dev ko-|ko-330xs:KV33A0001 ko-650:KV65B0002"
    "words|orvexconsumables --sleep |"
    "words|orvexconsumables --p |-d -L -h -V $all_long"
)
for row in "${rows[@]}"; do
    IFS='|' read -r how line expected <<<"$row"
    check "$how: '$line'" "$expected" "$("complete_$how" "$line")"
done

# With no scanner attached the tool lists nothing, and nothing is offered.
check "no scanner: -d" "" "$(STUB_NO_SCANNER=1 complete_words 'orvexconsumables -d ')"

# A scanner service that does not answer: nothing is offered, within the list's time limit.
start=$SECONDS
replies=$(STUB_HANG=1 complete_words 'orvexconsumables -d ')
check "service that does not answer: -d" "[] within 5 s" \
    "[$replies] $( ((SECONDS - start <= 5)) && echo within 5 s || echo after $((SECONDS - start)) s)"

# The completion offers exactly the long options of the tool's option table.
table=$(tool_long_options "$src" | sed 's/^/--/' | sort | tr '\n' ' ')
offered=$(tr " " "\n" <<<"$all_long" | sort | tr '\n' ' ')
if [[ -z $table ]]; then
    check "option table found in cli/options.def" "22 long options" "none"
else
    check "completion offers the option table's long options" "$table" "$offered"
fi

finish
