#include "common/check_state.h"
#include "common/clock.h"

#include <gtest/gtest.h>

TEST(TickSeconds, ConvertsTheTickAsUnsignedTimesAThousandthInSinglePrecision) {
    EXPECT_EQ(TickToSeconds(0), 0.0f);
    EXPECT_EQ(TickToSeconds(1000), 1.0f);
    // Float arithmetic: 1500 x 0.001f rounds up to 1.5000001, where a
    // product in double precision would give 1.5.
    EXPECT_EQ(TickToSeconds(1500), 1.50000012f);
    // 2^32 - 1 ms rounds to 2^32 as a float before the multiplication.
    EXPECT_EQ(TickToSeconds(0xFFFFFFFFu), 4294967296.0f * 0.001f);
    EXPECT_GT(TickToSeconds(0x80000000u), 0.0f);
}

TEST(PerformanceCounter, AdvancesAtAPositiveFrequency) {
    EXPECT_GT(PerformanceFrequency(), 0);
    int64_t first = PerformanceCounter();
    int64_t second = PerformanceCounter();
    EXPECT_GE(second, first);
}

TEST(BoundedQueue, DropsTheOldestWhenFullAndReadsFromTheOldest) {
    BoundedQueue<int, 3> queue;
    for (int i = 1; i <= 5; ++i) queue.push_back(i);
    ASSERT_EQ(queue.size(), 3u);
    EXPECT_EQ(queue[0], 3);
    EXPECT_EQ(queue[2], 5);
    queue.pop_front();
    EXPECT_EQ(queue[0], 4);
    EXPECT_EQ(queue.size(), 2u);
}

TEST(CheckState, StartsWithAPositiveVerdictAndNoFigures) {
    CheckState fresh;
    EXPECT_TRUE(fresh.canRunGame);
    EXPECT_EQ(fresh.cpuScore, 0.0f);
    EXPECT_EQ(fresh.adapterLine[0], L'\0');
    EXPECT_EQ(fresh.frameBatchAverage.average, 0.0);
    EXPECT_EQ(fresh.fpsMovingAverage.window.size(), 0u);
}
