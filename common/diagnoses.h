#pragma once

#include "common/check_state.h"

#include <cstddef>
#include <cstdint>

// The usual reasons a machine that could run the game reads "cannot run"
// here, each decided from figures the program has or reads once.

enum class Diagnosis : uint8_t {
    RemoteSession,     // no device, in a remote desktop session
    NoDevice,
    SceneObjects,      // a device, but the scene's objects could not be made on it
    NoGraphicsDriver,  // measured on Windows' basic driver or in software, or a card without its driver
    VirtualMachine,    // measured on a virtual machine's emulated graphics
    CardStopped,       // Windows has stopped a video controller
    AnotherGpu,        // a working graphics card that is not the adapter measured
    Stall,             // a frame of 100 ms or more, without which the frame rule would have passed
    FrameRateCap,      // vertical sync or a frame limiter holds the frame rate
    BusyWhileTimed,    // the frame rule failed, other processes taking a third of the processor
    BusyProcessor,     // the score failed, other processes taking a third of the processor
    OnBattery,         // the score or the frame rule failed, the machine on battery
    WmiUnanswered,     // WMI did not answer in time for the clock or the memory
    WmiNoValue,        // WMI answered, but gave no clock or memory
    OldWindows,        // the operating-system rule failed
    LittleMemory,      // the memory rule failed on a figure read
    SlowProcessor,     // the clock rule failed on a figure read
};
constexpr std::size_t diagnosisCount = 17;

struct Diagnoses {
    Diagnosis items[diagnosisCount];
    std::size_t count = 0;
};

// Those that apply, in Diagnosis's order.
Diagnoses Diagnose(const CheckState& state);

// The controllers a graphics diagnosis names, null where there is none: the
// first that Windows has stopped, the first working graphics card whose ids
// are not the measured adapter's (a processor's Intel graphics beside a
// measured NVIDIA or AMD card is not one: it is the slower of the two), and
// the first that WMI names Windows' basic display adapter while its PCI
// vendor makes graphics cards (a card run without its driver).
const VideoController* StoppedController(const GraphicsSide& graphics);
const VideoController* UnmeasuredCard(const GraphicsSide& graphics);
const VideoController* DriverlessCard(const GraphicsSide& graphics);

// The rate the frame-rate readings are held at: the refresh rate, its half
// or its third, the first of them within 3 % of which at least four of the
// six readings behind the moving average lie. 0 when there is none, while
// fewer than six readings are held, or when the refresh rate is unknown.
float CappedFrameRate(const FpsMovingAverage& average, float refreshRate);

// What other processes used between two readings, and all there was.
ProcessorUse OthersUse(const ProcessorTimes& before, const ProcessorTimes& after);

// Others' share in whole percent, rounded to nearest; 0 without time.
uint32_t OthersPercent(const ProcessorUse& use);
