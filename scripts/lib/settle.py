#!/usr/bin/env python3
"""Runs the checker until its verdict line has settled, then photographs it.

Usage: scripts/lib/settle.py BUILD_DIR

Starts BUILD_DIR/program/TarvoquinCheck.exe in its own folder, says while it
waits what it is waiting for and for how long, waits until the status row
leaves "系统检测中请不要关闭!", saves a PNG of the window under
BUILD_DIR/screenshots, prints where it is and the verdict, and closes the
program with Escape. Exits with the program's exit code. scripts/run
provides the environment.
"""

import os
import sys
import time

sys.dont_write_bytecode = True
import checker  # noqa: E402
import screen  # noqa: E402

WINDOW_SECONDS = 300
VERDICT_SECONDS = 1800
REPORT_EVERY = 15
MIN_GLYPH_PIXELS = 8
MIN_CHANGED_PIXELS = 30


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
        layout = run.layout()

        def drawn():
            shot = run.shot()
            pink = screen.count(shot, layout.status(), screen.PINK)
            return shot if pink >= MIN_GLYPH_PIXELS else None

        def settled():
            shot = run.shot()
            moved = screen.differing(shot, first, layout.status_start()) > MIN_CHANGED_PIXELS
            return shot if moved else None

        first = run.watch("the first frame", drawn, WINDOW_SECONDS, REPORT_EVERY)
        shot = run.watch("the verdict line to settle (the status row to leave "
                         "\"系统检测中请不要关闭!\", about 5 x 3001 frames)",
                         settled, VERDICT_SECONDS, REPORT_EVERY)
        red = screen.count(shot, layout.status(), screen.RED) >= MIN_GLYPH_PIXELS
        print("scripts/run: verdict after %d s: %s" % (
            time.monotonic() - started,
            "您的机器不能正常运行游戏 (red)" if red else "您的机器可以正常运行游戏 (pink)"))
        path = os.path.join(shots, "TarvoquinCheck-%s.png" % time.strftime("%Y%m%d-%H%M%S"))
        shot.save(path)
        print("scripts/run: screenshot of the window: %s" % path)
        run.key("Escape")
        code = run.wait_exit(60)
        print("scripts/run: closed with Escape, exit code %d" % code)
        return code
    except checker.Timeout as problem:
        print("scripts/run: %s" % problem, file=sys.stderr)
        return 1
    finally:
        checker.stop_all()


if __name__ == "__main__":
    sys.exit(main())
