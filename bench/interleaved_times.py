#!/usr/bin/env python3
"""Times whole processes side by side, in turns: each round runs every
command once, starting one further along each time, so that a machine
that speeds up or slows down during the run weighs on all of them alike.

    interleaved_times.py RUNS WARMUP NAME COMMAND [NAME COMMAND ...]

COMMAND is split on blanks and run without a shell, its output discarded.
Prints one line per command: its name, median and mean wall time in
seconds, separated by commas.
"""
import os
import shlex
import statistics
import sys
import time


def run_once(argv):
    devnull = os.open(os.devnull, os.O_WRONLY)
    start = time.perf_counter()
    pid = os.fork()
    if pid == 0:
        os.dup2(devnull, 1)
        os.dup2(devnull, 2)
        try:
            os.execvp(argv[0], argv)
        finally:
            os._exit(127)
    _, status = os.waitpid(pid, 0)
    took = time.perf_counter() - start
    os.close(devnull)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(argv)} failed")
    return took


def main():
    runs, warmup = int(sys.argv[1]), int(sys.argv[2])
    pairs = sys.argv[3:]
    names, commands = pairs[0::2], [shlex.split(c) for c in pairs[1::2]]
    times = [[] for _ in commands]
    for round_ in range(warmup + runs):
        for k in range(len(commands)):
            which = (round_ + k) % len(commands)
            took = run_once(commands[which])
            if round_ >= warmup:
                times[which].append(took)
    for name, taken in zip(names, times):
        print(f"{name},{statistics.median(taken)},{statistics.mean(taken)}")


if __name__ == "__main__":
    main()
