"""What a player sees of TarvoquinCheck.exe under Wine. One normal start is
shared by the checks of the running program, in order, up to Escape; then
one start per fault the program meets."""
import os
import shutil
import time

import pytest

from program import (GREEN, GREY, LIGHT_GREEN, NO_OP_DRIVER, TEXTURE_GOLD, WHITE, Started,
                     windows_path)
from screen import PINK, RED, count, differing, mask

OUTER_RECT = "200,50,800,600"
CAPTION_STYLES = 0x00C00000 | 0x00080000 | 0x00020000   # caption, system menu, minimise box
SIZING_STYLES = 0x00040000 | 0x00010000                  # sizing border, maximise box
ICON_GOLD = 0xFFE2AC28                                   # root.ico's gold, as ARGB
GLYPHS = 8        # pixels of a colour that make text
CHANGED = 300     # pixels that make a turned cube
STARTUP_SECONDS, FRAME_SECONDS, EXIT_SECONDS = 300, 180, 120
IDLE_SECONDS, IDLE_CPU_SECONDS = 5, 0.5
SPAN_SECONDS, MINIMISE_SECONDS, ESCAPE_SECONDS = 3, 30, 2
# Xvfb has no window manager, and Wine waits 2 s for one to withdraw a window
# that is being hidden, inside DestroyWindow; a Windows desktop does not.
NO_WINDOW_MANAGER_SECONDS = 2
WINDOW_WITHOUT_WMI_SECONDS = 30   # whatever the management service does
UPPER_TOPS, FIGURE_TOPS = (0, 30, 60, 90), (0, 30, 60)
# Planted DLLs (tests/planted_dll_win.cpp), with Wine looking for them beside
# the program first, as Windows does for any DLL that is not a KnownDLL.
PLANTED = ("d3d9.dll", "dinput8.dll", "winmm.dll", "d3dx9_43.dll")
NATIVE_FIRST = ";d3d9,dinput8,winmm,d3dx9_43=n,b"
SECOND_START_SECONDS = 15   # Wine's start and end; a check would wait for Escape
MINIMISED = 0x20000000


def all_exactly(shot, box, colour):
    return count(shot, box, colour, 0) == (box[2] - box[0]) * (box[3] - box[1])


def rightmost(shot, box, colour):
    """The largest x in the box with a pixel of the colour, or -1."""
    bounds = mask(shot, box, colour).getbbox()
    return box[0] + bounds[2] - 1 if bounds else -1


def shown(run, tool):
    """The main window's fields from the window tool once it is shown."""
    fields = run.watch("the main window", lambda: tool("window", 5), STARTUP_SECONDS)
    run.find_x_window(60)
    return fields


def first_frame(run, logs, name):
    """The layout and a shot once overlay status row and cube are drawn."""
    layout = run.layout()

    def look():
        shot = run.shot()
        return shot if (count(shot, layout.status(), PINK) >= GLYPHS and
                        not all_exactly(shot, layout.centre(60), GREY)) else None
    shot = run.watch("the first frames", look, FRAME_SECONDS)
    shot.save("%s/%s.png" % (logs, name))
    return layout, shot


def turned(run, layout, before):
    def look():
        shot = run.shot()
        return shot if differing(shot, before, layout.centre(150)) >= CHANGED else None
    return run.watch("the cube to turn", look, 60)


def gold_in_icon(run):
    return run.icon_pixels().count(ICON_GOLD)


@pytest.fixture(scope="module")
def normal(start, tool):
    run = start("normal")
    return run, shown(run, tool)


@pytest.fixture(scope="module")
def first(normal, logs):
    return first_frame(normal[0], logs, "first-frames")


def test_window_title_place_size_fixed_frame_and_icon(normal):
    run, fields = normal
    assert fields["rect"] == OUTER_RECT
    assert int(fields["style"], 16) & (CAPTION_STYLES | SIZING_STYLES) == CAPTION_STYLES
    assert gold_in_icon(run) >= 10


def expect_first_frames(shot, layout):
    """The overlay's rows in their colours, the grey background and the
    textured cube, as the first frames of a normal start show them."""
    for top in UPPER_TOPS:
        assert count(shot, layout.upper_left(top), GREEN) >= GLYPHS, top
        assert count(shot, layout.upper_left(top), PINK) + count(
            shot, layout.upper_left(top), RED) == 0, top
    for top in FIGURE_TOPS:
        assert count(shot, layout.upper_right(top), LIGHT_GREEN) >= GLYPHS, top
    assert count(shot, layout.status(), RED) == 0
    assert count(shot, layout.gpu(), RED) >= GLYPHS
    for colour in (GREEN, LIGHT_GREEN):
        assert count(shot, layout.status(), colour) + count(shot, layout.gpu(), colour) == 0
    assert all(all_exactly(shot, patch, GREY) for patch in layout.edges())
    assert count(shot, layout.centre(60), TEXTURE_GOLD, 8) >= 50
    assert count(shot, layout.centre(60), WHITE, 10) < 0.05 * 120 * 120


def test_first_frames_overlay_rows_grey_background_textured_cube(normal, first):
    expect_first_frames(first[1], first[0])


def test_cube_turns_and_other_keys_change_nothing(normal, first, tool):
    run, (layout, shot) = normal[0], first
    later = turned(run, layout, shot)
    assert all(all_exactly(later, patch, GREY) for patch in layout.edges())
    for key in ("a", "space", "Return", "F5", "Tab"):
        run.key(key)
    turned(run, layout, run.shot())
    assert (tool("window") or {}).get("rect") == OUTER_RECT


def test_escape_ends_with_zero_and_nothing_on_standard_output(normal):
    run = normal[0]
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    assert run.stdout() == b""


def test_without_images_no_icon_white_cube_and_close_ends_with_zero(start, tool, logs,
                                                                  copy_program):
    run = start("without-images", copy_program(images=False))
    shown(run, tool)
    assert gold_in_icon(run) == 0
    layout, shot = first_frame(run, logs, "without-images")
    assert count(shot, layout.centre(60), WHITE, 10) >= 0.95 * 120 * 120
    assert count(shot, layout.centre(60), TEXTURE_GOLD, 8) == 0
    assert count(shot, layout.upper_left(0), GREEN) >= GLYPHS
    assert tool("close") is not None
    assert run.wait_exit(EXIT_SECONDS) == 0


def cpu_seconds_over(run, seconds):
    """The processor time the program takes over a stretch of seconds."""
    before = run.cpu_seconds()
    time.sleep(seconds)
    return run.cpu_seconds() - before


def test_without_device_a_box_then_the_report_with_the_red_verdict_idle(
        display_without_opengl, start, tool, logs):
    run = start("without-device")
    box = run.watch("the message box", lambda: tool("msgbox", 5), STARTUP_SECONDS)
    assert (box["text"], box["owner"], box["buttons"], box["ok"]) == (
        "Direct3D初始化失败~！", "GralvenClass", "1", "1")
    assert tool("window") is None, "main window shown before the box was answered"
    assert tool("press-ok") is not None
    assert shown(run, tool)["rect"] == OUTER_RECT
    layout = run.layout(scaled=False)

    def verdict_shown():
        shot = run.shot()
        return shot if count(shot, layout.status(), RED) >= GLYPHS else None
    shot = run.watch("the report with the red verdict", verdict_shown, FRAME_SECONDS)
    shot.save("%s/without-device.png" % logs)
    for top in UPPER_TOPS:
        assert count(shot, layout.upper_left(top), GREEN) >= GLYPHS, top
    for top in FIGURE_TOPS:
        assert count(shot, layout.upper_right(top), LIGHT_GREEN) >= GLYPHS, top
    assert count(shot, layout.gpu(), RED) >= GLYPHS
    assert count(shot, (0, 0) + shot.size, PINK) == 0
    assert all_exactly(shot, layout.centre(150), GREY)
    idle = cpu_seconds_over(run, IDLE_SECONDS)
    assert idle < IDLE_CPU_SECONDS, "%.2f s of processor time in %d s idle" % (
        idle, IDLE_SECONDS)
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    assert run.stdout() == b""


def test_a_service_that_never_answers_the_window_within_30_s_empty_rows_escape_ends_it(
        first, hung_wmi, start, tool, logs):
    began = time.monotonic()
    run = start("hung-wmi")
    run.watch("the main window", lambda: tool("window", 5), WINDOW_WITHOUT_WMI_SECONDS)
    print("hung-wmi: window after %.1f s" % (time.monotonic() - began))
    run.find_x_window(60)
    layout, shot = first_frame(run, logs, "hung-wmi")
    cpu_end = rightmost(shot, layout.upper_left(30), GREEN)
    assert 0 <= cpu_end < rightmost(first[1], first[0].upper_left(30), GREEN)
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    assert run.stdout() == b""


def minimised(tool):
    """Whether the main window is minimised; None when it is not shown."""
    fields = tool("window")
    return bool(int(fields["style"], 16) & MINIMISED) if fields else None


def test_dlls_planted_beside_the_program_and_in_its_working_folder_never_run(
        start, build, logs, tool, copy_program, tmp_path):
    program, working = copy_program(images=False), copy_program(images=True)
    for folder in (program, working):
        for dll in PLANTED:
            shutil.copy2(os.path.join(build, "tests", "planted", dll), folder)
    run = start("planted", working, program=os.path.join(program, "TarvoquinCheck.exe"),
                env={"WINEDLLOVERRIDES": os.environ["WINEDLLOVERRIDES"] + NATIVE_FIRST,
                     "TARVOQUIN_PLANTED_NOTES": windows_path(str(tmp_path))})
    assert shown(run, tool)["rect"] == OUTER_RECT
    assert tool("msgbox") is None
    layout, shot = first_frame(run, logs, "planted")
    expect_first_frames(shot, layout)
    turned(run, layout, shot)
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    assert os.listdir(tmp_path) == []


def test_a_second_start_a_second_later_ends_with_zero_and_a_third_brings_the_first_up(
        start, build, logs, tool):
    first = start("first-of-two")
    time.sleep(1)
    program = os.path.join(build, "program")
    began = time.monotonic()
    assert Started(program, logs, "second-of-two").wait_exit(SECOND_START_SECONDS) == 0
    print("second start: ended after %.1f s" % (time.monotonic() - began))
    shown(first, tool)
    assert tool("minimise", 30) is not None
    assert Started(program, logs, "third").wait_exit(SECOND_START_SECONDS) == 0
    first.watch("the first window restored", lambda: minimised(tool) is False, 30)
    assert tool("window")["foreground"] == "1"
    first.key("Escape")
    assert first.wait_exit(EXIT_SECONDS) == 0


def test_at_thousands_of_frames_a_second_minimised_runs_none_and_escape_ends_at_once(start,
                                                                                    tool):
    run = start("no-op-driver", env=NO_OP_DRIVER)
    shown(run, tool)
    restored = cpu_seconds_over(run, SPAN_SECONDS)
    assert tool("minimise", MINIMISE_SECONDS) is not None
    minimised = cpu_seconds_over(run, SPAN_SECONDS)
    assert tool("restore", MINIMISE_SECONDS) is not None
    again = cpu_seconds_over(run, SPAN_SECONDS)
    print("no-op driver: processor seconds in %d s: %.2f shown, %.2f minimised, %.2f restored" %
          (SPAN_SECONDS, restored, minimised, again))
    assert minimised < restored / 10
    assert minimised < again / 10
    began = time.monotonic()
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    ended = time.monotonic() - began
    print("no-op driver: Escape ended the program in %.2f s" % ended)
    assert ended < ESCAPE_SECONDS + NO_WINDOW_MANAGER_SECONDS
