// The thresholds of the rules at their boundaries.
#include "common/verdict.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Rules, TheClockFailsBelow1600MegahertzComparedUnsigned) {
    EXPECT_TRUE(ClockFails(1599));
    EXPECT_FALSE(ClockFails(1600));
    EXPECT_FALSE(ClockFails(-300));  // a very large clock as unsigned
}

TEST(Rules, TheCpuScoreFailsBelow80) {
    EXPECT_TRUE(CpuScoreFails(std::nextafter(80.0f, 0.0f)));
    EXPECT_FALSE(CpuScoreFails(80.0f));
    EXPECT_FALSE(CpuScoreFails(NAN));
}

TEST(Rules, TheMemoryFailsBelow3Point8Gigabytes) {
    EXPECT_TRUE(MemoryFails(std::nextafter(3.8f, 0.0f)));
    EXPECT_FALSE(MemoryFails(3.8f));
}

TEST(Rules, TheFrameTimeFailsAbove1000Milliseconds) {
    EXPECT_FALSE(FrameTimeFails(1000.0));
    EXPECT_TRUE(FrameTimeFails(std::nextafter(1000.0, 2000.0)));
}
