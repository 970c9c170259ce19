#!/usr/bin/env python3
"""Runs the checker under Wine for a long while and watches it.

Usage: scripts/lib/long_run.py BUILD_DIR [MINUTES] [GROWTH_LIMIT_KIB]

Every sample reads the resident memory of the program's process and takes a
shot of the window: the cube must keep turning (frames keep being
presented). After the first minute the resident memory may grow by at most
the limit. At the end Escape must end the program with exit code 0.
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


def resident_kib(run):
    """The largest resident set among the processes of the program's session
    whose command line names the program (Wine's own servers are apart)."""
    listing = subprocess.run(["ps", "-o", "rss=,args=", "-s", str(run.process.pid)],
                             stdout=subprocess.PIPE, text=True).stdout
    sizes = [int(line.split(None, 1)[0]) for line in listing.splitlines()
             if checker.PROGRAM in line]
    return max(sizes) if sizes else None


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip())
        return 2
    build = os.path.abspath(sys.argv[1])
    minutes = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    limit_kib = int(sys.argv[3]) if len(sys.argv) > 3 else 16384
    log_folder = os.path.join(build, "long-run")
    os.makedirs(log_folder, exist_ok=True)
    folder = checker.copy_program(os.path.join(build, "program"), with_images=True)
    run = checker.Run(folder, log_folder, "long-run")
    failures = []
    try:
        run.find_x_window(STARTUP_SECONDS)
        layout = run.layout()
        started = time.monotonic()
        previous = run.shot()
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
            shot = run.shot()
            turning = screen.differing(shot, previous, layout.centre(150)) > 0
            previous = shot
            still_frames += 0 if turning else 1
            if elapsed >= SETTLE_SECONDS and baseline is None:
                baseline = rss
            samples.append((elapsed, rss))
            print("%6.0f s  resident %s KiB  cube %s" %
                  (elapsed, rss, "turning" if turning else "STILL"), flush=True)
        if still_frames:
            failures.append("%d samples showed the same frame as the one before" % still_frames)
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
            shot = run.shot()
            print("last shot: %s" % os.path.join(log_folder, "last.png"))
            shot.save(os.path.join(log_folder, "last.png"))
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
