#!/usr/bin/env python3
"""Times orvexconsumables-status over a fleet of N scanners against one --info run of the tool,
pair by pair in alternating order, and prints the per-scanner cost ratio
(status time / N / --info time): median and quartiles of the pairs, for wall and CPU time.

Usage: status_pairs.py REPS N FLEET STATUS_COMMAND... --vs INFO_COMMAND...
Both commands run with ORVEX_SIM_FLEET=FLEET, standard output to /dev/null; a run that exits with
a status other than 0 stops the measurement."""
import os
import statistics
import sys
import time


def run(argv, env):
    start = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        pid = os.posix_spawn(argv[0], argv, env, file_actions=[
            (os.POSIX_SPAWN_DUP2, sink.fileno(), 1)])
    _, status, usage = os.wait4(pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"bench: FAILED: {' '.join(argv)} exited with {os.waitstatus_to_exitcode(status)}")
    return wall, usage.ru_utime + usage.ru_stime


def quartiles(values):
    q = statistics.quantiles(values, n=4)
    return f"{statistics.median(values):.3f} ({q[0]:.3f}..{q[2]:.3f})"


def main():
    reps, scanners, fleet = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    rest = sys.argv[4:]
    split = rest.index("--vs")
    status_cmd, info_cmd = rest[:split], rest[split + 1:]
    env = dict(os.environ, ORVEX_SIM_FLEET=fleet)
    wall_ratios, cpu_ratios, status_walls, info_walls = [], [], [], []
    run(status_cmd, env)  # warm the caches
    run(info_cmd, env)
    for i in range(reps):
        first, second = (status_cmd, info_cmd) if i % 2 == 0 else (info_cmd, status_cmd)
        a, b = run(first, env), run(second, env)
        status, info = (a, b) if i % 2 == 0 else (b, a)
        status_walls.append(status[0])
        info_walls.append(info[0])
        wall_ratios.append(status[0] / scanners / info[0])
        cpu_ratios.append(status[1] / scanners / info[1])
    print(f"status run over {scanners} scanners: {statistics.median(status_walls) * 1000:.1f} ms"
          f" (median of {reps})")
    print(f"one --info run:                      {statistics.median(info_walls) * 1000:.1f} ms")
    print(f"per-scanner cost / --info, wall:     {quartiles(wall_ratios)}")
    print(f"per-scanner cost / --info, cpu:      {quartiles(cpu_ratios)}")


if __name__ == "__main__":
    main()
