#pragma once

#include <cstddef>
#include <cstdint>

// The newest value sits at the back; pushing onto a full queue drops the
// oldest. Fixed storage, so a frame never allocates.
template <typename T, std::size_t Capacity>
struct BoundedQueue {
    T items[Capacity] = {};
    std::size_t first = 0;
    std::size_t count = 0;

    std::size_t size() const { return count; }
    const T& operator[](std::size_t i) const { return items[(first + i) % Capacity]; }
    T& operator[](std::size_t i) { return items[(first + i) % Capacity]; }
    void push_back(T value) {
        if (count == Capacity) pop_front();
        items[(first + count) % Capacity] = value;
        ++count;
    }
    void pop_front() {
        if (count == 0) return;
        first = (first + 1) % Capacity;
        --count;
    }
};

struct FpsCounter {
    int32_t frames = 0;
    float nowSeconds = 0.0f;
    float lastSeconds = 0.0f;
    float fps = 0.0f;
};

// The per-second readings the moving average holds, and its value while
// it holds fewer.
constexpr std::size_t movingAverageReadings = 6;
constexpr float noMovingAverage = 0.0f;

// Counts frames as FpsCounter does, on a counter of its own.
struct FpsMovingAverage {
    FpsCounter counter;
    uint32_t readings = 0;
    BoundedQueue<float, movingAverageReadings> window;
};

// The slowest timed frame of a batch, and the performance counter at its end.
struct SlowFrame {
    double milliseconds = 0.0;
    int64_t counter = 0;
};

// Batches of 3001 timed frames; five are held, and the average weighs the
// newest four of them (the oldest has no weight).
constexpr int32_t framesPerBatch = 3001;
constexpr std::size_t averagedBatches = 5;

struct FrameBatchAverage {
    int32_t frames = 0;
    double batchMilliseconds = 0.0;
    BoundedQueue<double, averagedBatches> batches;
    double average = 0.0;
    // Beside each batch sum, the slowest frame of that batch.
    SlowFrame slowest;
    BoundedQueue<SlowFrame, averagedBatches> slowestOfBatches;
};


// The frame meters, each fed the time in seconds as the tick
// gives it (tick x 0.001, single precision). frame/frame.h decides when
// each is fed. A time earlier than the meter's last reading (the tick
// wrapped after 49.7 days) starts a new second from that moment instead of
// freezing the meter.

// Counts a frame; once more than a second has passed since the last
// reading, fps becomes the frames of that stretch over its length.
void TickFpsCounterAt(FpsCounter& counter, float nowSeconds);

// The same count on the moving average's own counter; each reading from the
// third on enters the window of the last six. Returns the moving average.
float UpdateFpsMovingAverageAt(FpsMovingAverage& average, float nowSeconds);

// The moving average as it stands, without counting a frame: the mean of
// the six readings held, noMovingAverage while fewer are held.
float MovingAverageOf(const FpsMovingAverage& average);

// Both frame-rate meters start a new second at nowSeconds, as after a wrapped
// tick: the frames counted since their last readings are dropped, the
// readings and the moving average's window stay.
void RestartFrameRateSeconds(FpsCounter& counter, FpsMovingAverage& average, float nowSeconds);

// Seconds between two performance-counter readings; 0 for a frequency that
// is not positive.
double CounterSeconds(int64_t start, int64_t end, int64_t frequency);

// The same in milliseconds.
double FrameMilliseconds(int64_t start, int64_t end, int64_t frequency);

// Adds one timed frame, which ended at endCounter, to the current batch
// (keeping the batch's slowest frame), closes the batch on its 3001st frame,
// and once five batch sums exist recomputes their weighted average.
void AddTimedFrame(FrameBatchAverage& batch, double frameMilliseconds, int64_t endCounter);

// The slowest frame of the batches the average weighs (the oldest batch left
// out, as the average leaves it out), and the average had that frame taken
// no time: what the average owes to it. No frame and the average as it is
// while fewer than two batches are held.
struct SlowestBehindAverage {
    SlowFrame frame;
    double averageWithout;
};
SlowestBehindAverage SlowestBehind(const FrameBatchAverage& batch);

// The timed frames of the batches held and of the current one: 5 x 3001 and
// more once the average is computed.
int32_t TimedFramesSoFar(const FrameBatchAverage& batch);
