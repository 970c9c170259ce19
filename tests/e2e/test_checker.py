"""What a player sees of TarvoquinCheck.exe under Wine. One normal start is
shared by the checks of the running program, in order, up to Escape; then
one start per fault the program meets."""
import os
import shutil
import time

import pytest

import checker
from screen import (GREEN, GREY, LIGHT_GREEN, PINK, RED, TEXTURE_GOLD, WHITE, all_exactly,
                    count, differing, rightmost)

OUTER_RECT = "200,50,800,600"
CAPTION_STYLES = 0x00C00000 | 0x00080000 | 0x00020000   # caption, system menu, minimise box
SIZING_STYLES = 0x00040000 | 0x00010000                  # sizing border, maximise box
ICON_GOLD = 0xFFE2AC28                                   # root.ico's gold, as ARGB
GLYPHS = 8        # pixels of a colour that make text
CHANGED = 300     # pixels that make a turned cube
STARTUP_SECONDS, FRAME_SECONDS, VERDICT_SECONDS, EXIT_SECONDS = 300, 180, 1800, 120
IDLE_SECONDS, IDLE_CPU_SECONDS = 5, 0.5
# Mesa's no-op driver draws nothing: frames cost their processor side alone,
# thousands a second, as on a fast graphics card.
NO_OP_DRIVER = {"GALLIUM_NOOP": "1"}
SPAN_SECONDS, MINIMISE_SECONDS, ESCAPE_SECONDS = 3, 30, 2
# Xvfb has no window manager, and Wine waits 2 s for one to withdraw a window
# that is being hidden, inside DestroyWindow; a Windows desktop does not.
NO_WINDOW_MANAGER_SECONDS = 2
WINDOW_WITHOUT_WMI_SECONDS = 30   # whatever the management service does
STANDIN_CPU, STANDIN_KILOBYTES = "Stand-in CPU", "16777216"   # tests/wmi_standin_win.cpp
UPPER_TOPS, FIGURE_TOPS = (0, 30, 60, 90), (0, 30, 60)
# Planted DLLs (tests/planted_dll_win.cpp), with Wine looking for them beside
# the program first, as Windows does for any DLL that is not a KnownDLL.
PLANTED = ("d3d9.dll", "dinput8.dll", "winmm.dll", "d3dx9_43.dll")
NATIVE_FIRST = "d3d9,dinput8,winmm,d3dx9_43=n,b"
SECOND_START_SECONDS = 15   # Wine's start and end; a check would wait for Escape
MINIMISED = 0x20000000


def shown(run, tool):
    """The main window's fields from the window tool once it is shown."""
    fields = run.watch("the main window", lambda: tool.main_window(5), STARTUP_SECONDS)
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


def expect_memory_row(shot, layout, tool, kilobytes):
    """The row ends where the program's own memory row for the kilobytes ends
    in the overlay's font, less the G's right side bearing (4 to 5 pixels);
    a digit more or less moves it ~12."""
    expected = tool.memory_line_width(kilobytes) * layout.sx
    end = rightmost(shot, layout.upper_left(90), GREEN)
    assert expected - 7 <= end <= expected - 2, "memory row ends at %d, not near %.0f for %s kB" % (
        end, expected, kilobytes)


def machine_kilobytes():
    """The machine's memory as Wine reports it to WMI: /proc/meminfo's total."""
    return next(line.split()[1] for line in open("/proc/meminfo") if line.startswith("MemTotal:"))


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


def expect_first_frames(shot, layout, tool):
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
    expect_memory_row(shot, layout, tool, machine_kilobytes())


def test_first_frames_overlay_rows_grey_background_textured_cube(normal, first, tool):
    expect_first_frames(first[1], first[0], tool)


def test_cube_turns_and_other_keys_change_nothing(normal, first, tool):
    run, (layout, shot) = normal[0], first
    later = turned(run, layout, shot)
    assert all(all_exactly(later, patch, GREY) for patch in layout.edges())
    for key in ("a", "space", "Return", "F5", "Tab"):
        run.key(key)
    turned(run, layout, run.shot())
    assert (tool.main_window(0) or {}).get("rect") == OUTER_RECT


def test_settled_verdict_turns_the_status_row_red(normal, first, logs):
    run, (layout, shot) = normal[0], first

    def settled():
        now = run.shot()
        return now if (count(now, layout.status(), RED) >= GLYPHS and
                       count(now, layout.status(), PINK) == 0) else None
    verdict = run.watch("the verdict line to turn red", settled, VERDICT_SECONDS)
    verdict.save("%s/verdict.png" % logs)
    assert differing(verdict, shot, layout.status_start()) > CHANGED // 10
    assert differing(verdict, shot, layout.gpu_figure()) > CHANGED // 10, "GPU placeholder"


def test_escape_ends_with_zero_and_nothing_on_standard_output(normal):
    run = normal[0]
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    assert run.stdout() == b""


def test_without_images_no_icon_white_cube_and_close_ends_with_zero(start, tool, logs):
    run = start("without-images", images=False)
    shown(run, tool)
    assert gold_in_icon(run) == 0
    layout, shot = first_frame(run, logs, "without-images")
    assert count(shot, layout.centre(60), WHITE, 10) >= 0.95 * 120 * 120
    assert count(shot, layout.centre(60), TEXTURE_GOLD, 8) == 0
    assert count(shot, layout.upper_left(0), GREEN) >= GLYPHS
    assert tool.close()
    assert run.wait_exit(EXIT_SECONDS) == 0


def verdict_shown(run, layout):
    """A shot once the status row is red, else None."""
    shot = run.shot()
    return shot if count(shot, layout.status(), RED) >= GLYPHS else None


def cpu_seconds_over(run, seconds):
    """The processor time the program takes over a stretch of seconds."""
    before = run.cpu_seconds()
    time.sleep(seconds)
    return run.cpu_seconds() - before


def test_without_device_a_box_then_the_report_with_the_red_verdict_idle(start, tool, logs):
    with checker.display_without_opengl():
        run = start("without-device")
        box = run.watch("the message box", lambda: tool.message_box(5), STARTUP_SECONDS)
        assert (box["text"], box["owner"], box["buttons"], box["ok"]) == (
            "Direct3D初始化失败~！", "GralvenClass", "1", "1")
        assert tool.main_window(0) is None, "main window shown before the box was answered"
        assert tool.press_ok()
        assert shown(run, tool)["rect"] == OUTER_RECT
        layout = run.layout(scaled=False)
        shot = run.watch("the report", lambda: verdict_shown(run, layout), FRAME_SECONDS)
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


def test_without_wmi_memory_zero_bare_cpu_row_and_escape_ends_with_zero(start, tool, logs,
                                                                       first):
    run = start("without-wmi", overrides="wbemprox=d")
    shown(run, tool)
    layout, shot = first_frame(run, logs, "without-wmi")
    expect_memory_row(shot, layout, tool, "")
    cpu_end = rightmost(shot, layout.upper_left(30), GREEN)
    assert 0 <= cpu_end < rightmost(first[1], first[0].upper_left(30), GREEN)
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    assert run.stdout() == b"CoCreateInstance() error.\r\n"


def standin(build):
    return os.path.join(build, "tests", "wmi_standin.dll")


def expect_cpu_row(shot, layout, tool, name):
    """The CPU row ends where the program's own row for the name ends, less
    the last glyph's right side bearing: a letter's up to 7 pixels, the
    full-width colon's (the row without a name) 8 to 14, half its cell."""
    expected = tool.cpu_line_width(name) * layout.sx
    end = rightmost(shot, layout.upper_left(30), GREEN)
    low, high = (7, -1) if name else (14, 8)
    assert expected - low <= end <= expected - high, "CPU row ends at %d, not near %.0f for %r" % (
        end, expected, name)


def test_a_service_that_never_answers_the_window_within_30_s_empty_rows_escape_ends_it(
        start, tool, build, logs):
    with checker.standin_wmi(standin(build), "hang-next"):
        began = time.monotonic()
        run = start("hung-wmi")
        run.watch("the main window", lambda: tool.main_window(5), WINDOW_WITHOUT_WMI_SECONDS)
        print("hung-wmi: window after %.1f s" % (time.monotonic() - began))
        run.find_x_window(60)
        layout, shot = first_frame(run, logs, "hung-wmi")
        expect_cpu_row(shot, layout, tool, "")
        expect_memory_row(shot, layout, tool, "")
        run.key("Escape")
        assert run.wait_exit(EXIT_SECONDS) == 0
        assert run.stdout() == b""


def test_a_service_that_answers_after_seconds_gives_the_normal_rows(start, tool, build, logs):
    with checker.standin_wmi(standin(build), "slow"):
        run = start("slow-wmi")
        shown(run, tool)
        layout, shot = first_frame(run, logs, "slow-wmi")
        expect_cpu_row(shot, layout, tool, STANDIN_CPU)
        expect_memory_row(shot, layout, tool, STANDIN_KILOBYTES)
        run.key("Escape")
        assert run.wait_exit(EXIT_SECONDS) == 0
        assert run.stdout() == b""


def minimised(tool):
    """Whether the main window is minimised; None when it is not shown."""
    fields = tool.main_window(0)
    return bool(int(fields["style"], 16) & MINIMISED) if fields else None


def test_dlls_planted_beside_the_program_and_in_its_working_folder_never_run(build, logs, tool):
    planted = os.path.join(build, "tests", "planted")
    program = checker.copy_program(os.path.join(build, "program"), with_images=False)
    working = checker.copy_program(os.path.join(build, "program"), with_images=True)
    notes = checker.new_folder()
    for folder in (program, working):
        for dll in PLANTED:
            shutil.copy2(os.path.join(planted, dll), folder)
    checker.stop_all()
    run = checker.Run(working, logs, "planted", NATIVE_FIRST,
                      program=os.path.join(program, checker.PROGRAM),
                      environment={"TARVOQUIN_PLANTED_NOTES": checker.windows_path(notes)})
    assert shown(run, tool)["rect"] == OUTER_RECT
    assert tool.message_box(0) is None
    layout, shot = first_frame(run, logs, "planted")
    expect_first_frames(shot, layout, tool)
    turned(run, layout, shot)
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
    assert os.listdir(notes) == []


def test_a_second_start_a_second_later_ends_with_zero_and_a_third_brings_the_first_up(
        start, build, logs, tool):
    first = start("first-of-two")
    time.sleep(1)
    program = os.path.join(build, "program")
    began = time.monotonic()
    code, cpu = checker.Run(program, logs, "second-of-two").wait_exit_and_cpu(SECOND_START_SECONDS)
    print("second start: exit %d after %.1f s, %.2f s of processor time" % (
        code, time.monotonic() - began, cpu))
    assert code == 0
    shown(first, tool)
    assert tool.minimise(30)
    code, cpu = checker.Run(program, logs, "third").wait_exit_and_cpu(SECOND_START_SECONDS)
    assert code == 0
    first.watch("the first window restored", lambda: minimised(tool) is False, 30)
    assert tool.main_window(0)["foreground"] == "1"
    first.key("Escape")
    assert first.wait_exit(EXIT_SECONDS) == 0


def test_at_thousands_of_frames_a_second_minimised_runs_none_and_escape_ends_at_once(start,
                                                                                    tool):
    run = start("no-op-driver", env=NO_OP_DRIVER)
    shown(run, tool)
    restored = cpu_seconds_over(run, SPAN_SECONDS)
    assert tool.minimise(MINIMISE_SECONDS)
    minimised = cpu_seconds_over(run, SPAN_SECONDS)
    assert tool.restore(MINIMISE_SECONDS)
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
