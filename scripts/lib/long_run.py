#!/usr/bin/env python3
"""Runs the checker under Wine for a long while and watches it.

Usage: scripts/lib/long_run.py [--fast] BUILD_DIR [MINUTES] [GROWTH_LIMIT_KIB]

Every sample reads the resident memory of the program's process and takes a
shot of the window: the cube must keep turning (frames keep being
presented). With --fast (a run under Mesa's no-op driver, whose picture is
empty) the program's processor time must keep rising instead: frames keep
running. After the first minute the resident memory may grow by at most the
limit. At the end Escape must end the program with exit code 0.
Needs the environment of scripts/wine-env.sh (a display and the prefix).
"""

import os
import subprocess
import sys
import time

sys.dont_write_bytecode = True
import checker  # noqa: E402
import screen  # noqa: E402

SAMPLE_SECONDS = 20
SETTLE_SECONDS = 60
STARTUP_SECONDS = 300
# A program running frames keeps a core busy, and a machine loaded by other
# work still gives it more than this share of each sample; an idle one takes
# next to nothing.
BUSY_SHARE = 0.1


def resident_kib(run):
    """The largest resident set among the processes of the program's session
    whose command line names the program (Wine's own servers are apart)."""
    listing = subprocess.run(["ps", "-o", "rss=,args=", "-s", str(run.process.pid)],
                             stdout=subprocess.PIPE, text=True).stdout
    sizes = [int(line.split(None, 1)[0]) for line in listing.splitlines()
             if checker.PROGRAM in line]
    return max(sizes) if sizes else None


class Turning:
    """Whether the cube turned since the last sample, from shots."""

    def __init__(self, run):
        self.run = run
        self.layout = run.layout()
        self.previous = run.shot()

    def sample(self):
        shot = self.run.shot()
        turning = screen.differing(shot, self.previous, self.layout.centre(150)) > 0
        self.previous = shot
        return turning, "cube %s" % ("turning" if turning else "STILL")


class Busy:
    """Whether the program kept a core busy since the last sample."""

    def __init__(self, run):
        self.run = run
        self.previous = (time.monotonic(), run.cpu_seconds())

    def sample(self):
        now = (time.monotonic(), self.run.cpu_seconds())
        used, span = now[1] - self.previous[1], now[0] - self.previous[0]
        self.previous = now
        busy = used >= BUSY_SHARE * span
        return busy, "processor %.1f s in %.0f s%s" % (used, span, "" if busy else " IDLE")


def main():
    arguments = sys.argv[1:]
    fast = arguments[:1] == ["--fast"]
    arguments = arguments[1:] if fast else arguments
    if not arguments:
        print(__doc__.strip())
        return 2
    build = os.path.abspath(arguments[0])
    minutes = float(arguments[1]) if len(arguments) > 1 else 10.0
    limit_kib = int(arguments[2]) if len(arguments) > 2 else 16384
    log_folder = os.path.join(build, "long-run")
    os.makedirs(log_folder, exist_ok=True)
    folder = checker.copy_program(os.path.join(build, "program"), with_images=True)
    run = checker.Run(folder, log_folder, "long-run")
    failures = []
    try:
        run.find_x_window(STARTUP_SECONDS)
        frames = Busy(run) if fast else Turning(run)
        started = time.monotonic()
        baseline = None
        samples = []
        still_frames = 0
        while time.monotonic() - started < minutes * 60:
            time.sleep(SAMPLE_SECONDS)
            if not run.alive():
                failures.append("the program ended by itself")
                break
            elapsed = time.monotonic() - started
            rss = resident_kib(run)
            running, seen = frames.sample()
            still_frames += 0 if running else 1
            if elapsed >= SETTLE_SECONDS and baseline is None:
                baseline = rss
            samples.append((elapsed, rss))
            print("%6.0f s  resident %s KiB  %s" % (elapsed, rss, seen), flush=True)
        if still_frames:
            failures.append("%d samples saw no frames running since the one before" %
                            still_frames)
        settled = [rss for elapsed, rss in samples if elapsed >= SETTLE_SECONDS and rss]
        if baseline and settled:
            growth = max(settled) - baseline
            print("resident memory after the first minute: %d KiB, highest later %d KiB, "
                  "growth %d KiB (limit %d KiB); lowest %d KiB" %
                  (baseline, max(settled), growth, limit_kib, min(settled)))
            if growth > limit_kib:
                failures.append("resident memory grew by %d KiB" % growth)
        else:
            failures.append("no resident-memory samples after the first minute")
        if run.alive():
            if not fast:
                print("last shot: %s" % os.path.join(log_folder, "last.png"))
                run.shot().save(os.path.join(log_folder, "last.png"))
            run.key("Escape")
            code = run.wait_exit(120)
            print("Escape: exit code %d" % code)
            if code != 0:
                failures.append("exit code %d after Escape" % code)
    except checker.Timeout as error:
        failures.append(str(error))
    finally:
        checker.stop_all()
        checker.remove_folders()
    for failure in failures:
        print("FAIL %s" % failure)
    print("long run: %s" % ("passed" if not failures else "failed"))
    return 0 if not failures else 1


if __name__ == "__main__":
    sys.exit(main())
