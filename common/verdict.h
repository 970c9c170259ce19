#pragma once

#include "common/check_state.h"

#include <cstdint>

// The verdict, all in one place. checkState.canRunGame starts true and each
// failed rule clears it for good; nothing sets it again. Four rules are
// applied once at start-up by the probe, the frame-time rule on every timed
// frame, and a machine without a Direct3D 9 device fails at once.

// The processor's maximum clock, the leading number of its text taken as a
// signed 32-bit value, fails below 1600 MHz compared as unsigned: a
// negative number is a very large clock and passes.
bool ClockFails(int32_t maxClockMegahertz);

// Below 80 fails; a score that is not a number passes.
bool CpuScoreFails(float cpuScore);

// 6.1 (Windows 7) and below fail; 6.2, 6.3 and 10.0 pass.
bool OsVersionFails(bool versionAbove61);

// Below 3.8 gigabytes (single precision) fails: 3,984,588 kB and less.
bool MemoryFails(float gigabytes);

// A weighted average of the 3001-frame batches above 1000 ms fails: five
// equal batches of more than about 1246 ms, about 2400 frames a second.
bool FrameTimeFails(double batchAverageMilliseconds);

void ApplyRule(CheckState& state, bool failed);

// No Direct3D 9 device (InitDirect3D found none): no frame will be
// measured, and the verdict is negative at once.
void RecordMissingDevice(CheckState& state);

enum class Status : uint8_t {
    Measuring,  // "系统检测中请不要关闭!"
    CanRun,     // "您的机器可以正常运行游戏"
    CannotRun,  // "您的机器不能正常运行游戏"
};

// The status row: measuring until the batch average and the moving average
// both reach 1, then the verdict; without a device the negative verdict at
// once.
Status ChooseStatus(const CheckState& state, float movingAverage);
