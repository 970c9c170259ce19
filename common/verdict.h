#pragma once

#include "common/check_state.h"

#include <cstdint>

// The verdict, all in one place: each rule's row (its bar and how a figure
// is judged against it) and what each rule found, kept in checkState.rules.
// checkState.canRunGame is derived from the outcomes: it starts true and the
// first failed outcome clears it for good. Four rules are recorded once at
// start-up by the probe, the device when start-up makes it (or finds none),
// and the frame-time rule on every timed frame once five batches exist.

// How a rule's figure and bar are written.
enum class FigureKind : uint8_t {
    Whole,         // 2096
    Score,         // as the CPU row writes it: 160.403
    Version,       // major.minor: 6.2
    Gigabytes,     // as few digits as tell the single-precision value: 3.7999992
    Milliseconds,  // as the GPU row writes it: 1203.456789
    Device,        // the DeviceProblem found
};

// Everything about a rule: its bar, how a figure is judged against it, and
// how the report names and writes it.
struct RuleRow {
    Rule rule;
    double bar;
    // The figure fails below the bar, at or below it, or above it.
    enum class FailsWhen : uint8_t { Below, AtOrBelow, Above } failsWhen;
    FigureKind kind;
    const wchar_t* unit;  // after the figure and the bar
    const wchar_t* chineseName;
    const wchar_t* englishName;
};

const RuleRow& RuleRowOf(Rule rule);

// What the rule has judged so far.
const RuleRecord& RecordOf(const CheckState& state, Rule rule);

// Judges figure by the rule's row and records it. A rule that failed stays
// failed (later figures are still recorded); every failure clears
// canRunGame. True when this figure is the rule's first failure.
bool RecordRule(CheckState& state, Rule rule, double figure);

// The figure could not be read (a failed WMI read): the rule is not judged.
void RecordNotRead(CheckState& state, Rule rule);

// The rule's WMI read was given up on, the service not answering in time:
// its outcome stands as recorded, and the report says why its figure is
// missing.
void RecordUnanswered(CheckState& state, Rule rule);

// The clock's figure: the leading number of its text, a signed 32-bit value
// compared unsigned, so a negative number is a very large clock and passes.
double ClockFigure(int32_t maxClockMegahertz);

// The version's figure: major x 256 + minor, as Windows numbers its
// versions (0x0601 for 6.1); each part capped at 255.
double OsVersionFigure(uint32_t major, uint32_t minor);
uint32_t OsMajorOf(double figure);
uint32_t OsMinorOf(double figure);

// Whether figure fails the rule, as RecordRule judges it.
bool RuleFails(Rule rule, double figure);

// Whether the device rule failed: no frame can be measured, and the window
// shows the report instead.
bool NoDeviceToMeasure(const CheckState& state);

// The frame figures count as settled, and the verdict is shown, once the
// batch average and the moving average have both reached these; the GPU row
// shows its figure once the batch average is above its bar.
constexpr double settledBatchAverage = 1.0;
constexpr float settledMovingAverage = 1.0f;

enum class Status : uint8_t {
    Measuring,  // "系统检测中请不要关闭!"
    CanRun,     // "您的机器可以正常运行游戏"
    CannotRun,  // "您的机器不能正常运行游戏"
};

// The status row: measuring until the batch average and the moving average
// both reach 1, then the verdict; without a device the negative verdict at
// once.
Status ChooseStatus(const CheckState& state, float movingAverage);
