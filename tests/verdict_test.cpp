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
        state.circumstances.graphics.adapter.refreshRate = static_cast<uint32_t>(cases[i].refresh);
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

namespace {

VideoController Controller(const wchar_t* name, uint16_t vendor, uint16_t device,
                           int64_t errorCode = 0, const wchar_t* status = L"OK") {
    VideoController controller;
    controller.name = name;
    controller.ids = {true, vendor, device};
    controller.errorCode = errorCode;
    controller.status = status;
    return controller;
}

const VideoController intel = Controller(L"Intel(R) UHD Graphics 630", 0x8086, 0x3E92);
const VideoController nvidia = Controller(L"NVIDIA GeForce GTX 1060 6GB", 0x10DE, 0x1C03);

GraphicsSide Measured(uint16_t vendor, uint16_t device, const wchar_t* description,
                      std::initializer_list<VideoController> controllers) {
    GraphicsSide graphics;
    graphics.adapter.read = true;
    graphics.adapter.description = description;
    graphics.adapter.ids = {true, vendor, device};
    for (const VideoController& controller : controllers) {
        graphics.controllers[graphics.controllerCount++] = controller;
    }
    return graphics;
}

}  // namespace

// Each is named where the frame rule failed, and never where it passed.
TEST(Diagnoses, TheGraphicsSideIsNamedFromTheAdapterMeasuredAndTheControllersWmiLists) {
    const VideoController basicDisplay = Controller(L"Microsoft Basic Display Adapter", 0x10DE, 0x2484);
    const VideoController basicChinese = Controller(L"Microsoft 基本显示适配器", 0x1002, 0x73BF);
    const VideoController stopped = Controller(L"NVIDIA GeForce GTX 1060 6GB", 0x10DE, 0x1C03, 43, L"Error");
    const VideoController degraded = Controller(L"AMD Radeon RX 580", 0x1002, 0x67DF, 0, L"Degraded");
    const struct { GraphicsSide graphics; std::vector<Diagnosis> found; } cases[] = {
        {Measured(0x10DE, 0x1C03, L"NVIDIA GeForce GTX 1060 6GB", {nvidia}), {}},
        {Measured(0x1414, 0x008C, L"Microsoft Basic Render Driver", {}), {Diagnosis::NoGraphicsDriver}},
        {Measured(0x10DE, 0x06CD, L"llvmpipe (LLVM 15.0.6, 256 bits)", {}), {Diagnosis::NoGraphicsDriver}},
        {Measured(0x8086, 0x3E92, L"Intel(R) UHD Graphics 630", {intel, basicDisplay}),
         {Diagnosis::NoGraphicsDriver}},
        {Measured(0x8086, 0x3E92, L"Intel(R) UHD Graphics 630", {intel, basicChinese}),
         {Diagnosis::NoGraphicsDriver}},
        {Measured(0x15AD, 0x0405, L"VMware SVGA 3D", {}), {Diagnosis::VirtualMachine}},
        {Measured(0x8086, 0x3E92, L"Intel(R) UHD Graphics 630", {intel, stopped}), {Diagnosis::CardStopped}},
        {Measured(0x10DE, 0x1C03, L"NVIDIA GeForce GTX 1060 6GB", {degraded, nvidia}),
         {Diagnosis::CardStopped}},
        {Measured(0x8086, 0x3E92, L"Intel(R) UHD Graphics 630", {intel, nvidia}), {Diagnosis::AnotherGpu}},
        {Measured(0x1002, 0x15D8, L"AMD Radeon Vega 8 Graphics", {nvidia}), {Diagnosis::AnotherGpu}},
        // A processor's Intel graphics beside the card measured is the slower.
        {Measured(0x10DE, 0x1C03, L"NVIDIA GeForce GTX 1060 6GB", {intel, nvidia}), {}},
        // Nothing known of a controller blames nothing.
        {Measured(0x10DE, 0x1C03, L"NVIDIA GeForce GTX 1060 6GB", {VideoController{}}), {}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        CheckState state;
        state.circumstances.graphics = cases[i].graphics;
        RecordRule(state, Rule::FrameTime, 1500.0);
        EXPECT_EQ(Found(state), cases[i].found) << "case " << i;
        CheckState passing;
        passing.circumstances.graphics = cases[i].graphics;
        RecordRule(passing, Rule::FrameTime, 900.0);
        EXPECT_EQ(Found(passing), std::vector<Diagnosis>{}) << "case " << i << ", the rule passing";
    }
}

// A machine without a device may be so for the graphics side's reasons.
TEST(Diagnoses, TheGraphicsSideIsNamedWhereTheDeviceRuleFailed) {
    CheckState state;
    state.circumstances.graphics = Measured(0x15AD, 0x0405, L"VMware SVGA 3D", {});
    RecordRule(state, Rule::Device, DeviceFigure(DeviceProblem::NoDevice));
    EXPECT_EQ(Found(state), (std::vector<Diagnosis>{Diagnosis::NoDevice, Diagnosis::VirtualMachine}));
}

TEST(Diagnoses, OtherProcessesWhileFramesWereTimedAreNamedFromAThirdWhereTheFrameRuleFailed) {
    const struct { double figure; ProcessorUse use; std::vector<Diagnosis> found; } cases[] = {
        {1500.0, {100, 300}, {Diagnosis::BusyWhileTimed}},
        {1500.0, {99, 300}, {}},
        {1500.0, {0, 0}, {}},
        {900.0, {300, 300}, {}},
    };
    for (const auto& c : cases) {
        CheckState state;
        RecordRule(state, Rule::FrameTime, c.figure);
        state.frameFailure.othersDuringBatches = c.use;
        EXPECT_EQ(Found(state), c.found) << c.figure << " " << c.use.others;
    }
}

// A figure WMI did not give is WMI's to answer for, not the machine's.
TEST(Diagnoses, AFailedClockMemoryOrWindowsGetsItsAdviceOrWmiIsNamed) {
    const Rule clock = Rule::Clock, memory = Rule::Memory;
    const struct { Rule rule; double figure; bool unanswered; bool notRead; std::vector<Diagnosis> found; } cases[] = {
        {clock, 1200, false, false, {Diagnosis::SlowProcessor}},
        {clock, 1600, false, false, {}},
        {clock, 0, true, false, {Diagnosis::WmiUnanswered}},
        {clock, 0, true, true, {Diagnosis::WmiUnanswered}},  // the connection not answered
        {clock, 0, false, false, {Diagnosis::WmiNoValue}},
        {clock, 0, false, true, {}},  // refused: not judged
        {memory, 3.0, false, false, {Diagnosis::LittleMemory}},
        {memory, 3.8f, false, false, {}},
        {memory, 0, true, false, {Diagnosis::WmiUnanswered}},
        {memory, 0, false, false, {Diagnosis::WmiNoValue}},
        {Rule::OsVersion, OsVersionFigure(6, 1), false, false, {Diagnosis::OldWindows}},
        {Rule::OsVersion, OsVersionFigure(6, 2), false, false, {}},
    };
    for (const auto& c : cases) {
        CheckState state;
        if (c.notRead) RecordNotRead(state, c.rule);
        else RecordRule(state, c.rule, c.figure);
        if (c.unanswered) RecordUnanswered(state, c.rule);
        EXPECT_EQ(Found(state), c.found) << int(c.rule) << " " << c.figure;
    }
}
