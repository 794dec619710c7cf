# Shared by the shell checks: counts what passed and failed, and ends with the closing line.
# shellcheck shell=bash
passed=0
failed=0

# name, expected, actual: passes when the two texts are equal.
check() {
    if [[ $2 == "$3" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: [%s]\n  actual:   [%s]\n' "$1" "$2" "$3"
    fi
}

# The closing line, after "LABEL: " when a label is given; the status is 0 only when nothing
# failed.
finish() {
    echo "${1:+$1: }$passed passed, $failed failed"
    ((failed == 0))
}
