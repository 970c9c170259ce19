// RunProbe against a double of the Windows glue (native only: the Windows
// build links the real WMI client and version check, tested under Wine).
#include "common/check_state.h"
#include "common/verdict.h"
#include "probe/probe.h"
#include "probe/wmi.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace {
struct Read {
    bool result = true;
    std::optional<std::wstring> value;
};
OsVersion os = {10, 0};
std::map<std::string, Read> reads;  // a read not scripted returns false

const std::string maxClock = "Win32_Processor.MaxClockSpeed";
const std::string caption = "Win32_OperatingSystem.Caption";
const std::string version = "Win32_OperatingSystem.Version";
const std::string memory = "Win32_OperatingSystem.TotalVisibleMemorySize";

void Reset(float cpuScore = 100.0f) {
    os = {10, 0};
    reads = {{"Win32_Processor.Name", {true, L"Xeon"}}, {maxClock, {true, L"2096"}},
             {caption, {true, L"Windows 10"}}, {version, {true, L"10.0"}}, {memory, {true, L"16777216"}}};
    checkState = CheckState{};
    checkState.cpuScore = cpuScore;
}
}  // namespace

bool ConnectWmi(WmiSession&) { return true; }
bool QueryWmiProperty(std::wstring& text, WmiSession&, const char* className,
                      const char* propertyName) {
    std::string name = std::string(className) + "." + propertyName;
    auto read = reads.find(name);
    if (read == reads.end()) return false;
    if (read->second.result && read->second.value) text = *read->second.value;
    return read->second.result;
}
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
