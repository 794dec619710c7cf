#!/usr/bin/env bash
# Checks the Prometheus output of the status companion against the real components: promtool's
# linter on the output for every sample fleet, and on the output with a policy and stored
# readings; node_exporter's textfile collector (on 127.0.0.1 only) serving the file with no scrape
# error and the fleet's values; and 200 rewrites of the file while node_exporter is scraped without
# pause: every scrape sees the whole series set, and no temporary file remains.
# Usage: status_exporter_test.sh <source-dir> <status-sim-binary> <tools-bin-dir>
set -uo pipefail
src=${1:?usage: status_exporter_test.sh <source-dir> <status-sim> <tools-bin>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
# shellcheck source=packaging/tests/servers.sh
source "$(dirname "${BASH_SOURCE[0]}")/servers.sh"
status=${2:?usage: status_exporter_test.sh <source-dir> <status-sim> <tools-bin>}
tools=${3:?usage: status_exporter_test.sh <source-dir> <status-sim> <tools-bin>}
fleet_pl=$src/packaging/tests/status_fleet.pl
work=$(mktemp -d)
exporter=
writer=
cleanup() {
    # shellcheck disable=SC2086  # the pids are words, and either may be empty
    stop_server $writer $exporter
    rm -rf "$work"
}
trap cleanup EXIT

# Runs the status companion on its own copy of fleet $1, writing Prometheus text to $2; prints
# its exit status.
write_prom() {
    cp "$1" "$work/fleet.json"
    ORVEX_SIM_FLEET=$work/fleet.json "$status" -f prometheus -o "$2" >"$work/run.out" 2>&1
    echo $?
}

# 1. promtool's linter finds nothing in the output of any fleet; the output is written (0 or 2).
fleets=("$src/sim/fleet/sample.json")
for fixture in "$src"/tests/fixtures/*.json; do
    grep -q '"scanners"' "$fixture" && fleets+=("$fixture")
done
for fleet in "${fleets[@]}"; do
    name=${fleet#"$src"/}
    code=$(write_prom "$fleet" "$work/lint.prom")
    check "$name: output written (exit 0 or 2)" yes "$([[ $code == [02] ]] && echo yes || echo "no ($code)")"
    lint=$("$tools/promtool" check metrics <"$work/lint.prom" 2>&1)
    check "$name: promtool check metrics" "0|" "$?|$lint"
    rm -f "$work/lint.prom"
done

# 1b. The same with a policy and stored readings: a first run stores the sample fleet's
# readings; in the second the first scanner is held by another application (reported with its
# stored reading) and the second's counters are cleared (its parts found replaced). Every family
# that the policy and the store add has samples, and promtool's linter finds nothing.
state=$work/state
cp "$src/sim/fleet/sample.json" "$work/fleet.json"
ORVEX_SIM_FLEET=$work/fleet.json "$status" -p "$src/tests/fixtures/status_policy.toml" \
    --state-dir "$state" -f prometheus >/dev/null 2>&1
perl -MJSON::PP -e '
    my $fleet = decode_json(do { local $/; <STDIN> });
    my ($held, $cleared) = @{$fleet->{scanners}};
    $held->{faults}{korwc_StartExcusive} = {result => 0};
    $_->{count} = 0 for values %{$cleared->{counters}};
    print encode_json($fleet);' <"$src/sim/fleet/sample.json" >"$work/fleet.json"
ORVEX_SIM_FLEET=$work/fleet.json "$status" -p "$src/tests/fixtures/status_policy.toml" \
    --state-dir "$state" -f prometheus -o "$work/stored.prom" >"$work/run.out" 2>&1
check "policy and store: output written (exit 2, a scanner busy)" 2 "$?"
lint=$("$tools/promtool" check metrics <"$work/stored.prom" 2>&1)
check "policy and store: promtool check metrics" "0|" "$?|$lint"
for family in last_read_timestamp_seconds consumable_life_sheets \
    consumable_replaced_timestamp_seconds setting_compliant; do
    check "policy and store: orvex_scanner_$family has samples" yes \
        "$(grep -q "^orvex_scanner_$family{" "$work/stored.prom" && echo yes || echo no)"
done
check "policy and store: the busy scanner's stored data is exported" \
    'orvex_scanner_consumable_sheets_total{device="ko-330xs:KV33A0001",consumable="pick_roller"} 6000' \
    "$(grep '^orvex_scanner_consumable_sheets_total{device="ko-330xs:KV33A0001",consumable="pick_roller"}' "$work/stored.prom")"

# 2. node_exporter serves the file of the sample fleet.
textfile=$work/textfile
mkdir "$textfile"
prom=$textfile/orvexconsumables.prom
sample=$src/sim/fleet/sample.json
check "sample fleet written" 0 "$(write_prom "$sample" "$prom")"

# node_exporter with the textfile collector alone.
start_exporter() {
    start_server metrics "$work/exporter.log" "$tools/prometheus-node-exporter" \
        --web.listen-address=127.0.0.1:@PORT@ --collector.disable-defaults --collector.textfile \
        --collector.textfile.directory="$textfile" --web.disable-exporter-metrics \
        --log.level=error || return 1
    exporter=$server_pid
    port=$server_port
}
scrape() { curl -sf --max-time 5 "http://127.0.0.1:$port/metrics"; }
if ! start_exporter; then
    check "node_exporter started on 127.0.0.1" started "failed"
    echo "$passed passed, $failed failed"
    exit 1
fi

scrape >"$work/scrape.txt"
check "node_textfile_scrape_error" "node_textfile_scrape_error 0" \
    "$(grep '^node_textfile_scrape_error' "$work/scrape.txt")"
grep '^orvex_' "$work/scrape.txt" | perl "$fleet_pl" normalise >"$work/served"
perl "$fleet_pl" normalise <"$prom" >"$work/written"
check "node_exporter serves every orvex_ sample as written" "" "$(diff "$work/written" "$work/served")"
check "samples served" yes "$([ -s "$work/served" ] && echo yes || echo no)"
perl "$fleet_pl" series "$sample" >"$work/expected"
check "the fleet's values are served" "" "$(comm -23 "$work/expected" "$work/served")"
check "no mark is served that the fleet does not set" "" \
    "$(grep '^orvex_scanner_consumable_mark.* 1$' "$work/served" | comm -13 "$work/expected" -)"
check "one orvex_scanner_up per attached scanner" "$(grep -c '^orvex_scanner_up' "$work/expected")" \
    "$(grep -c '^orvex_scanner_up' "$work/served")"

# 3. 200 rewrites, node_exporter scraped all the while: every scrape has the whole series set.
series_set() { grep '^orvex_' | sed 's/ [^ ]*$//' | sort; }
series_set <"$work/scrape.txt" >"$work/series"
(
    for _ in $(seq 200); do
        ORVEX_SIM_FLEET=$work/fleet.json "$status" -f prometheus -o "$prom" >/dev/null 2>&1 ||
            echo "rewrite failed: $?" >>"$work/rewrites.log"
    done
) &
writer=$!
scrapes=0
incomplete=0
deadline=$((SECONDS + 300))
while kill -0 "$writer" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
    body=$(scrape) || { incomplete=$((incomplete + 1)); continue; }
    scrapes=$((scrapes + 1))
    if ! grep -q '^node_textfile_scrape_error 0$' <<<"$body" ||
        ! cmp -s "$work/series" <(series_set <<<"$body"); then
        incomplete=$((incomplete + 1))
    fi
done
kill "$writer" 2>/dev/null
wait "$writer" 2>/dev/null
writer=
check "200 rewrites within 300 s" yes "$([ $SECONDS -lt $deadline ] && echo yes || echo no)"
check "rewrites that failed" "" "$(cat "$work/rewrites.log" 2>/dev/null)"
check "scrapes during the rewrites (at least 20)" yes "$([ $scrapes -ge 20 ] && echo yes || echo "no ($scrapes)")"
check "scrapes with the series set incomplete or an error" 0 "$incomplete"
check "files left in the textfile folder" "orvexconsumables.prom 644" \
    "$(cd "$textfile" && for f in * .[!.]*; do [ -e "$f" ] && printf '%s ' "$f"; done; stat -c %a "$prom")"
echo "scrapes during the rewrites: $scrapes"

finish
