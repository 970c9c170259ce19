#!/usr/bin/env python3
"""How long a start takes until its window shows: the check against a bare
Direct3D window of the same size, and against another build of the check,
each started alternately with a fresh Wine server, from the start of `wine`
to the window visible on the display (polled every 10 ms).

    start_up.py STARTS BUILD [OTHER_BUILD]

Needs the environment of scripts/wine-env.sh (a display and the prefix).
"""

import os
import signal
import statistics
import subprocess
import sys
import time

GIVE_UP_SECONDS = 60
POLL_SECONDS = 0.01
CHECK = ("TarvoquinCheck.exe", "【Tarvoquin】配置检测")
BARE = ("bare_window.exe", "Bare Direct3D window")


def visible(title):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return bool(found.stdout.split())


def start_up(folder, program, title):
    """Seconds to the window shown, or None when it did not show."""
    began = time.monotonic()
    process = subprocess.Popen(["wine", program], cwd=folder, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    seconds = None
    while time.monotonic() - began < GIVE_UP_SECONDS:
        if visible(title):
            seconds = time.monotonic() - began
            break
        time.sleep(POLL_SECONDS)
    os.killpg(process.pid, signal.SIGKILL)
    process.wait()
    # A fresh server for each start: the check holds its one-check mutex
    # until its Windows process is gone.
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)
    return seconds


def main():
    starts, build = int(sys.argv[1]), sys.argv[2]
    kinds = {"check": (os.path.join(build, "program"),) + CHECK,
             "bare": (os.path.join(build, "benchmarks"),) + BARE}
    if len(sys.argv) > 3:
        kinds["other check"] = (os.path.join(sys.argv[3], "program"),) + CHECK
    start_up(*kinds["check"])  # the first start of a prefix is slower
    times = {kind: [] for kind in kinds}
    for _ in range(starts):
        for kind, start in kinds.items():
            seconds = start_up(*start)
            if seconds is not None:
                times[kind].append(seconds)
    for kind, seconds in times.items():
        shown = " ".join("%.3f" % s for s in sorted(seconds))
        print("%-11s median %.3f s of %d starts shown: %s" % (
            kind, statistics.median(seconds) if seconds else float("nan"), len(seconds), shown))
    if times["check"] and times["bare"]:
        print("check - bare: %.3f s" % (statistics.median(times["check"]) -
                                         statistics.median(times["bare"])))


if __name__ == "__main__":
    main()
