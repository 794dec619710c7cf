# Shared by the checks that run a monitoring server (node_exporter, Prometheus) on 127.0.0.1:
# starting one on a free port, and stopping it, each within a time limit.
# shellcheck shell=bash

# A TCP port on 127.0.0.1 that nothing listens on now.
free_port() {
    perl -MIO::Socket::INET -e 'print IO::Socket::INET->new(LocalAddr => "127.0.0.1:0",
        Listen => 1)->sockport, "\n"'
}

# ready-path, log file, command...: starts the command, with "@PORT@" in its arguments standing
# for a free port, and waits (30 s at most) until http://127.0.0.1:PORT/ready-path answers. A
# port taken between the choice and the start costs a retry. Sets server_pid and server_port;
# fails, having printed the log, when the server never answered.
start_server() {
    local ready=$1 log=$2 _try _i
    shift 2
    for _try in 1 2 3; do
        server_port=$(free_port)
        "${@//@PORT@/$server_port}" >"$log" 2>&1 &
        server_pid=$!
        for _i in $(seq 300); do
            curl -sf --noproxy '*' --max-time 2 -o /dev/null "http://127.0.0.1:$server_port/$ready" &&
                return 0
            kill -0 "$server_pid" 2>/dev/null || break
            sleep 0.1
        done
        stop_server "$server_pid"
    done
    server_pid=
    cat "$log"
    return 1
}

# pid...: asks each server to stop, and kills one that has not stopped within 10 s.
stop_server() {
    local pid _i
    for pid in "$@"; do
        kill "$pid" 2>/dev/null || continue
        for _i in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
}
