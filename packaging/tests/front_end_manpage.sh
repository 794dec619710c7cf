# Shared by the manual-page checks of the fleet front ends: skips (77) without groff, checks that
# the page renders without warnings (groff at its strictest, and mandoc if present), renders it as
# plain text and offers its sections. Sourced after check.sh with $page and $work set.
# shellcheck shell=bash disable=SC2154  # page and work come from the sourcing test

if ! command -v groff >/dev/null; then
    echo "SKIPPED: groff is not installed (apt-get install groff-base)"
    exit 77
fi

check "groff -ww" "0|" "$(groff -man -ww -z "$page" 2>&1; echo "$?|")"
if command -v mandoc >/dev/null; then
    check "mandoc -T lint" "0|" "$(mandoc -T lint -W style "$page" 2>&1; echo "$?|")"
else
    echo "note: mandoc not installed; only groff checked the page"
fi

text=$work/page.txt
groff -man -Tascii -P-c -P-b -P-o -P-u -rLL=5000n -rHY=0 "$page" 2>/dev/null >"$text"
# The text of the section titled $1, without its title.
section() { sed -n "/^$1\$/,/^[A-Z][A-Z ]*\$/p" "$text" | sed '1d;$d'; }
