// RunProbe against a double of the Windows glue (native only: the Windows
// build links the real WMI client and version check, tested under Wine).
#include "common/check_state.h"
#include "common/verdict.h"
#include "probe/probe.h"
#include "probe/wmi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {
struct Read {
    bool result = true;
    std::optional<std::wstring> value;
    bool timedOut = false;
};
OsVersion os = {10, 0};
std::map<std::string, Read> reads;  // a read not scripted returns false
std::vector<std::string> asked;     // the classes and properties, in the order read
std::vector<WmiValue> controllerValues;  // seven a controller
bool queryEnded = false;                 // the video controllers' query

const std::string maxClock = "Win32_Processor.MaxClockSpeed";
const std::string caption = "Win32_OperatingSystem.Caption";
const std::string version = "Win32_OperatingSystem.Version";
const std::string memory = "Win32_OperatingSystem.TotalVisibleMemorySize";

void Reset(float cpuScore = 100.0f) {
    os = {10, 0};
    reads = {{"Win32_Processor.Name", {true, L"Xeon"}}, {maxClock, {true, L"2096"}},
             {caption, {true, L"Windows 10"}}, {version, {true, L"10.0"}}, {memory, {true, L"16777216"}}};
    asked.clear();
    controllerValues.clear();
    queryEnded = false;
    AbandonVideoControllers();
    checkState = CheckState{};
    checkState.cpuScore = cpuScore;
}

WmiValue Text(const wchar_t* text) { return {WmiValue::Kind::Text, text, 0}; }
WmiValue Number(int64_t number) { return {WmiValue::Kind::Number, L"", number}; }
}  // namespace

bool ConnectWmi(WmiSession&) { return true; }
bool QueryWmiProperty(std::wstring& text, WmiSession&, const char* className,
                      const char* propertyName, bool* timedOut) {
    std::string name = std::string(className) + "." + propertyName;
    asked.push_back(name);
    auto read = reads.find(name);
    if (timedOut) *timedOut = read != reads.end() && read->second.timedOut;
    if (read == reads.end()) return false;
    if (read->second.result && read->second.value) text = *read->second.value;
    return read->second.result;
}
// The query ends when the test says so.
struct WmiBackgroundQuery {};
WmiBackgroundQuery backgroundQuery;
WmiBackgroundQuery* BeginWmiInstances(WmiSession&, const char* className, const char* const*,
                                      std::size_t, std::size_t) {
    asked.push_back(className);
    return &backgroundQuery;
}
bool TakeWmiInstances(WmiBackgroundQuery*& query, std::vector<WmiValue>& values) {
    if (!query || !queryEnded) return false;
    values = controllerValues;
    query = nullptr;
    return true;
}
void AbandonWmiInstances(WmiBackgroundQuery*& query) { query = nullptr; }
OsVersion ReportedOsVersion() { return os; }

// The rules' boundaries are pinned with the rules; here each one is applied
// to what the probe read.
TEST(RunProbe, RecordsEachRuleAndNeverSetsTheVerdictAgain) {
    const OsVersion windows7 = {6, 1};
    const struct { std::string property; Read read; float cpuScore; OsVersion version; Rule rule; Outcome outcome; } cases[] = {
        {maxClock, {true, L"1000"}, 100.0f, os, Rule::Clock, Outcome::Failed},
        {"", {}, 50.0f, os, Rule::CpuScore, Outcome::Failed},
        {maxClock, {false, {}}, 100.0f, os, Rule::Clock, Outcome::NotRead},  // a failed read skips the rule
        {maxClock, {true, {}}, 100.0f, os, Rule::Clock, Outcome::Failed},  // no value: the clock reads 0
        {"", {}, 100.0f, windows7, Rule::OsVersion, Outcome::Failed},
        {memory, {true, L"3145728"}, 100.0f, os, Rule::Memory, Outcome::Failed},
        {memory, {false, {}}, 100.0f, os, Rule::Memory, Outcome::Failed},  // a failed read: 0 G
        {"", {}, 100.0f, os, Rule::Memory, Outcome::Passed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.property << " " << c.cpuScore << " " << c.version.minor);
        Reset(c.cpuScore);
        if (!c.property.empty()) reads[c.property] = c.read;
        os = c.version;
        RunProbe();
        EXPECT_EQ(checkState.rules[std::size_t(c.rule)].outcome, c.outcome);
        const bool passes = c.outcome != Outcome::Failed;
        EXPECT_EQ(checkState.canRunGame, passes);
        Reset();
        checkState.rules[std::size_t(c.rule)].outcome = c.outcome;
        checkState.canRunGame = passes;
        RunProbe();  // a passing run sets nothing again
        EXPECT_EQ(checkState.canRunGame, passes) << "again";
    }
}

// The figures the rules judged, as the report writes them.
TEST(RunProbe, KeepsEachFigureItJudged) {
    Reset(123.5f);
    RunProbe();
    EXPECT_EQ(checkState.rules[std::size_t(Rule::OsVersion)].figure, 10 * 256.0);
    EXPECT_EQ(checkState.rules[std::size_t(Rule::Memory)].figure, 16.0);
}

// A read the service did not answer in time keeps the rule's outcome (a
// clock with no value fails, one not read is not judged) and is told so.
TEST(RunProbe, MarksTheRulesWhoseReadsTheServiceDidNotAnswerInTime) {
    const struct { std::string property; Read read; Rule rule; Outcome outcome; } cases[] = {
        {maxClock, {true, {}, true}, Rule::Clock, Outcome::Failed},
        {maxClock, {false, {}, true}, Rule::Clock, Outcome::NotRead},
        {memory, {true, {}, true}, Rule::Memory, Outcome::Failed},
    };
    for (const auto& c : cases) {
        Reset();
        reads[c.property] = c.read;
        RunProbe();
        EXPECT_EQ(checkState.rules[std::size_t(c.rule)].outcome, c.outcome) << c.property;
        EXPECT_TRUE(checkState.rules[std::size_t(c.rule)].unanswered) << c.property;
    }
}

// The video controllers are asked for after the reads the rows and rules
// need, and enter the state once their query has ended.
TEST(RunProbe, BeginsTheVideoControllersAfterTheFiveReadsAndTakesThemOnceRead) {
    Reset();
    controllerValues = {Text(L"Intel(R) UHD Graphics 630"), Text(L"PCI\\VEN_8086&DEV_3E92&SUBSYS_1"),
                        Text(L"27.20.100.8681"), Text(L"20200910000000.000000-000"), Number(0),
                        Text(L"OK"), Number(1073741824)};
    const std::vector<WmiValue> one = controllerValues;
    controllerValues.insert(controllerValues.end(), one.begin(), one.end());
    RunProbe();
    BeginVideoControllers();
    ASSERT_EQ(asked.size(), 6u);
    EXPECT_EQ(asked[4], memory);
    EXPECT_EQ(asked[5], "Win32_VideoController");
    const GraphicsSide& graphics = checkState.circumstances.graphics;
    EXPECT_FALSE(CollectVideoControllers());
    EXPECT_EQ(graphics.controllerCount, 0u);
    queryEnded = true;
    EXPECT_TRUE(CollectVideoControllers());
    ASSERT_EQ(graphics.controllerCount, 2u);
    EXPECT_EQ(graphics.controllers[1].ids.device, 0x3E92);
    EXPECT_TRUE(CollectVideoControllers());  // taken once: nothing more to take
    EXPECT_EQ(graphics.controllerCount, 2u);
}
