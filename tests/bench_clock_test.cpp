// Timing against a scripted performance counter linked in place of the real
// clocks: exact times, and counter failures a real machine won't show.
#include "bench/suite.h"
#include "common/check_state.h"
#include "common/clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct FakeClock {
    int64_t frequency = 1000;
    int64_t counter = 0;
    int64_t advanceAfterRead[4] = {};  // taken in turn after each read
    int counterReads = 0;
    int frequencyQueries = 0;
};

FakeClock fakeClock;
int workloadCalls = 0;
int64_t workloadTicks = 250;

double TickingWorkload() {
    ++workloadCalls;
    fakeClock.counter += workloadTicks;
    return 0.25;
}

class ScriptedClock : public ::testing::Test {
protected:
    void SetUp() override {
        fakeClock = FakeClock{};
        workloadCalls = 0;
        workloadTicks = 250;
        reciprocalFrequency = 0.0;
        benchmarkSink = 0.0f;
        checkState = CheckState{};
    }
};

}  // namespace

uint32_t TickMilliseconds() { return 0; }

int64_t PerformanceCounter() {
    int64_t value = fakeClock.counter;
    fakeClock.counter += fakeClock.advanceAfterRead[fakeClock.counterReads++ % 4];
    return value;
}

int64_t PerformanceFrequency() {
    ++fakeClock.frequencyQueries;
    return fakeClock.frequency;
}

TEST_F(ScriptedClock, TimesOneRunForRunsBelow1OrNotAnInteger) {
    for (float runs : {1.0f, 1.9f, 0.5f, 0.0f, -3.0f, NAN, INFINITY, -INFINITY, 3e9f}) {
        workloadCalls = 0;
        TimingResult result = TimeBenchmark(runs, TickingWorkload);
        EXPECT_EQ(workloadCalls, 1) << runs;
        EXPECT_EQ(result.totalSeconds, 0.25f) << runs;
        EXPECT_EQ(result.secondsPerRun, 0.25f) << runs;
    }
}

TEST_F(ScriptedClock, TruncatesRunsAndTimesOnlyTheWorkloadAndTheSink) {
    // Reads cost a tick each outside the workload; none may be counted.
    fakeClock.advanceAfterRead[1] = fakeClock.advanceAfterRead[3] = 1;
    TimingResult twoRuns = TimeBenchmark(2.9f, TickingWorkload);
    EXPECT_EQ(workloadCalls, 2);
    EXPECT_EQ(fakeClock.counterReads, 4);
    EXPECT_EQ(twoRuns.totalSeconds, 0.5f);
    EXPECT_EQ(twoRuns.secondsPerRun, 0.25f);
    EXPECT_EQ(benchmarkSink, 0.5f);

    // Divided by the whole number of runs, not by runs itself.
    reciprocalFrequency = 0x1p-10;
    workloadTicks = 1;
    TimingResult threeRuns = TimeBenchmark(3.7f, TickingWorkload);
    EXPECT_EQ(threeRuns.totalSeconds, 0x3p-10f);
    EXPECT_EQ(threeRuns.secondsPerRun, 0x1p-10f);
}

TEST_F(ScriptedClock, ResolvesTimestampsTo2ToTheMinus28SecondsAndAsksTheFrequencyOnce) {
    // Against the 2^24 s in every timestamp, one tick at 1 GHz vanishes and
    // two round to one step.
    fakeClock.frequency = 1000000000;
    workloadTicks = 1;
    EXPECT_EQ(TimeBenchmark(1.0f, TickingWorkload).totalSeconds, 0.0f);
    workloadTicks = 2;
    EXPECT_EQ(TimeBenchmark(1.0f, TickingWorkload).totalSeconds, 0x1p-28f);
    BenchmarkSuite suite;
    RunBenchmarks(suite);
    EXPECT_EQ(reciprocalFrequency, 1e-9);
    EXPECT_EQ(fakeClock.frequencyQueries, 1);
}

TEST_F(ScriptedClock, StoresTheScoreOfTheMeasuredTimes) {
    // 3000 ticks at 100 kHz around RayIntersect, 4000 around Fractal.
    fakeClock.frequency = 100000;
    fakeClock.advanceAfterRead[0] = 3000;
    fakeClock.advanceAfterRead[2] = 4000;
    MeasureCpuScore();
    EXPECT_NEAR(checkState.cpuScore, 77.047f, 5e-4f);
}

TEST_F(ScriptedClock, ScoresZeroWhenTheCounterReportsNoFrequency) {
    // No reciprocal is formed, every timestamp is the bare offset and every
    // time 0: the score is 0 and fails the rule instead of passing as inf.
    for (int64_t frequency : {int64_t{0}, int64_t{-1000}}) {
        SetUp();
        fakeClock.frequency = frequency;
        fakeClock.advanceAfterRead[0] = 3000;
        fakeClock.advanceAfterRead[2] = 4000;
        BenchmarkSuite suite;
        RunBenchmarks(suite);
        EXPECT_EQ(reciprocalFrequency, 0.0);
        EXPECT_EQ(suite.slots[0].secondsPerRun, 0.0f);
        EXPECT_EQ(suite.slots[1].secondsPerRun, 0.0f);
        // Still unknown, so asked again before each of the four reads.
        EXPECT_EQ(fakeClock.frequencyQueries, 5);
        MeasureCpuScore();
        EXPECT_EQ(checkState.cpuScore, 0.0f);
    }
}

TEST_F(ScriptedClock, ScoresZeroWhenTheCounterStandsStillOrRunsBackwards) {
    workloadTicks = 0;
    BenchmarkSuite suite;
    RunBenchmarks(suite);
    EXPECT_EQ(suite.slots[0].secondsPerRun, 0.0f);
    EXPECT_EQ(ComputeCpuScore(suite), 0.0f);

    fakeClock.advanceAfterRead[0] = -30;
    fakeClock.advanceAfterRead[2] = 40;
    RunBenchmarks(suite);
    EXPECT_EQ(suite.slots[0].secondsPerRun, -0.03f);
    EXPECT_EQ(suite.slots[1].secondsPerRun, 0.04f);
    EXPECT_EQ(ComputeCpuScore(suite), 0.0f);
}
