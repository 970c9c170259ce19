#include "bench/suite.h"

#include "bench/workloads.h"
#include "common/check_state.h"
#include "platform/clock.h"

#include <cmath>

namespace {

// 2^24 s added to every timestamp: cancels in a difference and fixes the
// resolution of a timestamp at 2^-28 s.
constexpr double timestampOffset = 16777216.0;
constexpr float timedTarget = 90.0f;
constexpr float singleRun = 1.0f;
// Every 32-bit value below this converts; from here on, runs does not.
constexpr float firstUnconvertibleRuns = 2147483648.0f;
constexpr const char* secondsPerRunUnit = "s/Run";

struct BenchmarkEntry {
    const char* name;
    float referenceSeconds;
    float weight;
    Workload workload;
};

const BenchmarkEntry benchmarkEntries[] = {
    {"RayIntersect", 0.02561f, 1.0f, RayIntersect},
    {"Fractal", 0.0286f, 1.5f, Fractal},
};

void LearnFrequency() {
    if (reciprocalFrequency != 0.0) return;
    int64_t frequency = PerformanceFrequency();
    if (frequency > 0) reciprocalFrequency = 1.0 / static_cast<double>(frequency);
}

// A timestamp is read as the bare counter and converted once the timed
// interval is over, so the interval holds the workload and little else.
int64_t ReadCounter() {
    LearnFrequency();
    return PerformanceCounter();
}

double Timestamp(int64_t counter) {
    return static_cast<double>(counter) * reciprocalFrequency + timestampOffset;
}

int32_t RunCount(float runs) {
    if (!(runs >= singleRun) || runs >= firstUnconvertibleRuns) return 1;
    return static_cast<int32_t>(runs);
}

bool IsMeasuredTime(float seconds) { return seconds > 0.0f && std::isfinite(seconds); }

void DefineAndTime(BenchmarkRecord& record, const BenchmarkEntry& entry) {
    record = BenchmarkRecord{entry.name, -1.0f, -1.0f, entry.referenceSeconds, secondsPerRunUnit,
                             0.0f, entry.weight};
    TimingResult timing = TimeBenchmark(singleRun, entry.workload);
    record.totalSeconds = timing.totalSeconds;
    record.secondsPerRun = timing.secondsPerRun;
    record.target = timedTarget;
}

float ScoreTerm(const BenchmarkRecord& record, float fraction) {
    return ((record.referenceSeconds * 100.0f) / record.secondsPerRun) * fraction;
}

}  // namespace

double reciprocalFrequency = 0.0;
float benchmarkSink = 0.0f;

TimingResult TimeBenchmark(float runs, Workload workload) {
    int32_t count = RunCount(runs);
    float total = 0.0f;
    for (int32_t run = 0; run < count; ++run) {
        int64_t start = ReadCounter();
        benchmarkSink = static_cast<float>(workload() + static_cast<double>(benchmarkSink));
        int64_t end = ReadCounter();
        double elapsed = Timestamp(end) - Timestamp(start);
        total = static_cast<float>(elapsed + static_cast<double>(total));
    }
    float perRun = static_cast<float>(static_cast<double>(total) / count);
    return {total, perRun};
}

void RunBenchmarks(BenchmarkSuite& suite) {
    LearnFrequency();
    DefineAndTime(suite.slots[0], benchmarkEntries[0]);
    DefineAndTime(suite.slots[1], benchmarkEntries[1]);
}

float ComputeCpuScore(const BenchmarkSuite& suite) {
    const BenchmarkRecord& ray = suite.slots[0];
    const BenchmarkRecord& fractal = suite.slots[1];
    if (!IsMeasuredTime(ray.secondsPerRun) || !IsMeasuredTime(fractal.secondsPerRun)) return 0.0f;

    float weightSum = ray.weight + fractal.weight;
    float rayFraction = 0.0f;
    float fractalFraction = 0.0f;
    if (weightSum > 0.0f) {
        rayFraction = ray.weight / weightSum;
        fractalFraction = fractal.weight / weightSum;
    }
    float score = ScoreTerm(fractal, fractalFraction) + ScoreTerm(ray, rayFraction);
    return std::isfinite(score) ? score : 0.0f;
}

void MeasureCpuScore() {
    BenchmarkSuite suite;
    RunBenchmarks(suite);
    checkState.cpuScore = ComputeCpuScore(suite);
}
