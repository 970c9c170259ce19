#!/usr/bin/env python3
"""Virtual X displays for the scripts and the tests: Xvfb picks a free
display number itself (-displayfd) and is ended with SIGTERM, so that it
removes its socket (and lock), and is reaped.

    display.py serve [Xvfb options]   starts one, prints its DISPLAY, and ends
                                      it when told to end (SIGTERM, SIGINT or
                                      SIGHUP)

The shell scripts run "serve" in the background (scripts/wine-env.sh);
Python callers use start() and stop() directly.
"""

import os
import signal
import subprocess
import sys
import time

SCREEN = "1280x1024"
STOP_SECONDS = 10


def start(*options, screen=SCREEN):
    """Starts Xvfb with a screen of that size (width x height) and the
    options, a child of the caller; returns (":N", pid) once it accepts
    connections."""
    reader, writer = os.pipe()
    process = subprocess.Popen(["Xvfb", "-displayfd", str(writer), "-screen", "0", screen + "x24",
                                "-nolisten", "tcp"] + list(options),
                               pass_fds=[writer], stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    os.close(writer)
    with os.fdopen(reader) as announced:
        number = announced.readline().strip()
    if not number.isdigit():
        process.kill()
        raise RuntimeError("Xvfb did not start")
    return ":" + number, process.pid


def _running(pid):
    """True while the process lives and is not a zombie waiting to be reaped."""
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().rpartition(")")[2].split()[0] != "Z"
    except OSError:
        return False


def stop(display, pid):
    """Ends the display's Xvfb (a child of the caller), waits until it has
    removed its lock and reaps it."""
    lock = "/tmp/.X%s-lock" % display.lstrip(":")
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    deadline = time.monotonic() + STOP_SECONDS
    while (_running(pid) or os.path.exists(lock)) and time.monotonic() < deadline:
        time.sleep(0.1)
        try:
            os.waitpid(pid, os.WNOHANG)  # reaps it when it is our own child
        except ChildProcessError:
            pass
    if _running(pid):
        os.kill(pid, signal.SIGKILL)


def serve(options):
    display, pid = start(*options)
    ending = []
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, lambda *_: ending.append(True))
    print(display, flush=True)
    while not ending and _running(pid):
        time.sleep(0.2)
    stop(display, pid)


def main():
    if len(sys.argv) >= 2 and sys.argv[1] == "serve":
        serve(sys.argv[2:])
        return 0
    print(__doc__.strip(), file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
