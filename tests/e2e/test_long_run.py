"""The program left running for minutes (tests/e2e/run BUILD -m long): its
resident memory stays flat after the first minute, it keeps running frames,
and Escape then ends it with 0. With --fast it runs under Mesa's no-op
driver, millions of frames in ten minutes; the picture is empty there, so
a sample sees frames running by the program's processor time rising."""
import time

import pytest

from program import NO_OP_DRIVER
from screen import differing

SAMPLE_SECONDS, SETTLE_SECONDS, STARTUP_SECONDS, EXIT_SECONDS = 20, 60, 300, 120
# A program running frames keeps a core busy, and a machine loaded by other
# work still gives it more than this share of each sample; an idle one takes
# next to nothing.
BUSY_SHARE = 0.1


@pytest.mark.long
def test_memory_stays_flat_frames_keep_running_and_escape_ends_with_zero(start, request):
    option = request.config.getoption
    run = start("long-run", env=NO_OP_DRIVER if option("--fast") else None)
    run.find_x_window(STARTUP_SECONDS)
    centre = run.layout().centre(150)
    began = before = time.monotonic()
    shot, cpu = run.shot(), run.cpu_seconds()
    resident, still = [], 0
    while time.monotonic() - began < option("--minutes") * 60:
        time.sleep(SAMPLE_SECONDS)
        assert run.alive(), "the program ended by itself"
        now, later, used = time.monotonic(), run.shot(), run.cpu_seconds() - cpu
        running = (used >= BUSY_SHARE * (now - before) if option("--fast")
                   else differing(later, shot, centre) > 0)
        still += not running
        before, shot, cpu, kib = now, later, cpu + used, run.resident_kib()
        if now - began >= SETTLE_SECONDS:
            resident.append(kib)
        print("%6.0f s  resident %d KiB  processor %.1f s  %s" % (
            now - began, kib, used, "running" if running else "STILL"))
    assert still == 0, "samples with no frame since the one before"
    assert resident, "no sample after the first minute"
    print("resident after the first minute %d KiB, highest %d KiB" % (resident[0], max(resident)))
    assert max(resident) - resident[0] <= option("--growth-limit")
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
