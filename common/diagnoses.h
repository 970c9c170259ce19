#pragma once

#include "common/check_state.h"

#include <cstddef>
#include <cstdint>

// The usual reasons a machine that could run the game reads "cannot run"
// here, each decided from figures the program has or reads once.

enum class Diagnosis : uint8_t {
    Stall,          // a frame of 100 ms or more, without which the frame rule would have passed
    FrameRateCap,   // vertical sync or a frame limiter holds the frame rate
    BusyProcessor,  // the score failed, other processes taking a third of the processor
    OnBattery,      // the score or the frame rule failed, the machine on battery
    RemoteSession,  // no device, in a remote desktop session
    NoDevice,
    SceneObjects,   // a device, but the scene's objects could not be made on it
};
constexpr std::size_t diagnosisCount = 7;

struct Diagnoses {
    Diagnosis items[diagnosisCount];
    std::size_t count = 0;
};

// Those that apply, in Diagnosis's order.
Diagnoses Diagnose(const CheckState& state);

// The rate the frame-rate readings are held at: the refresh rate, its half
// or its third, the first of them within 3 % of which at least four of the
// six readings behind the moving average lie. 0 when there is none, while
// fewer than six readings are held, or when the refresh rate is unknown.
float CappedFrameRate(const FpsMovingAverage& average, float refreshRate);

// The processor times of the machine and of this process at one moment, in
// 100 ns units: the machine's kernel time includes its idle time, as
// GetSystemTimes gives it.
struct ProcessorTimes {
    uint64_t idle = 0;
    uint64_t kernel = 0;
    uint64_t user = 0;
    uint64_t process = 0;  // this process's kernel and user time
};

// What other processes used between two readings, and all there was.
ProcessorUse OthersUse(const ProcessorTimes& before, const ProcessorTimes& after);

// Others' share in whole percent, rounded to nearest; 0 without time.
uint32_t OthersPercent(const ProcessorUse& use);
