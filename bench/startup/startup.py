#!/usr/bin/env python3
"""Start-up benchmark on Xvfb: launch to the board window mapped, resident memory after start and after a full
7 × 7 game, and CPU while idle; the program beside a bare Xlib window and a bare Qt Widgets window, measured in
the same run. Medians of repeated runs.

"Qt + menu text" is the Qt floor with a Japanese menu bar caption: the cost of loading fonts before the first map.
"Qt + ASCII menu" has a plain ASCII caption instead: any text at all costs nearly as much.

Start-up times come from rounds that launch the four programs in turn, each the same way: launch, wait for the map,
close, then a short pause. The memory runs, which play a game, are separate, so that they do not disturb the timing.

Usage: startup.py --program <toripin> --floor-xlib <toripin_floor_xlib> --floor-qt <toripin_floor_qt>
                  [--runs 41] [--memory-runs 5]
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))

import rules  # noqa: E402
from driver import BOARD_TITLE, Program  # noqa: E402
from sessions import XServer  # noqa: E402

SETTLE = 1.0  # seconds after mapping before resident memory is read
IDLE = 5.0    # seconds of idling over which CPU time is measured
PAUSE = 0.2   # seconds between a program's exit and the next launch in the timing rounds


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def time_to_map(xs, binary, title, *args):
    """Launches the binary and returns (milliseconds until its window was mapped, the process)."""
    xs.watch_maps()
    began = time.perf_counter()
    process = subprocess.Popen([binary, *args], cwd=os.path.dirname(binary), env=xs.env(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = xs.wait_map(title, process.pid)
    return (mapped - began) * 1000, process


def close(xs, process, title):
    for window in xs.titled(title):
        xs.close_request(window[0])
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def timed_run(xs, binary, title, *args):
    """Milliseconds from launch to the window mapped."""
    ms, process = time_to_map(xs, binary, title, *args)
    xs.wait_window(title)
    close(xs, process, title)
    time.sleep(PAUSE)
    return ms


def floor_memory(xs, binary, title, *args):
    _, process = time_to_map(xs, binary, title, *args)
    xs.wait_window(title)
    time.sleep(SETTLE)
    rss = rss_kib(process.pid)
    close(xs, process, title)
    return rss


def program_memory(xs, binary, game, idle):
    """Memory after start and after a won 7 × 7 game answered はい; idle CPU when asked."""
    _, process = time_to_map(xs, binary, BOARD_TITLE)
    program = Program(xs, binary, process=process).start()
    time.sleep(SETTLE)
    result = {"rss_start": rss_kib(process.pid)}
    if idle:
        result["idle_start"] = idle_ticks(program)
    program.choose_size(7)
    pins = program.play_game(7, game[:-1])
    program.move(7, game[-1], pins)
    program.answer("alt+y")
    program.expect_board(7, rules.start_position(7))
    time.sleep(SETTLE)
    result["rss_game"] = rss_kib(process.pid)
    if idle:
        result["idle_game"] = idle_ticks(program)
    close(xs, process, BOARD_TITLE)
    return result


def wakeups(pid):
    """Context switches of all the process's threads: a timer, however cheap, wakes a thread."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        with open(f"/proc/{pid}/task/{task}/status") as status:
            for line in status:
                if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                    total += int(line.split()[1])
    return total


def idle_ticks(program):
    """(CPU clock ticks, thread wake-ups) over the idle time."""
    pid = program.process.pid
    ticks, woken = program.cpu_ticks(), wakeups(pid)
    time.sleep(IDLE)
    return program.cpu_ticks() - ticks, wakeups(pid) - woken


def summary(values):
    return f"{statistics.median(values):7.1f} ({min(values):.1f}-{max(values):.1f})"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--floor-xlib", required=True)
    parser.add_argument("--floor-qt", required=True)
    parser.add_argument("--runs", type=int, default=41)
    parser.add_argument("--memory-runs", type=int, default=5)
    args = parser.parse_args()
    program, floor_xlib, floor_qt = (os.path.abspath(p) for p in (args.program, args.floor_xlib, args.floor_qt))
    contenders = {  # name: (binary, window title, arguments)
        "Xlib floor": (floor_xlib, "floor-xlib"),
        "Qt floor": (floor_qt, "floor-qt"),
        "Qt + ASCII menu": (floor_qt, "floor-qt", "latin"),
        "Qt + menu text": (floor_qt, "floor-qt", "text"),
        "toripin": (program, BOARD_TITLE),
    }

    game = rules.winning_game(7)
    xs = XServer()
    maps = {name: [] for name in contenders}
    memory, runs = {name: [] for name in contenders}, []
    try:
        # One untimed round first, so that every program starts from a warm file cache.
        for run in range(args.runs + 1):
            for name, (binary, title, *extra) in contenders.items():
                ms = timed_run(xs, binary, title, *extra)
                if run:
                    maps[name].append(ms)
            if run:
                print(f"round {run:2d}: " + "  ".join(f"{name} {maps[name][-1]:5.1f} ms" for name in contenders),
                      flush=True)
        for run in range(args.memory_runs):
            for name, (binary, title, *extra) in contenders.items():
                if binary != program:
                    memory[name].append(floor_memory(xs, binary, title, *extra))
            runs.append(program_memory(xs, program, game, idle=run == 0))
            print(f"memory run {run + 1}: toripin {runs[-1]['rss_start'] / 1024:.1f} MiB at start, "
                  f"{runs[-1]['rss_game'] / 1024:.1f} MiB after 7x7", flush=True)
    finally:
        xs.close()
    memory["toripin"] = [r["rss_start"] for r in runs]

    mib = 1024.0
    print()
    print(f"Xvfb 1280x1024x24, no window manager; median (min-max); {args.runs} timing rounds, "
          f"{args.memory_runs} memory runs")
    print("                              " + "".join(f"{name:20s}" for name in contenders))
    print("launch to window mapped, ms   " + "".join(f"{summary(maps[name]):20s}" for name in contenders))
    print("resident after start, MiB     " +
          "".join(f"{summary([v / mib for v in memory[name]]):20s}" for name in contenders))
    print("resident after a 7x7 game, MiB" + " " * 20 * (len(contenders) - 1) +
          summary([r["rss_game"] / mib for r in runs]))
    for when, key in (("after start", "idle_start"), ("after a won 7x7 game", "idle_game")):
        ticks, woken = runs[0][key]
        print(f"idle {IDLE:.0f} s {when}: {ticks} CPU clock ticks, {woken} thread wake-ups (target 0)")
    own_map = statistics.median(maps["toripin"])
    own_rss = max(statistics.median(memory["toripin"]), statistics.median(r["rss_game"] for r in runs))
    ratio = own_map / statistics.median(maps["Qt floor"])
    print(f"map time / Qt floor: {ratio:.2f} (target <= 1.3) {'OK' if ratio <= 1.3 else 'OVER'}")
    print(f"map time / Qt + menu text floor: {own_map / statistics.median(maps['Qt + menu text']):.2f}")
    print(f"resident: {own_rss / mib:.1f} MiB (target < 45 MB) {'OK' if own_rss * 1024 < 45e6 else 'OVER'}")


if __name__ == "__main__":
    main()
