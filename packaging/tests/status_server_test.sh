#!/usr/bin/env bash
# Checks the shipped rules in a real Prometheus server: the status companion writes a fleet with
# a marked part and a part under a tenth of the life that a policy file gives it, in a folder
# that node_exporter's textfile collector serves; a Prometheus server with the shipped rules
# file scrapes node_exporter and evaluates the rules every second. Within 60 s its alerts API
# has the mark's alert and the low life's firing, and no other; every rule evaluated without
# error. Both servers listen on 127.0.0.1 only, keep their data in a temporary folder, and are
# stopped on exit.
# Usage: status_server_test.sh <source-dir> <status-sim-binary> <tools-bin-dir>
# With ORVEX_ALERTS_PROM naming a file (packaging/tests/status_alerts.prom), that file is served
# in place of the program's output: a way to try the servers' part alone.
set -uo pipefail
src=${1:?usage: status_server_test.sh <source-dir> <status-sim> <tools-bin>}
# shellcheck source=packaging/tests/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/check.sh"
# shellcheck source=packaging/tests/servers.sh
source "$(dirname "${BASH_SOURCE[0]}")/servers.sh"
status=${2:?usage: status_server_test.sh <source-dir> <status-sim> <tools-bin>}
tools=${3:?usage: status_server_test.sh <source-dir> <status-sim> <tools-bin>}
here=$src/packaging/tests
work=$(mktemp -d)
exporter=
server=
cleanup() {
    # shellcheck disable=SC2086  # the pids are words, and either may be empty
    stop_server $server $exporter
    rm -rf "$work"
}
trap cleanup EXIT

# 1. The fleet's state for the textfile collector.
textfile=$work/textfile
mkdir "$textfile"
prom=$textfile/orvexconsumables.prom
if [ -n "${ORVEX_ALERTS_PROM:-}" ]; then
    echo "note: serving $ORVEX_ALERTS_PROM in place of the status companion's output"
    cp "$ORVEX_ALERTS_PROM" "$prom"
    code=$?
else
    cp "$src/tests/fixtures/status_alerts_fleet.json" "$work/fleet.json"
    ORVEX_SIM_FLEET=$work/fleet.json timeout 60 "$status" -p "$here/status_alerts_policy.toml" \
        -f prometheus -o "$prom" >"$work/status.out" 2>&1
    code=$?
fi
check "fleet written for the textfile collector" 0 "$code"
if [ "$code" -ne 0 ]; then
    cat "$work/status.out" 2>/dev/null
    finish
    exit
fi

# 2. node_exporter serves the folder; Prometheus scrapes it and evaluates the rules each second.
if ! start_server metrics "$work/exporter.log" "$tools/prometheus-node-exporter" \
    --web.listen-address=127.0.0.1:@PORT@ --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory="$textfile" --web.disable-exporter-metrics --log.level=error; then
    check "node_exporter started on 127.0.0.1" started failed
    finish
    exit
fi
exporter=$server_pid
cat >"$work/prometheus.yml" <<EOF
global:
  scrape_interval: 1s
  scrape_timeout: 1s
  evaluation_interval: 1s
rule_files:
  - $src/packaging/prometheus/orvexconsumables.rules.yml
scrape_configs:
  - job_name: node
    static_configs:
      - targets: ['127.0.0.1:$server_port']
EOF
if ! start_server -/ready "$work/prometheus.log" "$tools/prometheus" \
    --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" \
    --web.listen-address=127.0.0.1:@PORT@ --log.level=warn; then
    check "Prometheus started on 127.0.0.1" started failed
    finish
    exit
fi
server=$server_pid
api() { curl -sf --noproxy '*' --max-time 5 "http://127.0.0.1:$server_port/api/v1/$1"; }

# The alerts as lines "state alertname label=value ...", the labels sorted, without those of
# the scrape (instance, job) and the severity.
alerts() {
    api alerts | perl -MJSON::PP -e '
        my $alerts = decode_json(do { local $/; <STDIN> })->{data}{alerts};
        my @lines;
        for my $alert (@$alerts) {
            my %l = %{$alert->{labels}};
            my $name = delete $l{alertname};
            delete @l{qw(instance job severity)};
            push @lines, join " ", $alert->{state}, $name, map { "$_=$l{$_}" } sort keys %l;
        }
        print map { "$_\n" } sort @lines;' 2>/dev/null
}

# 3. Both alerts fire within 60 s of the server's start, and nothing else does.
expected="firing OrvexConsumableLifeLow consumable=brake_roller device=ko-330xs:KV33S0001
firing OrvexConsumableMarked consumable=pick_roller device=ko-330xs:KV33S0001 mark=first"
deadline=$((SECONDS + 60))
while got=$(alerts); [ "$got" != "$expected" ] && [ $SECONDS -lt $deadline ]; do
    sleep 1
done
check "alerts within 60 s" "$expected" "$got"

# 4. Every rule of the file was evaluated on the scraped series without error, in file order.
rules=$(grep -oE '^ *- (alert|record): *[^ ]+' "$src/packaging/prometheus/orvexconsumables.rules.yml" |
    sed -E 's/^ *- (alert|record): *//; s/$/ ok/')
check "rules evaluated by the server" "$rules" "$(api rules | perl -MJSON::PP -e '
    for my $g (@{decode_json(do { local $/; <STDIN> })->{data}{groups}}) {
        print "$_->{name} $_->{health}", ($_->{lastError} ? " $_->{lastError}" : ""), "\n"
            for @{$g->{rules}};
    }')"

finish
