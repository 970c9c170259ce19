// RunProbe against a double of the Windows glue (native only: the Windows
// build links the real WMI client and version check, tested under Wine).
#include "common/check_state.h"
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
bool osAbove61 = true;
std::map<std::string, Read> reads;  // a read not scripted returns false

const std::string maxClock = "Win32_Processor.MaxClockSpeed";
const std::string caption = "Win32_OperatingSystem.Caption";
const std::string version = "Win32_OperatingSystem.Version";
const std::string memory = "Win32_OperatingSystem.TotalVisibleMemorySize";

void Reset(float cpuScore = 100.0f) {
    osAbove61 = true;
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
bool IsOsVersionAbove61() { return osAbove61; }

// The rules' boundaries are pinned with the rules; here each one is applied.
TEST(RunProbe, AppliesEachRuleAndNeverSetsTheVerdictAgain) {
    const struct { std::string property; Read read; float cpuScore; bool os, passes; } cases[] = {
        {maxClock, {true, L"1000"}, 100.0f, true, false}, {"", {}, 50.0f, true, false},
        {maxClock, {false, {}}, 100.0f, true, true},  // a failed read skips the rule
        {maxClock, {true, {}}, 100.0f, true, false},  // no value: the clock reads 0
        {"", {}, 100.0f, false, false}, {memory, {true, L"3145728"}, 100.0f, true, false},
        {memory, {false, {}}, 100.0f, true, false},  // a failed read: 0 G
    };
    for (const auto& c : cases) {
        Reset(c.cpuScore);
        if (!c.property.empty()) reads[c.property] = c.read;
        osAbove61 = c.os;
        RunProbe();
        EXPECT_EQ(checkState.canRunGame, c.passes) << c.property << " " << c.cpuScore << c.os;
        checkState.cpuScore = 100.0f;
        osAbove61 = true;
        RunProbe();  // a passing second run sets nothing again
        EXPECT_EQ(checkState.canRunGame, c.passes) << "again";
    }
}
