"""Starting, finding, watching, driving and ending TarvoquinCheck.exe under
Wine; used by scripts/run, and by the end-to-end tests, which add what only
they read (tests/e2e/conftest.py).

Every wait polls a condition until a generous deadline; nothing waits by
sleeping a fixed time. Every process started here is ended by stop_all().
Needs the environment of scripts/wine-env.sh (a display and the prefix).
"""

import os
import re
import signal
import subprocess
import time

import screen

TITLE = "【Tarvoquin】配置检测"
PROGRAM = "TarvoquinCheck.exe"
POLL_SECONDS = 0.5

started = []


class Timeout(AssertionError):
    pass


def wait_for(what, condition, seconds, report_every=None):
    """Polls condition() until it returns a true value, which is returned.
    With report_every, says every so many seconds what it is waiting for."""
    start = time.monotonic()
    next_report = report_every
    while True:
        value = condition()
        if value:
            return value
        waited = time.monotonic() - start
        if waited > seconds:
            raise Timeout("%s: not within %d s" % (what, seconds))
        if report_every and waited >= next_report:
            print("  ... waiting for %s: %d s so far (up to %d s)" % (what, waited, seconds),
                  flush=True)
            next_report += report_every
        time.sleep(POLL_SECONDS)


class Run:
    """One run of the program in its folder, with its output kept in files."""

    def __init__(self, folder, log_folder, name, program=None):
        """Starts program (by default the one in folder) in folder."""
        self.stdout_path = os.path.join(log_folder, name + ".stdout")
        self.stderr_path = os.path.join(log_folder, name + ".stderr")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen(["wine", program or PROGRAM], cwd=folder,
                                            stdout=out, stderr=err, start_new_session=True)
        started.append(self.process)
        self.window_id = None
        self.client = None

    def alive(self):
        return self.process.poll() is None

    def wait_exit(self, seconds):
        try:
            return self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Timeout("the program did not end within %d s" % seconds)

    def watch(self, what, look, seconds, report_every=30):
        """Waits for look() to return something, failing at once if the
        program ends meanwhile."""
        def step():
            if not self.alive():
                raise Timeout("the program ended (exit code %d) while waiting for %s"
                              % (self.process.returncode, what))
            return look()
        return wait_for(what, step, seconds, report_every)

    def shot(self):
        return screen.take(self.client)

    def layout(self):
        return screen.Layout(self.client[2], self.client[3])

    def find_x_window(self, seconds, report_every=None):
        """The X window showing the main window, and its client area."""
        def search():
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                    "^%s$" % TITLE], stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True).stdout.split()
            return found[0] if found else None
        self.window_id = wait_for("the main window on the X display", search, seconds,
                                  report_every)
        info = subprocess.run(["xwininfo", "-id", self.window_id], stdout=subprocess.PIPE,
                              text=True, check=True).stdout
        field = lambda name: int(re.search(name + r":\s+(-?\d+)", info).group(1))
        self.client = (field("Absolute upper-left X"), field("Absolute upper-left Y"),
                       field("Width"), field("Height"))
        return self.client

    def key(self, name):
        subprocess.run(["xdotool", "key", "--window", self.window_id, name], check=True,
                       stderr=subprocess.DEVNULL)


def stop_all():
    for process in started:
        if process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
    started.clear()
