"""The window tool (window_tool_win.cpp beside this file), run in the same
Wine prefix as the program: it looks at the program's windows from the Win32
side for the end-to-end tests."""
import subprocess

TOOL_SLACK_SECONDS = 60   # Wine's own start-up, on top of the tool's wait


class Tool:
    """The window tool, run in the same Wine prefix as the program."""

    def __init__(self, path):
        self.path = path

    def run(self, *arguments, seconds=0):
        result = subprocess.run(["wine", self.path] + [str(a) for a in arguments],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                timeout=seconds + TOOL_SLACK_SECONDS)
        fields = {}
        for line in result.stdout.decode("utf-8", "replace").splitlines():
            key, _, value = line.partition("=")
            fields[key] = value
        return result.returncode, fields

    def main_window(self, seconds):
        code, fields = self.run("window", seconds, seconds=seconds)
        return fields if code == 0 else None

    def close(self):
        return self.run("close")[0] == 0

    def minimise(self, seconds):
        """True once the main window is minimised, as by its button."""
        return self.run("minimise", seconds, seconds=seconds)[0] == 0

    def restore(self, seconds):
        return self.run("restore", seconds, seconds=seconds)[0] == 0

    def message_box(self, seconds):
        code, fields = self.run("msgbox", seconds, seconds=seconds)
        return fields if code == 0 else None

    def press_ok(self):
        return self.run("press-ok")[0] == 0

    def memory_line_width(self, kilobytes):
        """The width of the memory row the checker shows for kilobytes."""
        code, fields = self.run("memory-width", kilobytes)
        return int(fields["width"]) if code == 0 else None

    def cpu_line_width(self, name):
        """The width of the CPU row the checker shows for the processor name."""
        code, fields = self.run("cpu-width", name)
        return int(fields["width"]) if code == 0 else None
