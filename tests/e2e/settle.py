#!/usr/bin/env python3
"""Runs the checker until its verdict line has settled, then photographs it.

Usage: tests/e2e/settle.py BUILD_DIR

Starts BUILD_DIR/program/TarvoquinCheck.exe in its own folder, says while it
waits what it is waiting for and for how long, waits until the status row
leaves "系统检测中请不要关闭!", saves a PNG of the window under
BUILD_DIR/screenshots, prints where it is and the verdict, and closes the
program with Escape. Exits with the program's exit code. Needs the
environment of scripts/wine-env.sh (a display and the prefix); scripts/run
provides it.
"""

import os
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import checker  # noqa: E402
import screen  # noqa: E402

WINDOW_SECONDS = 300
VERDICT_SECONDS = 1800
EXIT_SECONDS = 60
REPORT_EVERY = 15
MIN_GLYPH_PIXELS = 8
MIN_CHANGED_PIXELS = 30


class Ended(Exception):
    pass


def while_alive(run, what, look, seconds):
    def step():
        if not run.alive():
            raise Ended("the program ended while waiting for %s" % what)
        return look()
    return checker.wait_for(what, step, seconds, REPORT_EVERY)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip())
        return 2
    build = os.path.abspath(sys.argv[1])
    program_folder = os.path.join(build, "program")
    shots = os.path.join(build, "screenshots")
    os.makedirs(shots, exist_ok=True)
    print("scripts/run: starting %s under Wine in %s (virtual display %s)"
          % (checker.PROGRAM, program_folder, os.environ.get("DISPLAY")), flush=True)
    run = checker.Run(program_folder, shots, "last-run")
    started = time.monotonic()
    try:
        run.find_x_window(WINDOW_SECONDS, REPORT_EVERY)
        layout = screen.Layout(run.client[2], run.client[3])
        def drawn():
            shot = screen.take(run.client)
            return shot if shot.count(layout.status(), screen.PINK) >= MIN_GLYPH_PIXELS else None

        def settled():
            shot = screen.take(run.client)
            moved = shot.differing(first, layout.status_start()) > MIN_CHANGED_PIXELS
            return shot if moved else None

        first = while_alive(run, "the first frame", drawn, WINDOW_SECONDS)
        shot = while_alive(run, "the verdict line to settle (the status row to leave "
                           "\"系统检测中请不要关闭!\", about 5 x 3001 frames)",
                           settled, VERDICT_SECONDS)
        red = shot.count(layout.status(), screen.RED) >= MIN_GLYPH_PIXELS
        print("scripts/run: verdict after %d s: %s" % (
            time.monotonic() - started,
            "您的机器不能正常运行游戏 (red)" if red else "您的机器可以正常运行游戏 (pink)"))
        path = os.path.join(shots, "TarvoquinCheck-%s.png" % time.strftime("%Y%m%d-%H%M%S"))
        shot.save_png(path)
        print("scripts/run: screenshot of the window: %s" % path)
        run.key("Escape")
        code = run.wait_exit(EXIT_SECONDS)
        print("scripts/run: closed with Escape, exit code %d" % code)
        return code
    except (checker.Timeout, Ended) as problem:
        print("scripts/run: %s" % problem, file=sys.stderr)
        return 1
    finally:
        checker.stop_all()


if __name__ == "__main__":
    sys.exit(main())
