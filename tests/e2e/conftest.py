"""Fixtures of the end-to-end tests: the build, the window tool, and starts of
the program (scripts/lib/checker.py runs), all ended when their module is done."""
import contextlib
import os
import re
import subprocess
import tempfile

import psutil
import pytest

import checker
import display

TOOL_SECONDS = 60   # Wine's own start-up and end


def pytest_addoption(parser):
    parser.addoption("--build", required=True, help="the Windows build, e.g. build/windows")
    parser.addoption("--minutes", type=float, default=10, help="the long run's length")
    parser.addoption("--fast", action="store_true",
                     help="the long run under Mesa's no-op driver")


class Started(checker.Run):
    """Wine runs the program in the process it started as."""

    def cpu_seconds(self):
        times = psutil.Process(self.process.pid).cpu_times()
        return times.user + times.system

    def mapped_files(self):
        """The names of the files mapped into the process, lower case: Wine
        maps the DLLs it loads from their files."""
        return {os.path.basename(m.path).lower()
                for m in psutil.Process(self.process.pid).memory_maps()}

    def move_pointer(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True)

    def icon_pixels(self):
        """The ARGB values of the icon Wine gives the X window."""
        text = subprocess.run(["xprop", "-id", self.window_id, "-f", "_NET_WM_ICON", "32c",
                               " = $0+\n", "_NET_WM_ICON"], stdout=subprocess.PIPE,
                              text=True).stdout
        return [int(v) for v in re.findall(r"\d+", text.partition("=")[2])]


@pytest.fixture(scope="session")
def build(request):
    return os.path.abspath(request.config.getoption("--build"))


@pytest.fixture(scope="session")
def logs(build):
    os.makedirs(os.path.join(build, "e2e"), exist_ok=True)
    return os.path.join(build, "e2e")


@pytest.fixture(scope="session")
def tool(build):
    """tool(command): the window tool's (window_tool_win.cpp) key=value lines
    as a dict, or None when it found nothing; run in the program's prefix."""
    path = os.path.join(build, "tests", "e2e_window_tool.exe")

    # Into a file, not a pipe: a Wine server this call starts keeps a pipe
    # open long after the tool has ended.
    def run(command):
        with tempfile.TemporaryFile() as out:
            code = subprocess.run(["wine", path, command], stdout=out,
                                  stderr=subprocess.DEVNULL, timeout=TOOL_SECONDS).returncode
            out.seek(0)
            lines = out.read().decode("utf-8").splitlines()
        return None if code else dict(line.split("=", 1) for line in lines)
    return run


@pytest.fixture(scope="module")
def start(build, logs):
    """start(name, folder=None, alone=True, program=None): the program (the
    exe in folder, or the given path) started in folder (the build's program
    folder by default); alone, once the runs before it are ended."""
    def run(name, folder=None, alone=True, program=None):
        if alone:
            checker.stop_all()
        return Started(folder or os.path.join(build, "program"), logs, name, program)
    yield run
    checker.stop_all()


@pytest.fixture(scope="session")
def card_override():
    """card_override(vendor, device): a context in which Wine's Direct3D and
    WMI report that card (one of Wine's own table) to programs started in
    it; taken out again at its end, once the program has read it."""
    key = r"HKCU\Software\Wine\Direct3D"
    values = ("VideoPciVendorID", "VideoPciDeviceID")

    @contextlib.contextmanager
    def override(vendor, device):
        for name, value in zip(values, (vendor, device)):
            subprocess.run(["wine", "reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d",
                            "0x%04x" % value, "/f"], check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=TOOL_SECONDS)
        try:
            yield
        finally:
            for name in values:
                subprocess.run(["wine", "reg", "delete", key, "/v", name, "/f"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               timeout=TOOL_SECONDS)
    return override


@pytest.fixture
def no_op_driver(monkeypatch):
    """Mesa's no-op driver draws nothing: frames cost their processor side
    alone, thousands a second, as on a fast graphics card."""
    monkeypatch.setenv("GALLIUM_NOOP", "1")


def wine_server_stop():
    checker.stop_all()
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)


def own_display(monkeypatch, *options, screen=display.SCREEN):
    """A second virtual display, made the display of everything started in
    the test. The Wine server is restarted around it, so the programs talk
    only to it."""
    number, server = display.start(*options, screen=screen)
    wine_server_stop()
    monkeypatch.setenv("DISPLAY", number)
    yield screen
    wine_server_stop()
    display.stop(number, server)


@pytest.fixture
def display_without_opengl(monkeypatch):
    """A display without the GLX extension, where Direct3D 9 finds no device."""
    yield from own_display(monkeypatch, "-extension", "GLX")


@pytest.fixture(params=["800x600", "1093x614"])
def small_screen(monkeypatch, request):
    """A small screen ("WxH"): the second is a 1366 x 768 laptop at 125 %."""
    yield from own_display(monkeypatch, screen=request.param)
