#!/usr/bin/env bash
# Checks the shipped Prometheus alerting rules: promtool check rules (syntax, expressions,
# templates), then promtool test rules (each alert firing and staying silent on input series).
# Usage: status_rules_test.sh <source-dir> <promtool>
set -uo pipefail
src=${1:?usage: status_rules_test.sh <source-dir> <promtool>}
promtool=${2:?usage: status_rules_test.sh <source-dir> <promtool>}
rules=$src/packaging/prometheus

passed=0
failed=0
run() {  # name, command...
    local name=$1 out
    shift
    if out=$("$@" 2>&1); then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n%s\n' "$name" "$out"
    fi
}

run "promtool check rules" "$promtool" check rules "$rules/orvexconsumables.rules.yml"
run "promtool test rules" "$promtool" test rules "$rules/orvexconsumables.rules.test.yml"

echo "$passed passed, $failed failed"
((failed == 0))
