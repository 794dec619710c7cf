#!/usr/bin/env bash
# Replays the README's transcripts: every ```console block is run command by command in one bash
# session, in a scratch folder where build/ is the given build tree and sim/ the source's sim/,
# and what the commands print must equal the block. A ```json block right after a line
# <!-- file: NAME --> is written to NAME first.
# Usage: readme_tour_test.sh <source-dir> <build-dir> [--print]   (--print: show what runs print)
set -uo pipefail
src=${1:?usage: readme_tour_test.sh <source-dir> <build-dir> [--print]}
build=${2:?usage: readme_tour_test.sh <source-dir> <build-dir> [--print]}
mode=${3:-}
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
# block-N.sh (a script that prints each command with its prompt, then runs it).
awk -v dir="$work" '
    function quote(s) { gsub(/\047/, "\047\\\047\047", s); return "\047" s "\047" }
    /^<!-- file: [^ ]+ -->$/ { file = $3; next }
    /^```json$/ && file != "" { injson = 1; out = dir "/" file; printf "" > out; next }
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

passed=0
failed=0
for script in "$work"/block-*.sh; do
    [ -e "$script" ] || { echo "FAIL: no console block in README.md"; exit 1; }
    block=${script%.sh}
    actual=$(cd "$work" && env -u ORVEX_SIM_FLEET -u ORVEX_SIM_TRACE status=0 bash "$script")
    if [ "$mode" = --print ]; then
        printf '%s\n' "$actual"
        continue
    fi
    if diff -u "$block.expected" <(printf '%s\n' "$actual") >"$block.diff"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL README block ${block##*-}:"
        cat "$block.diff"
    fi
done
echo "$passed passed, $failed failed"
((failed == 0))
