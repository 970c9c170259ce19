#pragma once

#include "common/check_state.h"
#include "scene/adapter_line.h"

// The rows' texts of a machine as the overlay and the report tests see it.
inline CheckState SampleState() {
    CheckState state;
    state.fpsCounter.fps = 59.94f;
    state.cpuScore = 123.4567f;
    state.cpuLine = L"CPU：Test";
    state.osLine = L"Windows 10";
    state.memoryLine = L"内存: 8G";
    BuildAdapterLine(state.adapterLine, L"Test GPU");
    return state;
}
