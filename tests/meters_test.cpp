// The frame meters, fed times in seconds as the tick gives them.
#include "stats/meters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace {

// frames frames, of which only the last, at seconds, closes a reading.
float FramesThenReading(FpsMovingAverage& average, int frames, float seconds) {
    for (int i = 1; i < frames; ++i) UpdateFpsMovingAverageAt(average, average.counter.lastSeconds);
    return UpdateFpsMovingAverageAt(average, seconds);
}

// Batches of 3001 frames, each summing to exactly its milliseconds.
void RunBatches(FrameBatchAverage& batch, std::initializer_list<double> sums) {
    for (double sum : sums) {
        for (int i = 0; i < 3001; ++i) AddTimedFrame(batch, i == 0 ? sum : 0.0, i);
    }
}

}  // namespace

// The first frame's reading spans the time since the tick's origin.
TEST(FpsCounter, ReadsOnceMoreThanASecondHasPassed) {
    FpsCounter counter;
    TickFpsCounterAt(counter, 10.0f);
    EXPECT_EQ(counter.fps, 0.1f);
    for (int i = 0; i < 59; ++i) TickFpsCounterAt(counter, 10.5f);
    EXPECT_EQ(counter.fps, 0.1f);
    TickFpsCounterAt(counter, 11.0f);  // one second exactly is not yet
    EXPECT_EQ(counter.fps, 0.1f);
    TickFpsCounterAt(counter, 11.25f);
    EXPECT_EQ(counter.fps, 61.0f / 1.25f);
    EXPECT_EQ(counter.lastSeconds, 11.25f);
}

// Near the end of the tick's range, then wrapped to 0.2 s: a new second
// starts there instead of the meter standing still for 49.7 days.
TEST(FpsCounter, StartsANewSecondWhenTheTickWraps) {
    FpsCounter counter;
    TickFpsCounterAt(counter, 4294967.0f);
    const float before = counter.fps;
    TickFpsCounterAt(counter, 0.2f);
    EXPECT_EQ(counter.fps, before);
    EXPECT_EQ(counter.lastSeconds, 0.2f);
    for (int i = 0; i < 29; ++i) TickFpsCounterAt(counter, 0.9f);
    EXPECT_EQ(counter.fps, before);
    TickFpsCounterAt(counter, 1.45f);
    EXPECT_EQ(counter.fps, 30.0f / (1.45f - 0.2f));
}

// The near-zero first reading and the first full second are left out.
TEST(FpsMovingAverage, ComesWithTheEighthReading) {
    FpsMovingAverage average;
    for (int reading = 1; reading <= 7; ++reading) {
        EXPECT_EQ(FramesThenReading(average, 60, 1.5f * reading), 0.0f) << "reading " << reading;
    }
    EXPECT_GT(FramesThenReading(average, 60, 12.0f), 0.0f);
    EXPECT_EQ(average.readings, 8u);
}

TEST(FpsMovingAverage, KeepsItsReadingsWhenTheTickWraps) {
    FpsMovingAverage average;
    for (int reading = 1; reading <= 8; ++reading) FramesThenReading(average, 60, 1.5f * reading);
    EXPECT_EQ(FramesThenReading(average, 2, 0.5f), 40.0f);  // six equal readings, exactly
    EXPECT_EQ(average.counter.lastSeconds, 0.5f);
    EXPECT_EQ(average.readings, 8u);
    EXPECT_FLOAT_EQ(FramesThenReading(average, 30, 2.0f), (40.0f * 5 + 20.0f) / 6.0f);
}

TEST(FrameMilliseconds, DivideTheSixtyFourBitCountByTheFrequency) {
    const int64_t late = INT64_C(1) << 60;  // far past double's whole numbers
    EXPECT_EQ(FrameMilliseconds(1000, 1250, 1000), 250.0);
    EXPECT_EQ(FrameMilliseconds(late, late + 300, 1000), 300.0);
    EXPECT_EQ(FrameMilliseconds(0, 5, 0), 0.0);
    EXPECT_EQ(FrameMilliseconds(0, 3, 1), 3000.0);  // a counter of one count a second
}

TEST(BatchAverage, StaysZeroUntilTheFifthBatchOf3001Frames) {
    FrameBatchAverage batch;
    for (int i = 0; i < 5 * 3001 - 1; ++i) AddTimedFrame(batch, 0.25, i);
    EXPECT_EQ(batch.average, 0.0);
    EXPECT_EQ(batch.frames, 3000);
    EXPECT_EQ(batch.batches.size(), 4u);
    EXPECT_EQ(batch.batches[0], 750.25);
    AddTimedFrame(batch, 0.25, 0);
    EXPECT_DOUBLE_EQ(batch.average, 602.0524779690634);  // by 2 / 6 taken in single precision
    EXPECT_EQ(batch.frames, 0);
}

// 9000 and then 100 were the oldest: dropped, then left out of the sum.
TEST(BatchAverage, WeighsTheNewestFourOfFiveTheNewestMost) {
    FrameBatchAverage batch;
    RunBatches(batch, {9000.0, 100.0, 200.0, 300.0, 400.0, 500.0});
    EXPECT_DOUBLE_EQ(batch.average, 319.75309241701046);
}

// The oldest batch's slowest frame is left out, as the average leaves it out;
// without its 3000 ms the newest batch sums to 750 ms, a quarter of a
// millisecond under the others, weighed by a third.
TEST(BatchAverage, TellsWhatTheAverageOwesToTheSlowestFrameBehindIt) {
    FrameBatchAverage batch;
    for (int b = 0; b < 5; ++b) {
        const double slowest = b == 0 ? 9000.0 : b == 4 ? 3000.0 : 0.25;
        for (int i = 0; i < 3001; ++i) AddTimedFrame(batch, i == 0 ? slowest : 0.25, b);
    }
    const SlowestBehindAverage slowest = SlowestBehind(batch);
    EXPECT_EQ(slowest.frame.milliseconds, 3000.0);
    EXPECT_EQ(slowest.frame.counter, 4);
    EXPECT_NEAR(slowest.averageWithout, 602.0524779690634 - 0.25 / 3, 1e-6);
}

// Beside each sum, the batch's slowest frame and where it ended; a tie keeps
// the first.
TEST(BatchAverage, KeepsTheSlowestFrameOfEachBatch) {
    FrameBatchAverage batch;
    for (int i = 0; i < 3001; ++i) AddTimedFrame(batch, i == 7 || i == 9 ? 40.0 : 0.25, i);
    AddTimedFrame(batch, 3.0, 5000);
    ASSERT_EQ(batch.slowestOfBatches.size(), 1u);
    EXPECT_EQ(batch.slowestOfBatches[0].milliseconds, 40.0);
    EXPECT_EQ(batch.slowestOfBatches[0].counter, 7);
    EXPECT_EQ(batch.slowest.milliseconds, 3.0);
}
