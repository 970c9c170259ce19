// The rules at their bars, what each record keeps, and the diagnoses of a
// negative verdict from tables of figures.
#include "common/diagnoses.h"
#include "common/verdict.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace {

Outcome Judged(Rule rule, double figure) {
    CheckState state;
    RecordRule(state, rule, figure);
    return state.rules[static_cast<std::size_t>(rule)].outcome;
}

double DeviceFigure(DeviceProblem problem) { return static_cast<double>(problem); }

void HoldReadings(FpsMovingAverage& average, std::initializer_list<float> readings) {
    for (float reading : readings) average.window.push_back(reading);
}

std::vector<Diagnosis> Found(const CheckState& state) {
    const Diagnoses found = Diagnose(state);
    return std::vector<Diagnosis>(found.items, found.items + found.count);
}

}  // namespace

TEST(Rules, EachFailsOnlyOnTheFarSideOfItsBar) {
    const struct { Rule rule; double figure; Outcome outcome; } cases[] = {
        {Rule::Clock, ClockFigure(1599), Outcome::Failed},
        {Rule::Clock, ClockFigure(1600), Outcome::Passed},
        {Rule::Clock, ClockFigure(-300), Outcome::Passed},  // a very large clock as unsigned
        {Rule::CpuScore, std::nextafter(80.0f, 0.0f), Outcome::Failed},
        {Rule::CpuScore, 80.0f, Outcome::Passed},
        {Rule::CpuScore, NAN, Outcome::Passed},
        {Rule::OsVersion, OsVersionFigure(6, 1), Outcome::Failed},
        {Rule::OsVersion, OsVersionFigure(5, 9), Outcome::Failed},
        {Rule::OsVersion, OsVersionFigure(6, 2), Outcome::Passed},
        {Rule::OsVersion, OsVersionFigure(10, 0), Outcome::Passed},
        {Rule::Memory, std::nextafter(3.8f, 0.0f), Outcome::Failed},
        {Rule::Memory, 3.8f, Outcome::Passed},
        {Rule::FrameTime, 1000.0, Outcome::Passed},
        {Rule::FrameTime, std::nextafter(1000.0, 2000.0), Outcome::Failed},
        {Rule::Device, DeviceFigure(DeviceProblem::None), Outcome::Passed},
        {Rule::Device, DeviceFigure(DeviceProblem::NoDevice), Outcome::Failed},
        {Rule::Device, DeviceFigure(DeviceProblem::SceneObjects), Outcome::Failed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Judged(c.rule, c.figure), c.outcome)
            << "rule " << int(c.rule) << " figure " << c.figure;
    }
}

TEST(Rules, AFailureClearsTheVerdictForGoodAndTheLatestFigureIsKept) {
    CheckState state;
    EXPECT_TRUE(RecordRule(state, Rule::Memory, 3.0));
    EXPECT_FALSE(state.canRunGame);
    EXPECT_FALSE(RecordRule(state, Rule::Memory, 16.0));  // not a first failure
    EXPECT_EQ(state.rules[std::size_t(Rule::Memory)].outcome, Outcome::Failed);
    EXPECT_EQ(state.rules[std::size_t(Rule::Memory)].figure, 16.0);
    RecordNotRead(state, Rule::Memory);
    EXPECT_EQ(state.rules[std::size_t(Rule::Memory)].outcome, Outcome::Failed);
    EXPECT_FALSE(state.canRunGame);
}

// A stall needs the failed frame rule behind it, which would have passed
// without it; a cap, readings at the refresh rate; a busy processor, a
// failed score and others taking a third of the processor; a battery, a
// failed score or frame rule and the line offline.
TEST(Diagnoses, AStallACapABusyProcessorAndABatteryAreNamedFromTheirEdges) {
    const double passes = 1000.0;
    const Outcome failed = Outcome::Failed, passed = Outcome::Passed, measuring = Outcome::Measuring;
    const struct { Outcome frameRule, scoreRule; double slowest, without; float refresh;
                   ProcessorUse use; uint8_t line; std::vector<Diagnosis> found; } cases[] = {
        {failed, passed, 100.0, passes, 0, {}, 255, {Diagnosis::Stall}},
        {failed, passed, std::nextafter(100.0, 0.0), passes, 0, {}, 255, {}},
        {failed, passed, 3000.0, std::nextafter(passes, 2000.0), 0, {}, 255, {}},  // a slow card
        {passed, passed, 3000.0, passes, 0, {}, 255, {}},
        {measuring, passed, 0.0, 0, 60, {}, 255, {Diagnosis::FrameRateCap}},
        {measuring, failed, 0.0, 0, 0, {100, 300}, 255, {Diagnosis::BusyProcessor}},
        {measuring, passed, 0.0, 0, 0, {100, 300}, 255, {}},
        {measuring, failed, 0.0, 0, 0, {99, 300}, 255, {}},
        {measuring, failed, 0.0, 0, 0, {0, 0}, 255, {}},
        {failed, passed, 0.0, 2000, 0, {}, 0, {Diagnosis::OnBattery}},
        {measuring, failed, 0.0, 0, 0, {}, 0, {Diagnosis::OnBattery}},
        {measuring, passed, 0.0, 0, 0, {}, 0, {}},
        {failed, failed, 0.0, 2000, 0, {}, 1, {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        CheckState state;
        HoldReadings(state.fpsMovingAverage, {60, 60, 60, 60, 60, 60});
        state.circumstances.refreshRate = cases[i].refresh;
        state.rules[std::size_t(Rule::FrameTime)].outcome = cases[i].frameRule;
        state.rules[std::size_t(Rule::CpuScore)].outcome = cases[i].scoreRule;
        state.frameFailure.slowestMilliseconds = cases[i].slowest;
        state.frameFailure.averageWithoutSlowest = cases[i].without;
        state.circumstances.duringWorkloads = cases[i].use;
        state.circumstances.acLineStatus = cases[i].line;
        EXPECT_EQ(Found(state), cases[i].found) << "case " << i;
    }
}

// 3 % of 100 is 3, in single precision too.
TEST(Diagnoses, ACapIsFourOfSixReadingsWithin3PercentOfTheRefreshRateOrAPartOfIt) {
    const float third = 100.0f / 3.0f;
    const struct { std::initializer_list<float> readings; float refresh, capped; } cases[] = {
        {{103, 97, 100, 100, 150, 150}, 100, 100},
        {{103.01f, 97, 100, 100, 150, 150}, 100, 0},
        {{103, 96.99f, 100, 100, 150, 150}, 100, 0},
        {{51, 49, 50, 50, 10, 10}, 100, 50},
        {{third, third, third, third, 90, 90}, 100, third},
        {{1, 1, 1, 1, 1, 1}, 1, 1},  // any refresh rate told is taken
        {{60, 60, 60, 60, 60}, 60, 0},  // five readings: no moving average yet
        {{60, 60, 60, 60, 60, 60}, 0, 0},  // the refresh rate not told
        {{60, 60, 60, 60, 60, 60}, NAN, 0},
    };
    for (const auto& c : cases) {
        FpsMovingAverage average;
        HoldReadings(average, c.readings);
        EXPECT_EQ(CappedFrameRate(average, c.refresh), c.capped) << *c.readings.begin();
    }
}

TEST(Diagnoses, OthersUseIsTheBusyTimeLessThisProcesssOwn) {
    const ProcessorTimes before = {1000, 2000, 500, 100};
    const ProcessorTimes after = {1600, 3000, 1500, 600};
    const ProcessorUse use = OthersUse(before, after);
    EXPECT_EQ(use.total, 2000u);
    EXPECT_EQ(use.others, 900u);
    EXPECT_EQ(OthersPercent(use), 45u);
    EXPECT_EQ(OthersUse(before, {1600, 3000, 1500, 5000}).others, 0u);  // all of it its own
    EXPECT_EQ(OthersUse(after, before).total, 0u);  // a clock that went back gives nothing
    EXPECT_EQ(OthersPercent({0, 0}), 0u);
}

TEST(Diagnoses, AMissingDeviceIsNamedWithItsReason) {
    const struct { DeviceProblem problem; bool remote; std::vector<Diagnosis> found; } cases[] = {
        {DeviceProblem::NoDevice, false, {Diagnosis::NoDevice}},
        {DeviceProblem::NoDevice, true, {Diagnosis::RemoteSession}},
        {DeviceProblem::SceneObjects, true, {Diagnosis::SceneObjects}},
        {DeviceProblem::None, true, {}},
    };
    for (const auto& c : cases) {
        CheckState state;
        state.circumstances.remoteSession = c.remote;
        RecordRule(state, Rule::Device, DeviceFigure(c.problem));
        EXPECT_EQ(Found(state), c.found) << int(c.problem) << c.remote;
    }
}
