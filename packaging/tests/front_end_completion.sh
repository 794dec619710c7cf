# Shared by the completion checks of the fleet front ends: a stub maintenance tool on PATH that
# lists three devices as its -L does (with STUB_HANG set it hangs), a build tree with the
# simulator variants, the program's completion loaded, the line completer, and the checks of the
# device listing. Sourced after check.sh with $src, $work, $program (orvexconsumables-apply) and
# $folder (its folder in a build tree, apply) set.
# shellcheck shell=bash disable=SC2154  # src, work, program and folder come from the sourcing test

mkdir -p "$work/bin" "$work/build/$folder"
cat >"$work/bin/orvexconsumables" <<'STUB'
#!/bin/sh
[ "$1" = "-L" ] || exit 3
[ -z "${STUB_HANG:-}" ] || exec sleep 60
echo "List of available devices:"
echo "    ko-330xs:KV33A0001"
echo "    ko-650:KV65B0002"
echo "    VX-905R"
STUB
# The program's variant in a build tree lies one folder below the tool's.
printf '#!/bin/sh\necho "List of available devices:"\necho "    ko-550xs:KV55A0004"\n' \
    >"$work/build/orvexconsumables-sim"
printf '#!/bin/sh\nexit 3\n' >"$work/build/$folder/$program-sim"
chmod +x "$work/bin/orvexconsumables" "$work/build/orvexconsumables-sim" \
    "$work/build/$folder/$program-sim"
PATH="$work/bin:$PATH"

# shellcheck source=/dev/null
source "$src/packaging/bash-completion/$program"
complete_function=_${program//-/_}

# Completes the line $1 as interactive bash does: COMP_LINE and COMP_POINT at its end, the
# default word breaks (bash splits at ":" and "="), COMP_WORDS split the same way.
complete_line() {
    local COMP_LINE=$1 COMP_POINT=${#1} COMP_WORDBREAKS=$' \t\n"\'><=;|&(:'
    local -a COMP_WORDS
    read -ra COMP_WORDS <<<"${1//[:=]/ & }"
    [[ $1 == *' ' || $1 == *[:=] ]] && COMP_WORDS+=('')
    local COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    "$complete_function" "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" \
        "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

# Each row "line|expected replies (sorted)" completed and compared.
check_rows() {
    local row line expected
    for row in "$@"; do
        IFS='|' read -r line expected <<<"$row"
        check "'$line'" "$expected" "$(complete_line "$line")"
    done
}

# The variant in a build tree asks the tool's variant one folder up; a lister that hangs is given
# up after its time limit: nothing is offered, within 10 seconds.
check_device_listing() {
    check "build tree: -d" "ko-550xs:KV55A0004" \
        "$(complete_line "$work/build/$folder/$program-sim -d ")"
    local start=$SECONDS
    check "hanging lister: -d" "" "$(STUB_HANG=1 complete_line "$program -d ")"
    check "hanging lister given up within 10 s" yes \
        "$( ((SECONDS - start <= 10)) && echo yes || echo no)"
}
