"""The program left running for minutes: its resident memory stays flat after
the first minute, it keeps running frames and Escape then ends it with 0.
--fast: under Mesa's no-op driver, where Wine's d3d9 itself grows by the frame."""
import time

import psutil
import pytest

SAMPLE_SECONDS, SETTLE_SECONDS, STARTUP_SECONDS, EXIT_SECONDS = 20, 60, 300, 120
GROWTH_KIB = 16384
# Of each sample: running frames keeps a core busy, and a machine loaded by
# other work still gives it more than this; an idle program takes next to none.
BUSY_SHARE = 0.1


@pytest.mark.long
def test_memory_stays_flat_frames_keep_running_and_escape_ends_with_zero(start, request):
    if request.config.getoption("--fast"):
        request.getfixturevalue("no_op_driver")
    run = start("long-run")
    run.find_x_window(STARTUP_SECONDS)
    began = time.monotonic()
    resident = []
    while time.monotonic() - began < request.config.getoption("--minutes") * 60:
        cpu = run.cpu_seconds()
        time.sleep(SAMPLE_SECONDS)
        assert run.alive(), "the program ended by itself"
        used = run.cpu_seconds() - cpu
        kib = psutil.Process(run.process.pid).memory_info().rss // 1024
        print("%6.0f s  resident %d KiB  processor %.1f s" % (time.monotonic() - began, kib, used))
        assert used >= BUSY_SHARE * SAMPLE_SECONDS, "no frames in a sample"
        if time.monotonic() - began >= SETTLE_SECONDS:
            resident.append(kib)
    assert resident, "no sample after the first minute"
    assert max(resident) - resident[0] <= GROWTH_KIB
    run.key("Escape")
    assert run.wait_exit(EXIT_SECONDS) == 0
