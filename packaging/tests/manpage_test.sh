#!/usr/bin/env bash
# Keeps the manual page honest: it renders without warnings, documents every option of the
# tool's option table (and of the help of a simulated scanner offering everything), every exit
# code with its message, and the README's exit-code table matches it.
# Usage: manpage_test.sh <source-dir> [<simulator-variant-of-the-tool> <simulated-root>]
# Exits with 77 (skipped) when no roff formatter is installed and it cannot install one.
set -uo pipefail
src=${1:?usage: manpage_test.sh <source-dir> [<sim-tool> <sim-root>]}
simtool=${2:-}
simroot=${3:-}
page=$src/docs/orvexconsumables.1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! command -v groff >/dev/null; then
    if [ "$(id -u)" -eq 0 ]; then
        apt-get install -y -qq groff-base >/dev/null 2>&1 ||
            { apt-get update -qq && apt-get install -y -qq groff-base >/dev/null; }
    fi
    if ! command -v groff >/dev/null; then
        echo "SKIPPED: groff is not installed (apt-get install groff-base)"
        exit 77
    fi
fi

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    printf 'FAIL %s\n' "$*"
}

# 1. The page renders without a warning, with groff at its strictest and, if present, mandoc.
if out=$(groff -man -ww -z "$page" 2>&1) && [ -z "$out" ]; then pass; else fail "groff -ww: $out"; fi
if command -v mandoc >/dev/null; then
    if out=$(mandoc -T lint -W style "$page" 2>&1) && [ -z "$out" ]; then
        pass
    else
        fail "mandoc -T lint: $out"
    fi
else
    echo "note: mandoc not installed; only groff checked the page"
fi

# The page as a reader sees it: plain text, one long line per paragraph, no hyphenation.
text=$work/page.txt
groff -man -Tascii -P-c -P-b -P-o -P-u -rLL=5000n -rHY=0 "$page" 2>/dev/null >"$text"
flat=$(tr -s ' \t\n' ' ' <"$text")

# 2. Every option of the option table, and the short options, appear in the page.
# shellcheck source=packaging/tests/long_options.sh
source "$(dirname "${BASH_SOURCE[0]}")/long_options.sh"
mapfile -t longs < <(tool_long_options "$src")
if [ "${#longs[@]}" -ne 22 ]; then
    fail "expected the 22 long options of cli/options.def, found ${#longs[@]}"
fi
for name in "${longs[@]}"; do
    if grep -qE -- "--$name([^a-z-]|\$)" "$text"; then pass; else fail "option --$name not in the page"; fi
done
shorts=$(grep -oE 'g_cpOptString = "[^"]*"' "$src/cli/option_table.cpp" | sed 's/.*"\(.*\)"/\1/; s/://g')
for ((i = 0; i < ${#shorts}; i++)); do
    name=${shorts:i:1}
    if grep -qE -- "(^|[^a-z-])-$name([^a-zA-Z-]|\$)" "$text"; then pass; else fail "option -$name not in the page"; fi
done

# 3. Every exit code of cli/exit_codes.h has its entry in EXIT STATUS, and no other code has.
mapfile -t codes < <(grep -oE 'constexpr int kExit[A-Za-z]+ = [0-9]+;' "$src/cli/exit_codes.h" |
    grep -oE '[0-9]+' | sort -n)
documented=$(sed -n '/^EXIT STATUS/,/^ENVIRONMENT/p' "$text" | grep -oE '^ {7}[0-9]+ ' |
    tr -d ' ' | sort -n | tr '\n' ' ')
if [ "${codes[*]} " = "$documented" ]; then pass; else fail "exit codes: code has ${codes[*]}, page has $documented"; fi

# 4. Every fixed message of cli/exit_codes.h appears in the page, line by line.
messages=$(sed -n '/kMsg/,$p' "$src/cli/exit_codes.h" | grep -oE '"[^"]*"' | tr -d '"' |
    sed 's/\\n/\n/g' | sed 's/^ *//; s/ *$//' | grep -v '^$')
while IFS= read -r message; do
    if [[ $flat == *"$message"* ]]; then pass; else fail "message not in the page: $message"; fi
done <<<"$messages"

# 5. The README's exit-code table lists the same codes.
readme=$(grep -oE '^\| *[0-9]+ *\|' "$src/README.md" | tr -d '| ' | sort -n | tr '\n' ' ')
if [ "${codes[*]} " = "$readme" ]; then pass; else fail "README exit codes: $readme, code has ${codes[*]}"; fi

# 6. Every option in the help of a simulated scanner that offers everything is in the page.
if [ -n "$simtool" ] && [ -x "$simtool" ] && [ -e "$simroot/opt/orvex/lib/libzevcontrol.so" ]; then
    cat >"$work/fleet.json" <<'JSON'
{"scanners": [{"name": "ko-330xs:KV33TEST1", "firmware": "0C31",
  "identification": {"productId": "ko-330xs"},
  "counters": {"cleaning": {"label": "After cleaning:"}, "roller": {"label": "Brake Roller:"},
               "pick": {"label": "Pick Roller:"}},
  "sleepTimer": {"supported": true, "minStep": 1, "maxStep": 12, "step": 3},
  "powerOff": {"supported": true, "active": true, "setting": 1},
  "offsets": {"supported": true, "flatbed": true, "endOfPage": true}}]}
JSON
    help=$(ORVEX_SIM_FLEET=$work/fleet.json "$simtool" -h)
    mapfile -t helped < <(grep -oE -- '--[a-z-]+' <<<"$help" | sort -u)
    if [ "${#helped[@]}" -ge 20 ]; then pass; else fail "help of the simulated scanner lists ${#helped[@]} options"; fi
    for option in "${helped[@]}"; do
        if grep -qE -- "$option([^a-z-]|\$)" "$text"; then pass; else fail "help option $option not in the page"; fi
    done
else
    echo "note: no simulator variant given; the help was not compared with the page"
fi

echo "$passed passed, $failed failed"
((failed == 0))
