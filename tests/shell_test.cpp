// What the shell tells and decides from the check state: the report and the
// tooltip's lines in both languages, the taskbar's progress and the window's
// place on a table of screens.
#include "app/report_text.h"
#include "app/taskbar_progress.h"
#include "app/window_place.h"
#include "common/verdict.h"
#include "report_lines.h"
#include "sample_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

double DeviceFigure(DeviceProblem problem) { return static_cast<double>(problem); }

// Settled on "cannot run": the memory and the frame rule failed.
CheckState SettledState() {
    CheckState state = SampleState();
    RecordRule(state, Rule::Clock, ClockFigure(2096));
    RecordRule(state, Rule::CpuScore, state.cpuScore);
    RecordRule(state, Rule::OsVersion, OsVersionFigure(6, 2));
    RecordRule(state, Rule::Memory, 3.799999237060547f);
    RecordRule(state, Rule::Device, DeviceFigure(DeviceProblem::None));
    state.frameBatchAverage.average = 20106.123;
    RecordRule(state, Rule::FrameTime, 20106.123);
    state.frameFailure = {1203.5, 118.3, 3012.4, 95.6, 900.0};
    return state;
}

std::vector<std::wstring> RuleLines(const CheckState& state, Language language) {
    std::vector<std::wstring> lines;
    for (std::size_t rule = 0; rule < ruleCount; ++rule) {
        lines.push_back(RuleLine(state, static_cast<Rule>(rule), language));
    }
    return lines;
}

void ExpectLines(const std::vector<std::wstring>& shown, const std::vector<std::wstring>& expected) {
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(shown[i], expected[i]) << "line " << i;
}

const std::vector<std::wstring> englishRules = {
    L"Processor clock: 2096 MHz, needs at least 1600 MHz: passed",
    L"CPU score: 123.457, needs at least 80: passed",
    L"Windows version: 6.2, needs above 6.1: passed",
    L"Memory: 3.7999992 GB, needs at least 3.8 GB: failed",
    L"Frame time: 20106.123000 ms, needs at most 1000 ms: failed (first at 118.3 s, at "
    L"1203.500000 ms)",
    L"Direct3D 9 device: made: passed",
};

}  // namespace

TEST(Report, ChineseIsForEveryChineseInterfaceLanguageEnglishForTheRest) {
    const struct { uint16_t language; Language chosen; } cases[] = {
        {0x0804, Language::Chinese}, {0x0404, Language::Chinese}, {0x0C04, Language::Chinese},
        {0x1004, Language::Chinese}, {0x0409, Language::English}, {0x0411, Language::English},
        {0x0412, Language::English}, {0x0000, Language::English}};
    for (const auto& c : cases) EXPECT_EQ(LanguageFor(c.language), c.chosen) << c.language;
}

TEST(Report, EachRuleLineGivesTheFigureTheBarAndTheOutcome) {
    ExpectLines(RuleLines(SettledState(), Language::English), englishRules);
    const std::vector<std::wstring> chinese = RuleLines(SettledState(), Language::Chinese);
    EXPECT_EQ(chinese[std::size_t(Rule::Memory)], L"内存：3.7999992 GB，要求不低于 3.8 GB，未通过");
    EXPECT_EQ(chinese[std::size_t(Rule::FrameTime)],
              L"帧时间：20106.123000 ms，要求不高于 1000 ms，未通过（首次于第 118.3 秒，1203.500000 ms）");
}

// While measuring, the frame rule says how far its batches are.
TEST(Report, ARuleNotReadOrStillMeasuringSaysSo) {
    CheckState state;
    RecordNotRead(state, Rule::Clock);
    for (int i = 0; i < 2; ++i) state.frameBatchAverage.batches.push_back(700.0);
    state.frameBatchAverage.frames = 3;
    const struct { Rule rule; Language language; const wchar_t* line; } cases[] = {
        {Rule::Clock, Language::English,
         L"Processor clock: -, needs at least 1600 MHz: not read (not judged)"},
        {Rule::FrameTime, Language::English,
         L"Frame time: 2 of 5 batches (6005 frames), needs at most 1000 ms: measuring"},
        {Rule::FrameTime, Language::Chinese, L"帧时间：已测 2/5 批（6005 帧），要求不高于 1000 ms，测量中"},
    };
    for (const auto& c : cases) EXPECT_EQ(RuleLine(state, c.rule, c.language), c.line);
}

TEST(Report, AMissingDeviceLineSaysWhatIsMissing) {
    const struct { DeviceProblem problem; Language language; const wchar_t* line; } cases[] = {
        {DeviceProblem::NoDevice, Language::Chinese, L"Direct3D 9 设备：无，未通过"},
        {DeviceProblem::SceneObjects, Language::English,
         L"Direct3D 9 device: scene objects could not be made: failed"},
    };
    for (const auto& c : cases) {
        CheckState state;
        RecordRule(state, Rule::Device, DeviceFigure(c.problem));
        EXPECT_EQ(RuleLine(state, Rule::Device, c.language), c.line);
    }
}

TEST(Report, EachDiagnosisSaysWhatToDoWithItsFigures) {
    CheckState state = SettledState();
    for (int i = 0; i < 6; ++i) state.fpsMovingAverage.window.push_back(37.5f);
    state.circumstances.refreshRate = 75.0f;
    state.circumstances.duringWorkloads = {900, 2000};
    const struct { Diagnosis diagnosis; Language language; const wchar_t* line; } cases[] = {
        {Diagnosis::Stall, Language::English,
         L"A frame at 95.6 s took 3012 ms (the computer stalled): close other programs and check "
         L"again."},
        {Diagnosis::Stall, Language::Chinese,
         L"第 95.6 秒时有一帧用了 3012 毫秒（电脑停顿了一下）：请关闭其他程序后重新检测。"},
        {Diagnosis::FrameRateCap, Language::English,
         L"Vertical sync or a frame limiter holds the rate at 37.5 frames a second: switch it off "
         L"in the graphics driver's settings for this check."},
        {Diagnosis::BusyProcessor, Language::Chinese,
         L"CPU 测试时其他程序占用了 45% 的处理器时间，CPU 分数因此偏低：请关闭其他程序后重新检测。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DiagnosisLine(state, c.diagnosis, c.language), c.line) << int(c.diagnosis);
    }
}

// The rows in the report's order, each as the window shows it.
TEST(Report, TheCopiedReportIsTheRowsThenTheRulesTheDiagnosesAndTheVersion) {
    CheckState state = SettledState();
    state.circumstances.acLineStatus = 0;
    const std::wstring text = ReportText(state, 60.0f, Language::English, L"1.0.0");
    std::vector<std::wstring> expected = {
        L"当前显卡型号：Test GPU", L"CPU：Test", L"操作系统: Windows 10", L"内存: 8G",
        L"FPS:59.940", L"CPU:123.457", L"FPSMA:60.000", L"您的机器不能正常运行游戏",
        L"GPU: 20106.123000", L""};
    expected.insert(expected.end(), englishRules.begin(), englishRules.end());
    expected.push_back(L"A frame at 95.6 s took 3012 ms (the computer stalled): close other "
                       L"programs and check again.");
    expected.push_back(L"The computer runs on battery: plug it in and check again.");
    expected.push_back(L"TarvoquinCheck 1.0.0");
    ExpectLines(Lines(text), expected);
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
}

// The rules and diagnoses as the report has them, then how to copy it.
TEST(Report, TheTooltipEndsWithHowToCopyTheReport) {
    const std::vector<std::wstring> lines = TipLines(SettledState(), Language::English);
    EXPECT_EQ(lines.size(), englishRules.size() + 2);  // the stall, then the hint
    EXPECT_EQ(lines.back(), L"Press Ctrl+C to copy this report.");
    EXPECT_EQ(TipLines(SettledState(), Language::Chinese).back(), L"按 Ctrl+C 复制检测报告。");
}

TEST(Taskbar, ShowsTheTimedFramesDoneThenFullMarkedByTheVerdict) {
    CheckState measuring;
    for (int i = 0; i < 2; ++i) measuring.frameBatchAverage.batches.push_back(700.0);
    measuring.frameBatchAverage.frames = 100;
    CheckState batchesDone = measuring;  // the moving average still to come
    for (int i = 0; i < 3; ++i) batchesDone.frameBatchAverage.batches.push_back(700.0);
    batchesDone.frameBatchAverage.average = 600.0;
    CheckState canRun = batchesDone;
    CheckState cannotRun = batchesDone;
    RecordRule(cannotRun, Rule::Memory, 1.0);
    CheckState noDevice;
    RecordRule(noDevice, Rule::Device, DeviceFigure(DeviceProblem::NoDevice));
    const struct { CheckState state; float movingAverage; TaskbarProgress progress; } cases[] = {
        {measuring, 0.0f, {6102, 15005, false}}, {batchesDone, 0.0f, {15005, 15005, false}},
        {canRun, 60.0f, {15005, 15005, false}}, {cannotRun, 60.0f, {15005, 15005, true}},
        {noDevice, 0.0f, {15005, 15005, true}},
    };
    for (const auto& c : cases) {
        const TaskbarProgress shown = TaskbarProgressOf(c.state, c.movingAverage);
        EXPECT_EQ(shown.done, c.progress.done);
        EXPECT_EQ(shown.total, c.progress.total);
        EXPECT_EQ(shown.error, c.progress.error);
    }
    EXPECT_FALSE(TaskbarProgressOf(measuring, 0.0f) == TaskbarProgressOf(canRun, 60.0f));
    EXPECT_TRUE(TaskbarProgressOf(cannotRun, 60.0f) == TaskbarProgressOf(noDevice, 0.0f));
}

// Work areas as a program that is not DPI-aware is shown them.
TEST(WindowPlace, StaysAt200By50WhereItFitsOtherwiseMovesJustEnough) {
    const struct { ScreenBox workArea; WindowPlace place; } screens[] = {
        {{0, 0, 1280, 984}, {200, 50}},
        {{60, 0, 1280, 1024}, {200, 50}},    // a taskbar on the left
        {{300, 0, 1280, 1024}, {300, 50}},   // a wide one
        {{0, 0, 1093, 614}, {200, 14}},      // 1366 x 768 at 125 %, no taskbar
        {{0, 0, 800, 600}, {0, 0}},
        {{0, 40, 800, 600}, {0, 40}},        // a taskbar at the top: the title stays on screen
        {{-1280, 0, 0, 1024}, {-800, 50}},   // a monitor left of the main one
    };
    for (const auto& screen : screens) {
        const WindowPlace place = PlaceWindow(screen.workArea);
        EXPECT_EQ(place.x, screen.place.x) << screen.workArea.left << "," << screen.workArea.bottom;
        EXPECT_EQ(place.y, screen.place.y) << screen.workArea.left << "," << screen.workArea.bottom;
    }
}

TEST(WindowPlace, AScaledScreenTooSmallForTheWindowIsUsedInItsOwnPixels) {
    const struct { ScreenBox workArea; float scale; bool ownPixels; } screens[] = {
        {{0, 0, 1093, 574}, 1.25f, true},   // 1366 x 768 at 125 %, less the taskbar
        {{0, 0, 1093, 614}, 1.25f, false},  // the same without a taskbar: it fits
        {{0, 0, 799, 900}, 1.5f, true},
        {{0, 0, 800, 560}, 1.0f, false},    // 800 x 600 unscaled: nothing to gain
        {{0, 40, 1093, 614}, 1.25f, true},  // the taskbar at the top
    };
    for (const auto& screen : screens) {
        EXPECT_EQ(NeedsScreenPixels(screen.workArea, screen.scale), screen.ownPixels)
            << screen.workArea.right << "x" << screen.workArea.bottom;
    }
    EXPECT_EQ(ScreenScale(1, 2), 2.0f);  // any height told is taken
    EXPECT_EQ(ScreenScale(2, 1), 0.5f);
    EXPECT_EQ(ScreenScale(0, 768), 1.0f);
    EXPECT_EQ(ScreenScale(768, 0), 1.0f);
}
