// The timing and the frame meters against a scripted tick and performance
// counter linked in place of the real clocks: exact times, and counter
// failures a real machine won't show.
#include "bench/suite.h"
#include "bench/workloads.h"
#include "common/check_state.h"
#include "common/clock.h"
#include "stats/meters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

namespace {
struct FakeClock {
    uint32_t tick = 0;
    int64_t frequency = 1000, counter = 0, workloadTicks = 250;
    int64_t advanceAfterRead[4] = {};  // taken in turn after each read
    int counterReads = 0, frequencyQueries = 0, workloadCalls = 0;
} fake;

double TickingWorkload() {
    ++fake.workloadCalls, fake.counter += fake.workloadTicks;
    return 0.25;
}

class ScriptedClock : public ::testing::Test {
protected:
    void SetUp() override {
        std::tie(fake, reciprocalFrequency, benchmarkSink, checkState) = std::tuple(FakeClock{}, 0.0, 0.0f, CheckState{});
    }
};

// frames frames, of which only the last, at seconds, closes a reading.
float FramesThenReading(FpsMovingAverage& average, int frames, float seconds) {
    for (int i = 1; i < frames; ++i) UpdateFpsMovingAverageAt(average, average.lastSeconds);
    return UpdateFpsMovingAverageAt(average, seconds);
}

// Batches of 3001 frames, each summing to exactly its milliseconds.
void RunBatches(FrameBatchAverage& batch, std::initializer_list<double> sums, bool& canRunGame) {
    for (double sum : sums)
        for (int i = 0; i < 3001; ++i) AddTimedFrame(batch, i == 0 ? sum : 0.0, canRunGame);
}
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

TEST_F(ScriptedClock, TimesWholeRunsOfTheWorkloadAndItsSinkOnlyTo2ToTheMinus28Seconds) {
    const struct { float runs; int64_t frequency, workloadTicks, readCost; int calls; float total, perRun;
    } cases[] = {
        {1.0f, 1000, 250, 0, 1, 0.25f, 0.25f}, {1.9f, 1000, 250, 0, 1, 0.25f, 0.25f},
        {0.5f, 1000, 250, 0, 1, 0.25f, 0.25f}, {0.0f, 1000, 250, 0, 1, 0.25f, 0.25f},
        {-3.0f, 1000, 250, 0, 1, 0.25f, 0.25f}, {NAN, 1000, 250, 0, 1, 0.25f, 0.25f},
        {INFINITY, 1000, 250, 0, 1, 0.25f, 0.25f}, {-INFINITY, 1000, 250, 0, 1, 0.25f, 0.25f},
        {3e9f, 1000, 250, 0, 1, 0.25f, 0.25f},
        {2.9f, 1000, 250, 1, 2, 0.5f, 0.25f},  // a read costs a tick, outside the workload
        {3.7f, 1024, 1, 0, 3, 0x3p-10f, 0x1p-10f},  // divided by the whole runs, not by runs
        // Against the 2^24 s in every timestamp one tick at 1 GHz vanishes, two make one step.
        {1.0f, 1000000000, 1, 0, 1, 0.0f, 0.0f}, {1.0f, 1000000000, 2, 0, 1, 0x1p-28f, 0x1p-28f},
    };
    for (const auto& c : cases) {
        SetUp();
        std::tie(fake.frequency, fake.workloadTicks) = std::tuple(c.frequency, c.workloadTicks);
        fake.advanceAfterRead[1] = fake.advanceAfterRead[3] = c.readCost;
        TimingResult r = TimeBenchmark(c.runs, TickingWorkload);
        EXPECT_TRUE(fake.workloadCalls == c.calls && r.totalSeconds == c.total && r.secondsPerRun == c.perRun &&
                    benchmarkSink == 0.25f * c.calls && fake.frequencyQueries == 1)
            << c.runs << " " << c.frequency << ": " << r.totalSeconds << " " << r.secondsPerRun;
    }
}

TEST_F(ScriptedClock, DefinesTheTwoSlotsAndScoresTheirTimesZeroForABrokenCounter) {
    // Ticks around RayIntersect and around Fractal.
    const struct { int64_t frequency, ray, fractal; float score; int queries; } cases[] = {
        {100000, 3000, 4000, 0x1.342fc8p+6f, 1},
        {0, 3000, 4000, 0.0f, 5},  // no reciprocal: asked again before each read
        {-1000, 3000, 4000, 0.0f, 5},
        {100000, 0, 0, 0.0f, 1},   // standing still
        {1000, -30, 40, 0.0f, 1},  // running backwards
    };
    for (const auto& c : cases) {
        SetUp();
        std::tie(fake.frequency, fake.advanceAfterRead[0], fake.advanceAfterRead[2]) =
            std::tuple(c.frequency, c.ray, c.fractal);
        MeasureCpuScore();
        EXPECT_EQ(checkState.cpuScore, c.score) << c.frequency << " " << c.ray;
        EXPECT_EQ(fake.frequencyQueries, c.queries) << c.frequency;
    }
    // Both results went into the sink, the ray fraction first.
    EXPECT_EQ(benchmarkSink, static_cast<float>(Fractal() + static_cast<float>(RayIntersect())));
    BenchmarkSuite suite;
    suite.slots[0].weight = 7.0f;
    suite.slots[1].referenceSeconds = 9.0f;
    RunBenchmarks(suite);
    const std::tuple<std::string, float, float> defined[] = {{"RayIntersect", 0.02561f, 1.0f},
                                                             {"Fractal", 0.0286f, 1.5f}};
    for (int i = 0; i < 2; ++i) {
        const BenchmarkRecord& r = suite.slots[i];
        EXPECT_EQ(std::tuple(r.name, r.referenceSeconds, r.weight), defined[i]);
        EXPECT_TRUE(r.unit == std::string("s/Run") && r.target == 90.0f && r.totalSeconds == r.secondsPerRun &&
                    r.secondsPerRun != -1.0f);
    }
    for (int i = 2; i < benchmarkSlotCount; ++i) {
        const BenchmarkRecord& s = suite.slots[i];
        EXPECT_TRUE(!s.name && !s.unit && s.totalSeconds == -1.0f && s.secondsPerRun == -1.0f &&
                    s.referenceSeconds == -1.0f && s.target == 0.0f && s.weight == 1.0f) << i;
    }
}

TEST_F(ScriptedClock, FpsCounterReadsOnceMoreThanASecondHasPassedAndRestartsWhenTheTickWraps) {
    FpsCounter& counter = checkState.fpsCounter;
    const std::pair<int, float> frames[] = {{1, 10.0f}, {59, 10.5f}, {1, 11.0f}, {1, 11.25f}};
    const float fps[] = {0.1f, 0.1f, 0.1f, 61.0f / 1.25f};  // one second exactly is not yet
    for (int i = 0; i < 4; ++i) {  // the first frame spans the time since the origin
        for (int k = 0; k < frames[i].first; ++k) TickFpsCounterAt(counter, frames[i].second);
        EXPECT_EQ(counter.fps, fps[i]) << i;
    }
    // The tick in seconds: as unsigned, times 0.001f in single precision.
    const std::pair<uint32_t, float> ticks[] = {{1000, 1.0f}, {1500, 1.50000012f},
        {0xFFFFFFFFu, 4294967296.0f * 0.001f}, {0x80000000u, 2147483648.0f * 0.001f}};
    for (auto [tick, seconds] : ticks) EXPECT_EQ(TickToSeconds(tick), seconds) << tick;
    const std::pair<uint32_t, int> frames2[] = {{0xFFFFFFF0u, 1}, {200, 1}, {900, 29}, {1450, 1}};
    std::vector<float> shown;  // wrapped at 200 ms: a new second starts there
    for (auto [tick, count] : frames2) {
        for (fake.tick = tick; count > 0; --count) TickFpsCounter();
        shown.push_back(counter.fps);
    }
    EXPECT_TRUE(shown[1] == shown[0] && shown[2] == shown[0] && counter.lastSeconds == TickToSeconds(1450));
    EXPECT_EQ(shown[3], 30.0f / (TickToSeconds(1450) - 0.2f));
}

TEST_F(ScriptedClock, MovingAverageComesWithTheEighthReadingOverTheLastSix) {
    FpsMovingAverage& average = checkState.fpsMovingAverage;
    for (uint32_t reading = 1; reading <= 8; ++reading) {
        fake.tick = 1500 * reading;
        float value = 0.0f;
        for (int frame = 0; frame < 60; ++frame) value = UpdateFpsMovingAverage();
        EXPECT_EQ(value > 0.0f, reading == 8) << "reading " << reading;
    }
    // Wrapped: a new second from there, the readings kept.
    EXPECT_FLOAT_EQ(FramesThenReading(average, 2, 0.5f), 40.0f);
    EXPECT_TRUE(average.lastSeconds == 0.5f && average.readings == 8);
    EXPECT_FLOAT_EQ(FramesThenReading(average, 30, 2.0f), (40.0f * 5 + 20.0f) / 6.0f);
    FpsMovingAverage rising;
    FramesThenReading(rising, 1, 1000.0f);   // near zero, left out
    FramesThenReading(rising, 90, 1001.5f);  // the first full second, left out
    for (int reading = 3; reading <= 20; ++reading) {
        FramesThenReading(rising, 2 * reading, 1000.0f + 2.0f * reading);  // r per second
        ASSERT_EQ(rising.window.size(), std::min(reading - 2, 6)) << reading;
    }
    EXPECT_TRUE(rising.window[0] == 15.0f && rising.window[5] == 20.0f);
    EXPECT_EQ(UpdateFpsMovingAverageAt(rising, rising.lastSeconds), 17.5f);
    FpsMovingAverage even;  // six equal readings average to exactly that rate
    for (int reading = 1; reading <= 8; ++reading) FramesThenReading(even, 60, 1.5f * reading);
    EXPECT_EQ(UpdateFpsMovingAverageAt(even, 12.0f), 40.0f);
}

TEST_F(ScriptedClock, FrameMillisecondsDivideTheSixtyFourBitCountByTheFrequency) {
    const int64_t late = INT64_C(1) << 60;  // far past double's whole numbers
    EXPECT_TRUE(FrameMilliseconds(1000, 1250, 1000) == 250.0 && FrameMilliseconds(late, late + 300, 1000) == 300.0);
    EXPECT_TRUE(FrameMilliseconds(0, 5, 0) == 0.0 && FrameMilliseconds(0, 5, -1) == 0.0 &&
                FrameMilliseconds(0, 5, 1) == 5000.0);
}

TEST_F(ScriptedClock, BatchAverageWeighsTheLastFourOfFiveBatchesOf3001Frames) {
    FrameBatchAverage batch;
    bool canRunGame = true;
    for (int i = 0; i < 5 * 3001 - 1; ++i) AddTimedFrame(batch, 0.25, canRunGame);
    ASSERT_TRUE(batch.average == 0.0 && batch.frames == 3000 && batch.batches.size() == 4);
    EXPECT_EQ(batch.batches[0], 750.25);
    AddTimedFrame(batch, 0.25, canRunGame);
    const double a = 2.0f / 6.0f, b = 1 - a;  // divided in single precision, then widened
    EXPECT_TRUE(batch.average == 750.25 * (1 - b * b * b * b) && batch.frames == 0) << batch.average;
    batch = FrameBatchAverage{};  // the newest weighs most; 9000 and then 100 were the oldest
    RunBatches(batch, {9000.0, 100.0, 200.0, 300.0, 400.0, 500.0}, canRunGame);
    EXPECT_DOUBLE_EQ(batch.average, (500 + 400 * b + 300 * b * b + 200 * b * b * b) * a);
    ASSERT_TRUE(canRunGame);
    batch.batches.push_back(50000.0);  // recomputed every frame, not only when a batch closes
    AddTimedFrame(batch, 0.0, canRunGame);
    EXPECT_FALSE(canRunGame);
}

TEST_F(ScriptedClock, BatchAverageAbove1000MillisecondsClearsTheVerdictForGood) {
    const double exact = 2999.9999105930356;  // alone as the newest sum: 1000 ms exactly
    const struct { double newest, others, average; bool stands; } cases[] = {
        {exact, 0, 1000.0, true},
        {std::nextafter(exact, 4000.0), 0, 1000.0000000000002, false},
        {1200, 1200, 962.96295, true},
        {1300, 1300, 1043.2098, false},
    };
    for (const auto& c : cases) {
        FrameBatchAverage batch;
        bool canRunGame = true;
        RunBatches(batch, {c.others, c.others, c.others, c.others, c.newest}, canRunGame);
        EXPECT_TRUE(std::fabs(batch.average - c.average) <= (c.others == 0 ? 0.0 : 1e-4) && canRunGame == c.stands)
            << c.newest << ": " << batch.average;
        RunBatches(batch, {10.0, 10.0, 10.0, 10.0, 10.0}, canRunGame);  // fast batches later
        EXPECT_EQ(canRunGame, c.stands) << c.newest;
    }
}

TEST(BoundedQueue, DropsTheOldestWhenFullAndReadsFromTheOldest) {
    BoundedQueue<int, 3> queue;
    for (int i = 1; i <= 5; ++i) queue.push_back(i);
    ASSERT_EQ(queue.size(), 3u);
    EXPECT_TRUE(queue[0] == 3 && queue[1] == 4 && queue[2] == 5);
    for (int i = 0; i < 4; ++i) queue.pop_front();  // the last on an empty queue does nothing
    queue.push_back(6);
    EXPECT_TRUE(queue.size() == 1 && queue[0] == 6);
    CheckState fresh;
    EXPECT_TRUE(fresh.canRunGame && fresh.cpuScore == 0.0f && fresh.fpsCounter.nowSeconds == 0.0f);
}
