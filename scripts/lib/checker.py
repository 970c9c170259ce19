"""Starting, finding, watching, driving and ending TarvoquinCheck.exe under
Wine; shared by scripts/run, scripts/long-run and the end-to-end tests.

Every wait polls a condition until a generous deadline; nothing waits by
sleeping a fixed time. Every process started here is ended by stop_all().
Needs the environment of scripts/wine-env.sh (a display and the prefix).
"""

import contextlib
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

import display
import screen

TITLE = "【Tarvoquin】配置检测"
PROGRAM = "TarvoquinCheck.exe"
IMAGES = ("npc.png", "root.ico")
POLL_SECONDS = 0.5

started = []
folders = []


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
    """One run of the program in a folder, with its output kept in files;
    given program, that exe started with the folder as its working folder;
    given environment, those variables set for it."""

    def __init__(self, folder, log_folder, name, extra_overrides="", program=PROGRAM,
                 environment=None):
        env = dict(os.environ, **(environment or {}))
        if extra_overrides:
            env["WINEDLLOVERRIDES"] = env.get("WINEDLLOVERRIDES", "") + ";" + extra_overrides
        self.stdout_path = os.path.join(log_folder, name + ".stdout")
        self.stderr_path = os.path.join(log_folder, name + ".stderr")
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.process = subprocess.Popen(["wine", program], cwd=folder, env=env,
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

    def wait_exit_and_cpu(self, seconds):
        """The exit code and the processor time of the program, which Wine
        runs in the process it started as."""
        deadline = time.monotonic() + seconds
        while True:
            pid, status, usage = os.wait4(self.process.pid, os.WNOHANG)
            if pid:
                self.process.returncode = os.waitstatus_to_exitcode(status)
                return self.process.returncode, usage.ru_utime + usage.ru_stime
            if time.monotonic() > deadline:
                raise Timeout("the program did not end within %d s" % seconds)
            time.sleep(POLL_SECONDS / 10)

    def watch(self, what, look, seconds, report_every=30):
        """Waits for look() to return something, failing at once if the
        program ends meanwhile."""
        def step():
            if not self.alive():
                raise Timeout("the program ended (exit code %d) while waiting for %s"
                              % (self.process.returncode, what))
            return look()
        return wait_for(what, step, seconds, report_every)

    def cpu_seconds(self):
        """Processor time used so far by the processes of this run (its
        session: wine and the program it became)."""
        ticks = 0
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/stat" % entry) as stat:
                    fields = stat.read().rpartition(")")[2].split()
            except (OSError, ValueError):
                continue
            if int(fields[3]) == self.process.pid:   # the session id
                ticks += int(fields[11]) + int(fields[12])   # user and system time
        return ticks / os.sysconf("SC_CLK_TCK")

    def shot(self):
        return screen.take(self.client)

    def layout(self, scaled=True):
        return screen.Layout(self.client[2], self.client[3], scaled)

    def stdout(self):
        with open(self.stdout_path, "rb") as out:
            return out.read()

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

    def icon_pixels(self):
        """The ARGB values of the icon Wine gives the X window."""
        text = subprocess.run(["xprop", "-id", self.window_id, "-f", "_NET_WM_ICON", "32c",
                               " = $0+\n", "_NET_WM_ICON"], stdout=subprocess.PIPE,
                              text=True).stdout
        return [int(v) for v in re.findall(r"\d+", text.partition("=")[2])]


def copy_program(program_folder, with_images):
    """A fresh folder holding the program, with or without its two images."""
    folder = new_folder()
    shutil.copy2(os.path.join(program_folder, PROGRAM), folder)
    if with_images:
        for image in IMAGES:
            shutil.copy2(os.path.join(program_folder, image), folder)
    return folder


def new_folder():
    folder = tempfile.mkdtemp(prefix="tarvoquin-e2e-")
    folders.append(folder)
    return folder


def windows_path(path):
    return subprocess.run(["winepath", "-w", path], check=True, capture_output=True,
                          text=True).stdout.strip()


def stop_all():
    for process in started:
        if process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait()
    started.clear()


def remove_folders():
    for folder in folders:
        shutil.rmtree(folder, ignore_errors=True)
    folders.clear()


def wine_server_stop():
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)


@contextlib.contextmanager
def display_without_opengl():
    """A second virtual display without the GLX extension, where Direct3D 9
    finds no device, made the display of everything started inside. The
    Wine server is restarted around it, so the programs inside talk only to
    that display."""
    number, server = display.start("-extension", "GLX")
    previous = os.environ.get("DISPLAY")
    try:
        stop_all()
        wine_server_stop()
        os.environ["DISPLAY"] = number
        yield
    finally:
        stop_all()
        wine_server_stop()
        if previous is None:
            os.environ.pop("DISPLAY", None)
        else:
            os.environ["DISPLAY"] = previous
        display.stop(number, server)


LOCATOR_SERVER = (r"HKLM\Software\Classes\CLSID\{4590F811-1D3A-11D0-891F-00AA004B2E24}"
                  r"\InprocServer32")
WINE_LOCATOR = r"C:\windows\system32\wbem\wbemprox.dll"


def register_locator(path):
    for value in (["/ve", "/d", path], ["/v", "ThreadingModel", "/d", "Both"]):
        subprocess.run(["wine", "reg", "add", LOCATOR_SERVER] + value + ["/f"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


@contextlib.contextmanager
def standin_wmi(dll, behaviour):
    """Everything started inside runs in the second prefix of
    scripts/wine-env.sh, where the stand-in management service (the DLL,
    tests/wmi_standin_win.cpp) answers in place of Wine's, behaving as
    behaviour says; Wine's is registered again after."""
    previous = os.environ["WINEPREFIX"]
    stop_all()
    os.environ["WINEPREFIX"] = os.environ["TARVOQUIN_STANDIN_PREFIX"]
    os.environ["TARVOQUIN_WMI"] = behaviour
    try:
        register_locator(windows_path(dll))
        yield
    finally:
        stop_all()
        register_locator(WINE_LOCATOR)
        wine_server_stop()
        os.environ["WINEPREFIX"] = previous
        os.environ.pop("TARVOQUIN_WMI", None)
