#include "common/verdict.h"

#include <algorithm>

namespace {

using FailsWhen = RuleRow::FailsWhen;

// One row a rule, in Rule's order. The memory bar is 3.8 in single
// precision, as the gigabytes are held; the frame time is the weighted
// average of the 3001-frame batches in milliseconds (five equal batches of
// more than about 1246 ms fail, about 2400 frames a second); the device's
// figure is the DeviceProblem found.
constexpr RuleRow ruleRows[ruleCount] = {
    {Rule::Clock, 1600.0, FailsWhen::Below, FigureKind::Whole, L" MHz", L"处理器主频",
     L"Processor clock"},
    {Rule::CpuScore, 80.0, FailsWhen::Below, FigureKind::Score, L"", L"CPU 分数", L"CPU score"},
    {Rule::OsVersion, 6 * 256 + 1, FailsWhen::AtOrBelow, FigureKind::Version, L"", L"系统版本",
     L"Windows version"},
    {Rule::Memory, static_cast<double>(3.8f), FailsWhen::Below, FigureKind::Gigabytes, L" GB",
     L"内存", L"Memory"},
    {Rule::FrameTime, 1000.0, FailsWhen::Above, FigureKind::Milliseconds, L" ms", L"帧时间",
     L"Frame time"},
    {Rule::Device, static_cast<double>(DeviceProblem::None), FailsWhen::Above, FigureKind::Device,
     L"", L"Direct3D 9 设备", L"Direct3D 9 device"},
};

constexpr bool RowsInRuleOrder() {
    for (std::size_t i = 0; i < ruleCount; ++i) {
        if (static_cast<std::size_t>(ruleRows[i].rule) != i) return false;
    }
    return true;
}
static_assert(RowsInRuleOrder(), "a row for each rule, in order");

// A figure that is not a number fails no rule.
bool Fails(const RuleRow& row, double figure) {
    switch (row.failsWhen) {
    case FailsWhen::Below: return figure < row.bar;
    case FailsWhen::AtOrBelow: return figure <= row.bar;
    case FailsWhen::Above: return figure > row.bar;
    }
    return false;
}

constexpr uint32_t versionPartLimit = 255;
constexpr double versionMajorStep = 256.0;


RuleRecord& RecordToWrite(CheckState& state, Rule rule) {
    return state.rules[static_cast<std::size_t>(rule)];
}

}  // namespace

const RuleRow& RuleRowOf(Rule rule) { return ruleRows[static_cast<std::size_t>(rule)]; }

const RuleRecord& RecordOf(const CheckState& state, Rule rule) {
    return state.rules[static_cast<std::size_t>(rule)];
}

bool RuleFails(Rule rule, double figure) { return Fails(RuleRowOf(rule), figure); }

bool RecordRule(CheckState& state, Rule rule, double figure) {
    RuleRecord& record = RecordToWrite(state, rule);
    record.figure = figure;
    if (record.outcome == Outcome::Failed) return false;
    bool failed = RuleFails(rule, figure);
    record.outcome = failed ? Outcome::Failed : Outcome::Passed;
    if (failed) state.canRunGame = false;
    return failed;
}

void RecordNotRead(CheckState& state, Rule rule) {
    RuleRecord& record = RecordToWrite(state, rule);
    if (record.outcome != Outcome::Failed) record.outcome = Outcome::NotRead;
}

void RecordUnanswered(CheckState& state, Rule rule) {
    RecordToWrite(state, rule).unanswered = true;
}

double ClockFigure(int32_t maxClockMegahertz) {
    return static_cast<double>(static_cast<uint32_t>(maxClockMegahertz));
}

double OsVersionFigure(uint32_t major, uint32_t minor) {
    return std::min(major, versionPartLimit) * versionMajorStep + std::min(minor, versionPartLimit);
}

uint32_t OsMajorOf(double figure) { return static_cast<uint32_t>(figure / versionMajorStep); }

uint32_t OsMinorOf(double figure) {
    return static_cast<uint32_t>(figure - OsMajorOf(figure) * versionMajorStep);
}

bool NoDeviceToMeasure(const CheckState& state) {
    return RecordOf(state, Rule::Device).outcome == Outcome::Failed;
}

Status ChooseStatus(const CheckState& state, float movingAverage) {
    if (NoDeviceToMeasure(state)) return Status::CannotRun;
    if (state.frameBatchAverage.average < settledBatchAverage ||
        movingAverage < settledMovingAverage) {
        return Status::Measuring;
    }
    return state.canRunGame ? Status::CanRun : Status::CannotRun;
}
