# Shared by the documentation checks: the long options of the tool's option table, one a line, in
# table order. The rows are in cli/options.def; a counter's row names its consumable, whose clear
# option is the eighth column of its row in consumables/consumables.def.
# shellcheck shell=bash
tool_long_options() {
    local src=$1 line kind
    while IFS= read -r line; do
        if [[ $line =~ ^ORVEX_OPTION\(\"([a-z-]+)\" ]]; then
            echo "${BASH_REMATCH[1]}"
        elif [[ $line =~ ^ORVEX_COUNTER_OPTION\((k[A-Za-z]+), ]]; then
            kind=${BASH_REMATCH[1]}
            grep -E "^ORVEX_CONSUMABLE\($kind," "$src/consumables/consumables.def" |
                awk -F', ' '{ gsub(/"/, "", $8); print $8 }'
        fi
    done <"$src/cli/options.def"
}
