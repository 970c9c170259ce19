// The CPU timing against a scripted performance counter linked in place of
// the real clocks: exact times, and counter failures a real machine won't
// show.
#include "bench/suite.h"
#include "bench/workloads.h"
#include "common/check_state.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct FakeClock {
    uint32_t tick = 0;
    int64_t frequency = 1000;
    int64_t counter = 0;
    int64_t workloadTicks = 250;
    int64_t advanceAfterRead[4] = {};  // taken in turn after each read
    int counterReads = 0;
    int frequencyQueries = 0;
    int workloadCalls = 0;
};
FakeClock fake;

double TickingWorkload() {
    ++fake.workloadCalls;
    fake.counter += fake.workloadTicks;
    return 0.25;
}

class ScriptedClock : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakeClock{};
        reciprocalFrequency = 0.0;
        benchmarkSink = 0.0f;
        checkState = CheckState{};
    }
};

}  // namespace

uint32_t TickMilliseconds() { return fake.tick; }
int64_t PerformanceCounter() {
    int64_t value = fake.counter;
    fake.counter += fake.advanceAfterRead[fake.counterReads++ % 4];
    return value;
}
int64_t PerformanceFrequency() {
    ++fake.frequencyQueries;
    return fake.frequency;
}

// Runs below one, or that are no number, make one run; 2.9 makes two.
TEST_F(ScriptedClock, TimesWholeRunsOfTheWorkloadAndItsSinkOnlyTo2ToTheMinus28Seconds) {
    const struct {
        float runs;
        int64_t frequency, workloadTicks, readCost;
        int calls;
        float total, perRun;
    } cases[] = {
        {1.9f, 1000, 250, 0, 1, 0.25f, 0.25f}, {0.0f, 1000, 250, 0, 1, 0.25f, 0.25f},
        {NAN, 1000, 250, 0, 1, 0.25f, 0.25f}, {-INFINITY, 1000, 250, 0, 1, 0.25f, 0.25f},
        {3e9f, 1000, 250, 0, 1, 0.25f, 0.25f},
        {2.9f, 1000, 250, 1, 2, 0.5f, 0.25f},        // a read costs a tick, outside the workload
        {3.7f, 1024, 1, 0, 3, 0x3p-10f, 0x1p-10f},  // divided by the whole runs, not by runs
        // Against the 2^24 s in every timestamp one tick at 1 GHz vanishes, two make one step.
        {1.0f, 1000000000, 1, 0, 1, 0.0f, 0.0f}, {1.0f, 1000000000, 2, 0, 1, 0x1p-28f, 0x1p-28f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.runs << " runs at " << c.frequency);
        SetUp();
        fake.frequency = c.frequency;
        fake.workloadTicks = c.workloadTicks;
        fake.advanceAfterRead[1] = c.readCost;
        fake.advanceAfterRead[3] = c.readCost;
        TimingResult timing = TimeBenchmark(c.runs, TickingWorkload);
        EXPECT_EQ(fake.workloadCalls, c.calls);
        EXPECT_EQ(timing.totalSeconds, c.total);
        EXPECT_EQ(timing.secondsPerRun, c.perRun);
        EXPECT_EQ(benchmarkSink, 0.25f * c.calls);
    }
}

// Ticks around RayIntersect and around Fractal; a counter that is broken
// scores 0, which fails the CPU-score rule, never infinity or no number.
TEST_F(ScriptedClock, ScoresTheMeasuredTimesAndZeroForABrokenCounter) {
    const struct { int64_t frequency, ray, fractal; float score; int queries; } cases[] = {
        {100000, 3000, 4000, 0x1.342fc8p+6f, 1},  // 0.03 s and 0.04 s: about 77.047
        {0, 3000, 4000, 0.0f, 5},  // no reciprocal: asked again before each read
        {-1000, 3000, 4000, 0.0f, 5},
        {100000, 0, 0, 0.0f, 1},   // standing still
        {1000, -30, 40, 0.0f, 1},  // running backwards
    };
    for (const auto& c : cases) {
        SetUp();
        fake.frequency = c.frequency;
        fake.advanceAfterRead[0] = c.ray;
        fake.advanceAfterRead[2] = c.fractal;
        MeasureCpuScore();
        EXPECT_EQ(checkState.cpuScore, c.score) << c.frequency << " " << c.ray;
        EXPECT_EQ(fake.frequencyQueries, c.queries) << c.frequency;
    }
}

// As unsigned, times 0.001f in single precision.
TEST(TickSeconds, TakeTheTickAsUnsignedTimesAThousandthInSinglePrecision) {
    const std::pair<uint32_t, float> ticks[] = {{1000, 1.0f}, {1500, 1.50000012f},
        {0xFFFFFFFFu, 4294967296.0f * 0.001f}, {0x80000000u, 2147483648.0f * 0.001f}};
    for (auto [tick, seconds] : ticks) EXPECT_EQ(TickToSeconds(tick), seconds) << tick;
}
