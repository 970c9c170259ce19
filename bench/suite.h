#pragma once

// The CPU score: the two workloads timed once each with the performance
// counter and weighed against the reference machine's times (100 = as fast
// as the reference, larger is faster).

struct BenchmarkRecord {
    const char* name = nullptr;
    float totalSeconds = -1.0f;
    float secondsPerRun = -1.0f;
    float referenceSeconds = -1.0f;
    const char* unit = nullptr;
    float target = 0.0f;
    float weight = 1.0f;
};

// Slot 0 holds "RayIntersect", slot 1 "Fractal"; the other five are room for
// workloads timed later, and the score reads only the two.
constexpr int benchmarkSlotCount = 7;
struct BenchmarkSuite {
    BenchmarkRecord slots[benchmarkSlotCount];
};

struct TimingResult {
    float totalSeconds;
    float secondsPerRun;
};

using Workload = double (*)();

// Seconds per counter tick; 0.0 while the frequency is unknown. A counter
// that reports no positive frequency leaves it at 0.0, so every timestamp
// reads the same and every measured time is 0.
extern double reciprocalFrequency;
// Running sum of every workload result, so that no run can be optimised away.
extern float benchmarkSink;

// runs is truncated to a whole number of runs; below 1, not a number or
// beyond a 32-bit integer, one run.
TimingResult TimeBenchmark(float runs, Workload workload);

// Defines and times slots 0 and 1; the other slots are left alone.
void RunBenchmarks(BenchmarkSuite& suite);

// The weighted score of slots 0 and 1. A measured time that is not a
// positive finite number, or a score that is not finite, gives 0: a
// broken measurement must fail the score rule, never pass it.
float ComputeCpuScore(const BenchmarkSuite& suite);

// Start-up step: time both workloads and store the score in checkState.
void MeasureCpuScore();
