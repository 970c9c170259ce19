// The five rules at their boundaries, a missing device and the status row.
#include "common/check_state.h"
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

TEST(Rules, TheOsVersionFailsAtSixPointOneAndBelow) {
    EXPECT_TRUE(OsVersionFails(false));
    EXPECT_FALSE(OsVersionFails(true));
}

TEST(Rules, TheMemoryFailsBelow3Point8Gigabytes) {
    EXPECT_TRUE(MemoryFails(std::nextafter(3.8f, 0.0f)));
    EXPECT_FALSE(MemoryFails(3.8f));
}

TEST(Rules, TheFrameTimeFailsAbove1000Milliseconds) {
    EXPECT_FALSE(FrameTimeFails(1000.0));
    EXPECT_TRUE(FrameTimeFails(std::nextafter(1000.0, 2000.0)));
}

TEST(Verdict, AMissingDeviceFailsAtOnce) {
    CheckState state;
    RecordMissingDevice(state);
    EXPECT_FALSE(state.canRunGame);
    EXPECT_EQ(ChooseStatus(state, 0.0f), Status::CannotRun);
}

// The verdict shows once both meters reach 1; until then the check is
// measuring, whatever the rules said.
TEST(Verdict, TheStatusWaitsForBothMetersThenShowsTheVerdict) {
    const float belowOne = std::nextafter(1.0f, 0.0f);
    const struct { double batchAverage; float movingAverage; bool canRunGame; Status status; } cases[] = {
        {0.0, 0.0f, true, Status::Measuring},
        {1.0, 1.0f, true, Status::CanRun},
        {1.0, 1.0f, false, Status::CannotRun},
        {1500.0, belowOne, false, Status::Measuring},
        {std::nextafter(1.0, 0.0), 60.0f, false, Status::Measuring},
    };
    for (const auto& c : cases) {
        CheckState state;
        state.frameBatchAverage.average = c.batchAverage;
        state.canRunGame = c.canRunGame;
        EXPECT_EQ(ChooseStatus(state, c.movingAverage), c.status)
            << c.batchAverage << " " << c.movingAverage << " " << c.canRunGame;
    }
}
