#include "stats/meters.h"

namespace {

constexpr float secondLength = 1.0f;
// The near-zero first reading and the first full second are not averaged.
constexpr uint32_t unstoredReadings = 2;
constexpr double millisecondsPerSecond = 1000.0;

// Drops the frames counted since the last reading; the next reading spans
// the time from nowSeconds.
void StartNewSecond(FpsCounter& meter, float nowSeconds) {
    meter.nowSeconds = nowSeconds;
    meter.lastSeconds = nowSeconds;
    meter.frames = 0;
}

// Counts a frame; true when it closes a second and refreshes the meter's fps.
bool CountFrame(FpsCounter& meter, float nowSeconds) {
    meter.frames += 1;
    meter.nowSeconds = nowSeconds;
    if (meter.nowSeconds < meter.lastSeconds) {
        StartNewSecond(meter, nowSeconds);
        return false;
    }
    float elapsed = meter.nowSeconds - meter.lastSeconds;
    if (!(elapsed > secondLength)) return false;
    meter.fps = static_cast<float>(meter.frames) / elapsed;
    meter.lastSeconds = meter.nowSeconds;
    meter.frames = 0;
    return true;
}

template <typename Queue>
double WeightedAverage(const Queue& sums) {
    std::size_t n = sums.size();
    double alpha = 2.0f / static_cast<float>(n + 1);
    double weight = 1.0;
    double sum = 0.0;
    // The newest sum first; the oldest one is not included.
    for (std::size_t i = n - 1; i >= 1; --i) {
        sum += weight * alpha * sums[i];
        weight *= 1.0 - alpha;
    }
    return sum;
}

}  // namespace

void TickFpsCounterAt(FpsCounter& counter, float nowSeconds) { CountFrame(counter, nowSeconds); }

float UpdateFpsMovingAverageAt(FpsMovingAverage& average, float nowSeconds) {
    if (CountFrame(average.counter, nowSeconds)) {
        if (average.window.size() >= movingAverageReadings) average.window.pop_front();
        if (average.readings >= unstoredReadings) average.window.push_back(average.counter.fps);
        average.readings += 1;
    }
    return MovingAverageOf(average);
}

float MovingAverageOf(const FpsMovingAverage& average) {
    std::size_t held = average.window.size();
    if (held < movingAverageReadings) return noMovingAverage;
    float sum = 0.0f;
    for (std::size_t i = 0; i < held; ++i) sum += average.window[i];
    return sum / static_cast<float>(held);
}

void RestartFrameRateSeconds(FpsCounter& counter, FpsMovingAverage& average, float nowSeconds) {
    StartNewSecond(counter, nowSeconds);
    StartNewSecond(average.counter, nowSeconds);
}

double CounterSeconds(int64_t start, int64_t end, int64_t frequency) {
    if (frequency <= 0) return 0.0;
    return static_cast<double>(end - start) / static_cast<double>(frequency);
}

double FrameMilliseconds(int64_t start, int64_t end, int64_t frequency) {
    return CounterSeconds(start, end, frequency) * millisecondsPerSecond;
}

void AddTimedFrame(FrameBatchAverage& batch, double frameMilliseconds, int64_t endCounter) {
    batch.frames += 1;
    batch.batchMilliseconds += frameMilliseconds;
    if (frameMilliseconds > batch.slowest.milliseconds) batch.slowest = {frameMilliseconds, endCounter};
    if (batch.frames >= framesPerBatch) {
        batch.batches.push_back(batch.batchMilliseconds);  // drops the oldest of five
        batch.slowestOfBatches.push_back(batch.slowest);
        batch.frames = 0;
        batch.batchMilliseconds = 0.0;
        batch.slowest = SlowFrame{};
    }
    if (batch.batches.size() < averagedBatches) return;
    batch.average = WeightedAverage(batch.batches);
}

SlowestBehindAverage SlowestBehind(const FrameBatchAverage& batch) {
    SlowestBehindAverage found{{}, batch.average};
    std::size_t at = 0;
    for (std::size_t i = 1; i < batch.slowestOfBatches.size(); ++i) {
        if (batch.slowestOfBatches[i].milliseconds > found.frame.milliseconds) {
            found.frame = batch.slowestOfBatches[i];
            at = i;
        }
    }
    if (at == 0) return found;
    auto sums = batch.batches;
    sums[at] -= found.frame.milliseconds;
    found.averageWithout = WeightedAverage(sums);
    return found;
}

int32_t TimedFramesSoFar(const FrameBatchAverage& batch) {
    return static_cast<int32_t>(batch.batches.size()) * framesPerBatch + batch.frames;
}

