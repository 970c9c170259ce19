#include "common/check_state.h"
#include "common/clock.h"
#include "stats/meters.h"

#include <gtest/gtest.h>

// This program's clock: the tests set the tick.
namespace {
uint32_t fakeTick = 0;
}
uint32_t TickMilliseconds() { return fakeTick; }
int64_t PerformanceCounter() { return 0; }
int64_t PerformanceFrequency() { return 1; }

namespace {

// frames frames, of which only the last, at seconds, closes a reading.
float FramesThenReading(FpsMovingAverage& average, int frames, float seconds) {
    for (int i = 1; i < frames; ++i) UpdateFpsMovingAverageAt(average, average.lastSeconds);
    return UpdateFpsMovingAverageAt(average, seconds);
}

// A batch of 3001 frames summing to exactly milliseconds.
void RunBatch(FrameBatchAverage& batch, double milliseconds, bool& canRunGame) {
    for (int i = 0; i < 3001; ++i) AddTimedFrame(batch, i == 0 ? milliseconds : 0.0, canRunGame);
}

}  // namespace

TEST(FpsCounter, ReadsOnceMoreThanASecondHasPassedCountingTheClosingFrame) {
    FpsCounter counter;
    TickFpsCounterAt(counter, 10.0f);  // the first frame spans the time since the origin
    EXPECT_EQ(counter.fps, 0.1f);
    for (int i = 0; i < 59; ++i) TickFpsCounterAt(counter, 10.5f);
    TickFpsCounterAt(counter, 11.0f);  // exactly one second: not yet
    EXPECT_EQ(counter.fps, 0.1f);
    TickFpsCounterAt(counter, 11.25f);
    EXPECT_EQ(counter.fps, 61.0f / 1.25f);
    EXPECT_EQ(counter.lastSeconds, 11.25f);
    EXPECT_EQ(counter.frames, 0);
}

TEST(FpsCounter, TickThatWrappedStartsANewSecondThere) {
    checkState = CheckState{};
    fakeTick = 0xFFFFF000u;
    TickFpsCounter();
    fakeTick = 0xFFFFFFF0u;
    TickFpsCounter();
    const float before = checkState.fpsCounter.fps;
    fakeTick = 200;
    TickFpsCounter();
    EXPECT_EQ(checkState.fpsCounter.lastSeconds, TickToSeconds(200));
    EXPECT_EQ(checkState.fpsCounter.frames, 0);
    EXPECT_EQ(checkState.fpsCounter.fps, before);
    fakeTick = 900;
    for (int i = 0; i < 29; ++i) TickFpsCounter();
    fakeTick = 1450;
    TickFpsCounter();
    EXPECT_EQ(checkState.fpsCounter.fps, 30.0f / (TickToSeconds(1450) - TickToSeconds(200)));
}

TEST(FpsMovingAverage, FirstNonZeroAverageComesWithTheEighthReading) {
    checkState = CheckState{};
    for (uint32_t reading = 1; reading <= 8; ++reading) {
        fakeTick = 1500 * reading;
        float average = 0.0f;
        for (int frame = 0; frame < 60; ++frame) average = UpdateFpsMovingAverage();
        EXPECT_EQ(average > 0.0f, reading == 8) << "reading " << reading;
    }
    EXPECT_EQ(checkState.fpsMovingAverage.readings, 8u);
}

TEST(FpsMovingAverage, LeavesOutTheFirstTwoReadingsAndHoldsAtMostSix) {
    FpsMovingAverage average;
    FramesThenReading(average, 1, 1000.0f);  // near zero
    FramesThenReading(average, 90, 1001.5f);  // 60 per second
    for (int reading = 3; reading <= 20; ++reading) {
        FramesThenReading(average, 2 * reading, 1000.0f + 2.0f * reading);  // reading r: r per second
        EXPECT_LE(average.window.size(), 6u);
    }
    ASSERT_EQ(average.window.size(), 6u);
    EXPECT_EQ(average.window[0], 15.0f);
    EXPECT_EQ(average.window[5], 20.0f);
    EXPECT_EQ(UpdateFpsMovingAverageAt(average, average.lastSeconds), 17.5f);
}

TEST(FpsMovingAverage, SixEqualReadingsAverageToThatValue) {
    FpsMovingAverage average;
    for (int reading = 1; reading <= 8; ++reading) FramesThenReading(average, 60, 1.5f * reading);
    EXPECT_EQ(UpdateFpsMovingAverageAt(average, 12.0f), 40.0f);
    // A rate of no short binary form comes back within a few ulps.
    FpsMovingAverage uneven;
    for (int reading = 1; reading <= 8; ++reading) FramesThenReading(uneven, 61, 1.25f * reading);
    EXPECT_FLOAT_EQ(UpdateFpsMovingAverageAt(uneven, 10.0f), 61.0f / 1.25f);
}

TEST(FpsMovingAverage, TickThatWrappedStartsANewSecondAndKeepsTheReadings) {
    FpsMovingAverage average;
    for (int reading = 1; reading <= 8; ++reading) FramesThenReading(average, 60, 1.5f * reading);
    EXPECT_EQ(FramesThenReading(average, 2, 0.5f), 40.0f);
    EXPECT_EQ(average.lastSeconds, 0.5f);
    EXPECT_EQ(average.readings, 8u);
    EXPECT_EQ(FramesThenReading(average, 30, 2.0f), (40.0f * 5 + 20.0f) / 6.0f);
}

TEST(FrameMilliseconds, DividesTheSixtyFourBitCountByTheFrequency) {
    EXPECT_EQ(FrameMilliseconds(1000, 1250, 1000), 250.0);
    const int64_t late = INT64_C(1) << 60;  // far past double's whole numbers
    EXPECT_DOUBLE_EQ(FrameMilliseconds(late, late + 300, 1000), 300.0);
    EXPECT_EQ(FrameMilliseconds(0, 5, 0), 0.0);
}

TEST(FrameBatchAverage, NothingBeforeFiveBatchesOfThreeThousandAndOneFrames) {
    FrameBatchAverage batch;
    bool canRunGame = true;
    for (int i = 0; i < 5 * 3001 - 1; ++i) AddTimedFrame(batch, 0.25, canRunGame);
    EXPECT_EQ(batch.average, 0.0);
    ASSERT_EQ(batch.batches.size(), 4u);
    EXPECT_EQ(batch.batches[0], 750.25);
    EXPECT_EQ(batch.frames, 3000);
    AddTimedFrame(batch, 0.25, canRunGame);
    EXPECT_NEAR(batch.average, 750.25 * (1 - 16.0 / 81), 0.001);
    EXPECT_EQ(batch.frames, 0);
}

TEST(FrameBatchAverage, FiveSumsOf1200KeepTheVerdictAnd1300ClearItForGood) {
    FrameBatchAverage batch;
    bool canRunGame = true;
    for (int b = 0; b < 5; ++b) RunBatch(batch, 1200.0, canRunGame);
    EXPECT_NEAR(batch.average, 962.963, 0.001);
    // The weight 2 / (n + 1) is divided in single precision, then widened.
    const double alpha = 2.0f / 6.0f;
    EXPECT_DOUBLE_EQ(batch.average, 1200.0 * (1 - (1 - alpha) * (1 - alpha) * (1 - alpha) * (1 - alpha)));
    EXPECT_TRUE(canRunGame);
    for (int b = 0; b < 5; ++b) RunBatch(batch, 1300.0, canRunGame);
    EXPECT_NEAR(batch.average, 1043.210, 0.001);
    EXPECT_FALSE(canRunGame);
    for (int b = 0; b < 5; ++b) RunBatch(batch, 10.0, canRunGame);
    EXPECT_LT(batch.average, 10.0);
    EXPECT_FALSE(canRunGame);
}

TEST(FrameBatchAverage, WeighsTheNewestMostLeavesTheOldestOutAndRecomputesEveryFrame) {
    FrameBatchAverage batch;
    bool canRunGame = true;
    for (double sum : {9000.0, 100.0, 200.0, 300.0, 400.0, 500.0}) RunBatch(batch, sum, canRunGame);
    // (500 + 400 x 2/3 + 300 x 4/9 + 200 x 8/27) / 3; 9000 and then 100 were the oldest.
    EXPECT_NEAR(batch.average, 319.753, 0.001);
    EXPECT_TRUE(canRunGame);
    batch.batches.push_back(50000.0);
    AddTimedFrame(batch, 0.0, canRunGame);
    EXPECT_FALSE(canRunGame);
}
