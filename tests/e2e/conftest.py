"""Fixtures of the end-to-end tests: the build, the window tool, and program
starts that are all ended when their module is done."""
import os
import sys

import pytest

sys.dont_write_bytecode = True
REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(REPO, "scripts", "lib"))
import checker  # noqa: E402
from window_tool import Tool  # noqa: E402


def pytest_addoption(parser):
    parser.addoption("--build", required=True, help="the Windows build, e.g. build/windows")


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


@pytest.fixture(scope="module")
def start(build, logs):
    """start(name, images=None, overrides="", env=None): the program started
    alone, in the build's program folder or, given images=True/False, in a
    fresh folder with or without npc.png and root.ico; env adds variables."""
    def run(name, images=None, overrides="", env=None):
        checker.stop_all()
        folder = os.path.join(build, "program")
        if images is not None:
            folder = checker.copy_program(folder, with_images=images)
        return checker.Run(folder, logs, name, overrides, environment=env)
    yield run
    checker.stop_all()
    checker.remove_folders()
