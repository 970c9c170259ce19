"""Fixtures of the end-to-end tests: the build, the window tool, and program
starts that are all ended when their module is done."""
import functools
import os
import shutil
import subprocess

import pytest

import checker
import display
from program import Started, tool as run_tool


def pytest_addoption(parser):
    parser.addoption("--build", required=True, help="the Windows build, e.g. build/windows")
    parser.addoption("--minutes", type=float, default=10, help="the long run's length")


@pytest.fixture(scope="session")
def build(request):
    return os.path.abspath(request.config.getoption("--build"))


@pytest.fixture(scope="session")
def logs(build):
    os.makedirs(os.path.join(build, "e2e"), exist_ok=True)
    return os.path.join(build, "e2e")


@pytest.fixture(scope="session")
def tool(build):
    return functools.partial(run_tool, os.path.join(build, "tests", "e2e_window_tool.exe"))


@pytest.fixture
def without_images(build, tmp_path):
    """A folder holding the program without npc.png and root.ico."""
    shutil.copy2(os.path.join(build, "program", checker.PROGRAM), tmp_path)
    return str(tmp_path)


@pytest.fixture(scope="module")
def start(build, logs):
    """start(name, folder=None, env=None): the program started alone, in
    folder (the build's program folder by default); env adds variables."""
    def run(name, folder=None, env=None):
        checker.stop_all()
        return Started(folder or os.path.join(build, "program"), logs, name, environment=env)
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
