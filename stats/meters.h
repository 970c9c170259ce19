#pragma once

#include "common/check_state.h"

#include <cstdint>

// The per-second frame rate on checkState.fpsCounter, read from the tick.
void TickFpsCounter();

// The mean of the last six per-second rates on checkState.fpsMovingAverage;
// 0 while fewer than six are held.
float UpdateFpsMovingAverage();

// The same steps at a given time in seconds (tick x 0.001, single precision).
// A time earlier than the last reading (the tick wrapped after 49.7 days)
// starts a new second from that moment instead of freezing the meter.
void TickFpsCounterAt(FpsCounter& counter, float nowSeconds);
float UpdateFpsMovingAverageAt(FpsMovingAverage& average, float nowSeconds);

// The moving average as it stands, without counting a frame: the mean of
// the six readings held, 0 while fewer are held.
float MovingAverageOf(const FpsMovingAverage& average);

// Both frame-rate meters start a new second at nowSeconds, as after a wrapped
// tick: the frames counted since their last readings are dropped, the
// readings and the moving average's window stay.
void RestartFrameRateSeconds(CheckState& state, float nowSeconds);

// Milliseconds between two performance-counter readings; 0 for a frequency
// that is not positive.
double FrameMilliseconds(int64_t start, int64_t end, int64_t frequency);

// Adds one timed frame to the current batch, closes the batch on its 3001st
// frame, and once five batch sums exist recomputes their weighted average,
// clearing canRunGame when it exceeds 1000 ms.
void AddTimedFrame(FrameBatchAverage& batch, double frameMilliseconds, bool& canRunGame);

// A machine without a working Direct3D 9 device cannot run the game: no
// frame will be measured, and the verdict is negative at once.
void RecordMissingDevice(CheckState& state);
