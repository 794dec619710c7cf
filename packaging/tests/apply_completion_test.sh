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

# The stub lists three devices as the maintenance tool does; with STUB_HANG set it hangs.
mkdir "$work/bin" "$work/files" "$work/files/site"
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
# A build tree: the simulator variants, the apply program one folder below the tool.
mkdir -p "$work/build/apply"
printf '#!/bin/sh\necho "List of available devices:"\necho "    ko-550xs:KV55A0004"\n' \
    >"$work/build/orvexconsumables-sim"
printf '#!/bin/sh\nexit 3\n' >"$work/build/apply/orvexconsumables-apply-sim"
chmod +x "$work/build/orvexconsumables-sim" "$work/build/apply/orvexconsumables-apply-sim"
touch "$work/files/policy.toml" "$work/files/other.toml"
PATH="$work/bin:$PATH"
cd "$work/files" || exit 1

# shellcheck source=/dev/null
source "$src/packaging/bash-completion/orvexconsumables-apply"

# Completes the line $1 as interactive bash does: COMP_LINE and COMP_POINT at its end, the
# default word breaks (bash splits at ":" and "="), COMP_WORDS split the same way.
complete_line() {
    local COMP_LINE=$1 COMP_POINT=${#1} COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
    local -a COMP_WORDS
    read -ra COMP_WORDS <<<"${1//[:=]/ & }"
    [[ $1 == *' ' || $1 == *[:=] ]] && COMP_WORDS+=('')
    local COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _orvexconsumables_apply "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" \
        "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

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
for row in "${rows[@]}"; do
    IFS='|' read -r line expected <<<"$row"
    check "'$line'" "$expected" "$(complete_line "$line")"
done

# The apply program's simulator variant in a build tree asks the tool's variant one folder up.
check "build tree: -d" "ko-550xs:KV55A0004" \
    "$(complete_line "$work/build/apply/orvexconsumables-apply-sim -d ")"

# A lister that hangs is given up after its time limit: nothing is offered, within 10 seconds.
start=$SECONDS
check "hanging lister: -d" "" "$(STUB_HANG=1 complete_line 'orvexconsumables-apply -d ')"
check "hanging lister given up within 10 s" yes "$( ((SECONDS - start <= 10)) && echo yes || echo no)"

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
