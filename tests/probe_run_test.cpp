#include "common/check_state.h"
#include "probe/probe.h"
#include "probe/wmi.h"
#include "tests/probe_double.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {
const std::wstring cpuPrefix = L"CPU\uFF1A";
const std::wstring memoryPrefix = L"\u5185\u5B58: ";

const char processorName[] = "Win32_Processor.Name";
const char maxClockSpeed[] = "Win32_Processor.MaxClockSpeed";
const char osCaption[] = "Win32_OperatingSystem.Caption";
const char osVersion[] = "Win32_OperatingSystem.Version";
const char visibleMemory[] = "Win32_OperatingSystem.TotalVisibleMemorySize";

// One criterion moved off a machine that passes every rule.
struct VerdictCase {
    const char* property; // the read scripted below, or null
    ScriptedRead read;
    float cpuScore;
    bool osAbove61;
    bool passes;
};

const VerdictCase verdictCases[] = {
    {maxClockSpeed, {true, L"1599"}, 100.0f, true, false},
    {maxClockSpeed, {true, L"1600"}, 100.0f, true, true},
    {maxClockSpeed, {true, L"-300"}, 100.0f, true, true},     // large unsigned
    {maxClockSpeed, {true, L"unknown"}, 100.0f, true, false},
    {maxClockSpeed, {false, {}}, 100.0f, true, true},         // rule skipped
    {maxClockSpeed, {true, {}}, 100.0f, true, false},         // no value: clock 0
    {nullptr, {}, 79.99f, true, false},
    {nullptr, {}, 80.0f, true, true},
    {nullptr, {}, std::nanf(""), true, true},
    {nullptr, {}, 100.0f, false, false},
    {visibleMemory, {true, L"3984588"}, 100.0f, true, false},
    {visibleMemory, {true, L"3984589"}, 100.0f, true, true},
    {visibleMemory, {true, L"-4000"}, 100.0f, true, true},    // large unsigned
    {visibleMemory, {false, {}}, 100.0f, true, false},
};

class RunProbeTest : public testing::Test {
protected:
    void SetUp() override {
        probeDouble = ProbeDouble{};
        checkState = CheckState{};
        checkState.cpuScore = 100.0f;
        Script(processorName, L"Intel(R) Xeon(R) CPU @ 2.10GHz");
        Script(maxClockSpeed, L"2096");
        Script(osCaption, L"Microsoft Windows 10 Pro");
        Script(osVersion, L"10.0.18362");
        Script(visibleMemory, L"16777216");
    }

    static void Script(const char* property, const wchar_t* value) {
        probeDouble.reads[property] = {true, value};
    }
};
}

TEST_F(RunProbeTest, ReadsInOrderOnTheProcessSessionAndBuildsTheLines) {
    RunProbe();
    EXPECT_TRUE(checkState.canRunGame);
    EXPECT_EQ(checkState.cpuLine, cpuPrefix + L"Intel(R) Xeon(R) CPU @ 2.10GHz");
    EXPECT_EQ(checkState.osLine, L"Microsoft Windows 10 Pro version : 10.0.18362");
    EXPECT_EQ(checkState.memoryLine, memoryPrefix + L"16G");

    const std::vector<std::string> expected = {"ConnectWmi", processorName, osCaption, osVersion,
                                               maxClockSpeed, "IsOsVersionAbove61", visibleMemory};
    ASSERT_EQ(probeDouble.calls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const RecordedCall& call = probeDouble.calls[i];
        EXPECT_EQ(call.name, expected[i]);
        const WmiSession* expectedSession = call.name == "IsOsVersionAbove61" ? nullptr : &wmiSession;
        EXPECT_EQ(call.session, expectedSession) << call.name;
        EXPECT_TRUE(call.textOnEntry.empty()) << call.name;
    }
}

TEST_F(RunProbeTest, ReadsEverythingEvenWhenTheConnectionFails) {
    probeDouble.connectResult = false;
    RunProbe();
    EXPECT_TRUE(checkState.canRunGame);
    EXPECT_EQ(probeDouble.calls.size(), 7u);
}

TEST_F(RunProbeTest, AppliesEachRuleAtItsBoundary) {
    for (const VerdictCase& verdict : verdictCases) {
        SetUp();
        if (verdict.property != nullptr) probeDouble.reads[verdict.property] = verdict.read;
        checkState.cpuScore = verdict.cpuScore;
        probeDouble.osVersionAbove61 = verdict.osAbove61;
        RunProbe();
        EXPECT_EQ(checkState.canRunGame, verdict.passes)
            << (verdict.property ? verdict.property : "") << " score " << verdict.cpuScore
            << " above 6.1 " << verdict.osAbove61;
    }
}

TEST_F(RunProbeTest, ShowsTheMemoryTextInGigabytes) {
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"3984588", L"3.8"}, {L"8300000", L"7.9"}, {L"134000000", L"1.3e+002"}, {L"-1", L"1.8e+013"}};
    for (const auto& [kilobytes, shown] : rows) {
        SetUp();
        Script(visibleMemory, kilobytes);
        RunProbe();
        EXPECT_EQ(checkState.memoryLine, memoryPrefix + shown + L"G") << "KB " << kilobytes;
    }
}

TEST_F(RunProbeTest, MissingPiecesLeaveEmptyPartsAndFailTheMemoryRule) {
    probeDouble.connectResult = false;
    probeDouble.reads.clear();
    RunProbe();
    EXPECT_FALSE(checkState.canRunGame);
    EXPECT_EQ(checkState.cpuLine, cpuPrefix);
    EXPECT_EQ(checkState.osLine, L" version : ");
    EXPECT_EQ(checkState.memoryLine, memoryPrefix + L"0G");

    SetUp();
    probeDouble.reads[osCaption] = {true, {}};
    RunProbe();
    EXPECT_EQ(checkState.osLine, L" version : 10.0.18362");
    SetUp();
    probeDouble.reads[osVersion] = {false, {}};
    RunProbe();
    EXPECT_EQ(checkState.osLine, L"Microsoft Windows 10 Pro version : ");
}

TEST_F(RunProbeTest, NeverSetsTheVerdictAgainOnceCleared) {
    checkState.canRunGame = false;
    RunProbe();
    EXPECT_FALSE(checkState.canRunGame);
    SetUp();
    Script(maxClockSpeed, L"800");
    RunProbe();
    EXPECT_FALSE(checkState.canRunGame);
}
