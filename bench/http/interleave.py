#!/usr/bin/env python3
"""Times download programs in interleaved rounds, so that a machine whose load changes over
the minutes of a benchmark slows each program alike. Each round runs every program once, in
an order that rotates from round to round, after removing the outputs; one warm-up round is
not counted. Prints JSON: per program the wall times, the CPU times (user + system) and
the user and system times apart, of each counted run.

Usage: interleave.py RUNS OUTDIR NAME=COMMAND...
"""
import json
import os
import shlex
import subprocess
import sys
import time


def run_once(command):
    start = time.perf_counter()
    process = subprocess.Popen(shlex.split(command), stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: " + command)
    return wall, usage.ru_utime, usage.ru_stime


def clear(outdir):
    for name in os.listdir(outdir):
        os.remove(os.path.join(outdir, name))
    os.sync()


def main():
    runs, outdir = int(sys.argv[1]), sys.argv[2]
    programs = [argument.split("=", 1) for argument in sys.argv[3:]]
    results = {name: {"wall": [], "cpu": [], "user": [], "sys": []} for name, _ in programs}
    for round_number in range(runs + 1):
        shift = round_number % len(programs)
        for name, command in programs[shift:] + programs[:shift]:
            clear(outdir)
            wall, user, system = run_once(command)
            if round_number > 0:
                results[name]["wall"].append(wall)
                results[name]["cpu"].append(user + system)
                results[name]["user"].append(user)
                results[name]["sys"].append(system)
    json.dump(results, sys.stdout)


if __name__ == "__main__":
    main()
