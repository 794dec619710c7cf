#!/usr/bin/env bash
# Replays the README's transcripts: every ```console block is run command by command, all blocks in
# one bash session (a variable exported in one block holds in the next), in a scratch folder where
# build/ is the given build tree and sim/ the source's sim/, and what the commands print must equal
# the block. A ```json or ```toml block right after a line <!-- file: NAME --> is written to NAME
# first. The session's TMPDIR is inside the scratch folder, so a fleet copy made with mktemp goes
# with it.
# Usage: readme_tour_test.sh <source-dir> <build-dir> [--print]   (--print: show what runs print)
set -uo pipefail
src=${1:?usage: readme_tour_test.sh <source-dir> <build-dir> [--print]}
build=${2:?usage: readme_tour_test.sh <source-dir> <build-dir> [--print]}
mode=${3:-}
src=$(cd "$src" && pwd)
build=$(cd "$build" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build" "$work/build"
ln -s "$src/sim" "$work/sim"

if [ ! -x "$build/orvexconsumables-sim" ]; then
    echo "SKIPPED: $build/orvexconsumables-sim is not built"
    exit 77
fi

# Splits the README into the blocks to replay: block-N.expected (the block as written) and
# block-N.sh (the lines that print each command with its prompt, then run it).
awk -v dir="$work" '
    function quote(s) { gsub(/\047/, "\047\\\047\047", s); return "\047" s "\047" }
    /^<!-- file: [^ ]+ -->$/ { file = $3; next }
    /^```(json|toml)$/ && file != "" { injson = 1; out = dir "/" file; printf "" > out; next }
    injson && /^```$/ { injson = 0; file = ""; close(out); next }
    injson { print > out; next }
    /^```console$/ { n++; inblock = 1; next }
    inblock && /^```$/ { inblock = 0; next }
    inblock {
        print > (dir "/block-" n ".expected")
        if (substr($0, 1, 2) == "$ ") {
            cmd = substr($0, 3)
            print "printf \"%s\\n\" " quote($0) > (dir "/block-" n ".sh")
            print "(exit $status); eval " quote(cmd) " 2>&1; status=$?" > (dir "/block-" n ".sh")
        }
        next
    }
    { file = "" }
' "$src/README.md"

# One session, the blocks in the README's order: each block's lines run in the same shell, with
# their output going to block-N.actual.
blocks=0
while [ -e "$work/block-$((blocks + 1)).sh" ]; do blocks=$((blocks + 1)); done
[ "$blocks" -gt 0 ] || { echo "FAIL: no console block in README.md"; exit 1; }
session=$work/session.sh
echo 'status=0' >"$session"
for ((n = 1; n <= blocks; n++)); do
    printf '{\n%s\n} >%q\n' "$(cat "$work/block-$n.sh")" "$work/block-$n.actual" >>"$session"
done
mkdir "$work/tmp"
(cd "$work" && env -u ORVEX_SIM_FLEET -u ORVEX_SIM_TRACE TMPDIR="$work/tmp" bash "$session")

passed=0
failed=0
for ((n = 1; n <= blocks; n++)); do
    block=$work/block-$n
    if [ "$mode" = --print ]; then
        cat "$block.actual"
        continue
    fi
    if diff -u "$block.expected" "$block.actual" >"$block.diff"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL README block $n:"
        cat "$block.diff"
    fi
done
echo "$passed passed, $failed failed"
((failed == 0))
