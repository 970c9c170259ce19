"""The program as the end-to-end tests see it: a run of scripts/lib/checker.py
with what only the tests read, the regions of a shot they look at, and the
window tool that looks at its windows from the Win32 side."""
import re
import subprocess

import psutil

import checker
import screen

GREY = (100, 100, 100)          # the cleared background
GREEN = (0, 239, 136)           # left-aligned text lines
LIGHT_GREEN = (135, 239, 136)   # right-aligned figures
WHITE = (255, 255, 255)         # the untextured cube
TEXTURE_GOLD = (226, 172, 40)   # the most common colour of npc.png
UPPER_FONT_HEIGHT = 23
# Mesa's no-op driver draws nothing: frames cost their processor side alone,
# thousands a second, as on a fast graphics card.
NO_OP_DRIVER = {"GALLIUM_NOOP": "1"}
TOOL_SECONDS = 60   # Wine's own start-up and end


class Rows(screen.Layout):
    def upper_left(self, top):
        return self.row(top, UPPER_FONT_HEIGHT, 0.0, 0.45)

    def upper_right(self, top):
        return self.row(top, UPPER_FONT_HEIGHT, 0.7, 1.0)

    def gpu(self):
        return self.row(550, screen.LOWER_FONT_HEIGHT, 0.0, 0.45)

    def centre(self, half):
        cx, cy = self.width // 2, self.height // 2
        return (cx - half, cy - half, cx + half, cy + half)

    def edges(self):
        """Small patches at the bottom corners and halfway down both sides,
        where neither text nor the cube ever reaches."""
        w, h, s = self.width, self.height, 10
        return [(0, h - s, s, h), (w - s, h - s, w, h),
                (0, h // 2, s, h // 2 + s), (w - s, h // 2, w, h // 2 + s)]


class Started(checker.Run):
    """Wine runs the program in the process it started as."""

    def cpu_seconds(self):
        times = psutil.Process(self.process.pid).cpu_times()
        return times.user + times.system

    def resident_kib(self):
        return psutil.Process(self.process.pid).memory_info().rss // 1024

    def layout(self, scaled=True):
        return Rows(self.client[2], self.client[3], scaled)

    def stdout(self):
        with open(self.stdout_path, "rb") as out:
            return out.read()

    def icon_pixels(self):
        """The ARGB values of the icon Wine gives the X window."""
        text = subprocess.run(["xprop", "-id", self.window_id, "-f", "_NET_WM_ICON", "32c",
                               " = $0+\n", "_NET_WM_ICON"], stdout=subprocess.PIPE,
                              text=True).stdout
        return [int(v) for v in re.findall(r"\d+", text.partition("=")[2])]


def tool(path, command):
    """The window tool's (window_tool_win.cpp) key=value lines as a dict, or
    None when it found nothing; run in the same Wine prefix as the program."""
    result = subprocess.run(["wine", path, command], stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, timeout=TOOL_SECONDS)
    lines = result.stdout.decode("utf-8").splitlines()
    return None if result.returncode else dict(line.split("=", 1) for line in lines)
