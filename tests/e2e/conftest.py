"""Fixtures of the end-to-end tests: the build, the window tool, and program
starts that are all ended when their module is done."""
import os
import shutil
import subprocess

import pytest

import checker
import display
from program import Started, Tool, windows_path


def pytest_addoption(parser):
    parser.addoption("--build", required=True, help="the Windows build, e.g. build/windows")
    parser.addoption("--minutes", type=float, default=10, help="the long run's length")
    parser.addoption("--growth-limit", type=int, default=16384,
                     help="KiB the long run's resident memory may grow after its first minute")
    parser.addoption("--fast", action="store_true", help="the long run under Mesa's no-op driver")


def pytest_configure(config):
    missing = [name for name in ("DISPLAY", "WINEPREFIX", "MESA_EXTENSION_OVERRIDE")
               if not os.environ.get(name)]
    if missing:
        raise pytest.UsageError("%s not set; source scripts/wine-env.sh and call "
                                "wine_env_setup virtual first" % ", ".join(missing))


@pytest.fixture(scope="session")
def build(request):
    return os.path.abspath(request.config.getoption("--build"))


@pytest.fixture(scope="session")
def logs(build):
    os.makedirs(os.path.join(build, "e2e"), exist_ok=True)
    return os.path.join(build, "e2e")


@pytest.fixture(scope="session")
def tool(build):
    return Tool(os.path.join(build, "tests", "e2e_window_tool.exe"))


@pytest.fixture(scope="session")
def copy_program(build, tmp_path_factory):
    """copy_program(images): a fresh folder holding the program, with or
    without npc.png and root.ico."""
    def copy(images):
        folder = tmp_path_factory.mktemp("program")
        for name in [checker.PROGRAM] + (["npc.png", "root.ico"] if images else []):
            shutil.copy2(os.path.join(build, "program", name), folder)
        return str(folder)
    return copy


@pytest.fixture(scope="module")
def start(build, logs):
    """start(name, folder=None, env=None, program=...): the program started
    alone, in folder (the build's program folder by default); env adds
    variables."""
    def run(name, folder=None, env=None, program=checker.PROGRAM):
        checker.stop_all()
        folder = folder or os.path.join(build, "program")
        return Started(folder, logs, name, program=program, environment=env)
    yield run
    checker.stop_all()


def wine_server_stop():
    """Ends the runs, then the Wine server of the prefix in use."""
    checker.stop_all()
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)


@pytest.fixture
def display_without_opengl(monkeypatch):
    """A second virtual display without the GLX extension, where Direct3D 9
    finds no device, made the display of everything started in the test. The
    Wine server is restarted around it, so the programs talk only to it."""
    number, server = display.start("-extension", "GLX")
    wine_server_stop()
    monkeypatch.setenv("DISPLAY", number)
    yield
    wine_server_stop()
    display.stop(number, server)


@pytest.fixture
def hung_wmi(build, monkeypatch):
    """Everything started in the test runs in the stand-in prefix of
    scripts/wine-env.sh, where the stand-in management service
    (tests/wmi_standin_win.cpp) answers in place of Wine's, and never
    answers a query."""
    checker.stop_all()
    monkeypatch.setenv("WINEPREFIX", os.environ["TARVOQUIN_STANDIN_PREFIX"])
    monkeypatch.setenv("TARVOQUIN_WMI", "hang-next")
    dll = windows_path(os.path.join(build, "tests", "wmi_standin.dll"))
    subprocess.run(["wine", "regsvr32", "/s", dll], check=True)
    yield
    wine_server_stop()
