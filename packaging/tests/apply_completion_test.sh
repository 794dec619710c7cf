#!/usr/bin/env bash
# Drives the bash completion of orvexconsumables-apply the way bash does, with a stub lister
# (orvexconsumables -L) on PATH, and checks what it offers, also when the lister hangs.
# Usage: apply_completion_test.sh <source-dir>
set -uo pipefail
export LC_ALL=C
src=${1:?usage: apply_completion_test.sh <source-dir>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

program=orvexconsumables-apply folder=apply
# shellcheck source=packaging/tests/front_end_completion.sh
source "$(dirname "${BASH_SOURCE[0]}")/front_end_completion.sh"
mkdir "$work/files" "$work/files/site"
touch "$work/files/policy.toml" "$work/files/other.toml"
cd "$work/files" || exit 1

all="--check --device-name --format --help --jobs --policy --timeout --version -V -d -f -h -j -p -t"
# Rows: the line, the expected replies (sorted).
rows=(
    "orvexconsumables-apply -|$all"
    "orvexconsumables-apply --c|--check"
    "orvexconsumables-apply --check -|$all"
    "orvexconsumables-apply --f|--format"
    "orvexconsumables-apply -f |json text"
    "orvexconsumables-apply --format=j|json"
    "orvexconsumables-apply -p |other.toml policy.toml site"
    "orvexconsumables-apply --policy=s|site"
    "orvexconsumables-apply -d |VX-905R ko-330xs:KV33A0001 ko-650:KV65B0002"
    "orvexconsumables-apply -d ko-330xs:|KV33A0001"
    "orvexconsumables-apply --check --device-name ko-650:KV|KV65B0002"
    "orvexconsumables-apply --device-name=V|VX-905R"
    "orvexconsumables-apply -t |"
    "orvexconsumables-apply -j |"
    "orvexconsumables-apply -j 4 -|$all"
    "orvexconsumables-apply extra|"
)
check_rows "${rows[@]}"
check_device_listing

# The options of the manual page's synopsis are offered, the long-only --check among them, and
# the short ones offered are those of the synopsis.
page=$(sed -n '/^\.SH SYNOPSIS/,/^\.SH /p' "$src/docs/orvexconsumables-apply.1" |
    grep -oE '^\.(OP|B|RB) \[? ?(\\-)+[a-zA-Z]+' | grep -oE '(\\-)+[a-zA-Z]+$' | sed 's/\\//g' | sort -u)
check "the manual page's synopsis" "--check -V -d -f -h -j -p -t" "$(paste -sd ' ' <<<"$page")"
# shellcheck disable=SC2154  # set by the completion file
offered=$(printf '%s\n' "${_orvexconsumables_apply_options[@]}" | sort)
check "the synopsis's options offered" "" "$(comm -23 <(echo "$page") <(echo "$offered") | paste -sd ' ')"
check "the short options offered" "$(grep -v -- '^--' <<<"$page" | paste -sd ' ')" \
    "$(grep -v -- '^--' <<<"$offered" | paste -sd ' ')"

finish
