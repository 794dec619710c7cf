#!/usr/bin/env bash
# Checks the shipped Prometheus recording and alerting rules: promtool check rules (syntax,
# expressions, templates), then promtool test rules (each rule firing or recording, and staying
# silent, on input series).
# Usage: status_rules_test.sh <source-dir> <promtool>
set -uo pipefail
src=${1:?usage: status_rules_test.sh <source-dir> <promtool>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
promtool=${2:?usage: status_rules_test.sh <source-dir> <promtool>}
rules=$src/packaging/prometheus

# Runs a command; prints "ok", or "failed:" and what the command printed.
outcome() {
    local out
    out=$("$@" 2>&1) && echo ok || printf 'failed:\n%s\n' "$out"
}

check "promtool check rules" ok "$(outcome "$promtool" check rules "$rules/orvexconsumables.rules.yml")"
check "promtool test rules" ok "$(outcome "$promtool" test rules "$rules/orvexconsumables.rules.test.yml")"

finish
