#pragma once

#include "common/check_state.h"

#include <cstdint>

// How far the check is, as the window's taskbar button shows it: the share
// of the 5 x 3001 timed frames done while measuring; once the verdict
// shows, full, marked as an error when the machine cannot run the game.
struct TaskbarProgress {
    uint64_t done;
    uint64_t total;
    bool error;
};

TaskbarProgress TaskbarProgressOf(const CheckState& state, float movingAverage);

bool operator==(const TaskbarProgress& a, const TaskbarProgress& b);
