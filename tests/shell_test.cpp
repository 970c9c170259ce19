// What the shell tells and decides from the check state: the report and the
// tooltip's lines in both languages, the taskbar's progress and the window's
// place on a table of screens.
#include "app/report_format.h"
#include "app/report_text.h"
#include "app/taskbar_progress.h"
#include "app/window_place.h"
#include "common/verdict.h"
#include "sample_state.h"
#include "text_lines.h"

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
    state.frameFailure = {1203.5, 118.3, 3012.4, 95.6, 900.0, {}};
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

// Without a device the frame rule never measures, and says why.
TEST(Report, AMissingDeviceLineSaysWhatIsMissing) {
    const struct { DeviceProblem problem; Language language; const wchar_t* line; } cases[] = {
        {DeviceProblem::NoDevice, Language::Chinese, L"Direct3D 9 设备：无，未通过"},
        {DeviceProblem::SceneObjects, Language::English,
         L"Direct3D 9 device: scene objects could not be made: failed"},
        {DeviceProblem::RowFonts, Language::English,
         L"Direct3D 9 device: the rows' fonts could not be made: failed"},
    };
    for (const auto& c : cases) {
        CheckState state;
        RecordRule(state, Rule::Device, DeviceFigure(c.problem));
        EXPECT_EQ(RuleLine(state, Rule::Device, c.language), c.line);
    }
    CheckState state;
    RecordRule(state, Rule::Device, DeviceFigure(DeviceProblem::NoDevice));
    EXPECT_EQ(RuleLine(state, Rule::FrameTime, Language::English),
              L"Frame time: -, needs at most 1000 ms: not measured (no device)");
    EXPECT_EQ(RuleLine(state, Rule::FrameTime, Language::Chinese),
              L"帧时间：—，要求不高于 1000 ms，未测量（没有设备）");
}

// A WMI read given up on keeps its outcome; the line says why there is no
// figure.
TEST(Report, ARuleWhoseReadWasNotAnsweredSaysSo) {
    CheckState state;
    RecordRule(state, Rule::Memory, 0.0);
    RecordUnanswered(state, Rule::Memory);
    EXPECT_EQ(RuleLine(state, Rule::Memory, Language::English),
              L"Memory: WMI did not answer in time, needs at least 3.8 GB: failed");
    EXPECT_EQ(RuleLine(state, Rule::Memory, Language::Chinese),
              L"内存：WMI 未及时响应，要求不低于 3.8 GB，未通过");
}

// Failed once, now under the bar: the failure first, then the figure now.
TEST(Report, AFrameRuleBackUnderItsBarPutsTheFailureFirst) {
    CheckState state = SettledState();
    state.frameFailure.average = 1112.863525;
    state.frameFailure.seconds = 24.6;
    RecordRule(state, Rule::FrameTime, 965.318555);
    EXPECT_EQ(RuleLine(state, Rule::FrameTime, Language::English),
              L"Frame time: failed at 1112.863525 ms at 24.6 s, needs at most 1000 ms; now "
              L"965.318555 ms");
    EXPECT_EQ(RuleLine(state, Rule::FrameTime, Language::Chinese),
              L"帧时间：1112.863525 ms（第 24.6 秒时），未通过，要求不高于 1000 ms；现在 965.318555 ms");
    RecordRule(state, Rule::FrameTime, 1000.0);  // at the bar: passes, so back under it
    EXPECT_EQ(RuleLine(state, Rule::FrameTime, Language::English).substr(0, 19),
              L"Frame time: failed ");
}

TEST(Report, EachDiagnosisSaysWhatToDoWithItsFigures) {
    CheckState state = SettledState();
    for (int i = 0; i < 6; ++i) state.fpsMovingAverage.window.push_back(37.5f);
    state.circumstances.graphics.adapter.refreshRate = 75;
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

namespace {

// Wine's card as Direct3D and WMI give it, a controller WMI tells nothing
// of, and a card Windows has stopped.
GraphicsSide SampleGraphics() {
    GraphicsSide graphics;
    MeasuredAdapter& adapter = graphics.adapter;
    adapter.read = true;
    adapter.description = L"NVIDIA GeForce GTX 470";
    adapter.driverFile = L"nvd3dum.dll";
    adapter.ids = {true, 0x10DE, 0x06CD};
    adapter.revision = 0xA1;
    adapter.driverVersion = (30ull << 48) | (14023ull << 16) | 3004;
    adapter.adapterCount = 1;
    adapter.width = 1024;
    adapter.height = 768;
    adapter.refreshRate = 60;
    graphics.controllers[0] = {L"NVIDIA GeForce GTX 470", {true, 0x10DE, 0x06CD},
                               L"30.0.14023.3004", L"20220101000000.000000+000", 0, L"OK",
                               1024 * 1024 * 1024};
    graphics.controllers[1] = VideoController{};
    graphics.controllers[2] = {L"NVIDIA GeForce GTX 1060 6GB", {true, 0x10DE, 0x1C03},
                               L"31.0.15.3623", L"", 43, L"Error", unknownNumber};
    graphics.controllerCount = 3;
    return graphics;
}

}  // namespace

TEST(Report, TheGraphicsSectionNamesTheMeasuredAdapterAndEachControllerMarkingTheMatch) {
    CheckState state;
    state.circumstances.graphics = SampleGraphics();
    ExpectLines(GraphicsLines(state, Language::English), {
        L"Graphics",
        L"Measured: NVIDIA GeForce GTX 470, 10de:06cd, subsystem 00000000, revision a1, driver "
        L"30.0.14023.3004 (nvd3dum.dll), display 1024 x 768 at 60 Hz, adapters in Direct3D: 1",
        L"WMI controller: NVIDIA GeForce GTX 470, 10de:06cd, driver 30.0.14023.3004 of 2022-01-01, "
        L"status OK, 1024 MB (measured)",
        L"WMI controller: unknown, unknown, driver unknown, status unknown",
        L"WMI controller: NVIDIA GeForce GTX 1060 6GB, 10de:1c03, driver 31.0.15.3623, status "
        L"Error, code 43",
    });
    ExpectLines(GraphicsLines(state, Language::Chinese), {
        L"显卡信息",
        L"检测所用：NVIDIA GeForce GTX 470，10de:06cd，子系统 00000000，修订 a1，驱动 "
        L"30.0.14023.3004（nvd3dum.dll），显示 1024 × 768 @ 60 Hz，Direct3D 列出 1 个显示适配器",
        L"WMI 显卡：NVIDIA GeForce GTX 470，10de:06cd，驱动 30.0.14023.3004（2022-01-01），状态 OK，"
        L"显存 1024 MB（即检测所用）",
        L"WMI 显卡：未知，未知，驱动 未知，状态 未知",
        L"WMI 显卡：NVIDIA GeForce GTX 1060 6GB，10de:1c03，驱动 31.0.15.3623，状态 Error，错误代码 43",
    });
    state.circumstances.graphics = GraphicsSide{};
    ExpectLines(GraphicsLines(state, Language::Chinese), {L"显卡信息", L"检测所用：未知", L"WMI 显卡：未列出"});
}

// What the sentences of the graphics side name: the card and its maker,
// the adapter measured, the stopped card's code, what it means and the
// remedy.
TEST(Report, EachGraphicsDiagnosisNamesTheCardsAndWhatToDo) {
    const auto line = [](GraphicsSide graphics, Diagnosis diagnosis, Language language) {
        CheckState state;
        state.circumstances.graphics = graphics;
        return DiagnosisLine(state, diagnosis, language);
    };
    GraphicsSide driverless = SampleGraphics();
    driverless.controllers[1] = {L"Microsoft Basic Display Adapter", {true, 0x10DE, 0x2484},
                                 L"", L"", 0, L"OK"};
    EXPECT_EQ(line(driverless, Diagnosis::NoGraphicsDriver, Language::English),
              L"The NVIDIA graphics card (10de:2484) runs on Windows' basic display driver, without "
              L"its own: install the NVIDIA graphics driver and check again.");
    const struct {
        const wchar_t* description;
        PciIds ids;
        Diagnosis diagnosis;
        Language language;
        const wchar_t* line;
    } measured[] = {
        {L"Microsoft Basic Render Driver", {true, 0x1414, 0x008C}, Diagnosis::NoGraphicsDriver,
         Language::Chinese,
         L"Direct3D 使用的是 Windows 的基本显示驱动（Microsoft Basic Render Driver），显卡没有驱动："
         L"请安装显卡厂商的驱动后重新检测。"},
        {L"llvmpipe (LLVM 15.0.6, 256 bits)", {true, 0x10DE, 0x06CD}, Diagnosis::NoGraphicsDriver,
         Language::English,
         L"Direct3D draws in software (llvmpipe (LLVM 15.0.6, 256 bits)), not on a graphics card: "
         L"install the graphics card's driver and check again."},
        {L"VMware SVGA 3D", {true, 0x15AD, 0x0405}, Diagnosis::VirtualMachine, Language::English,
         L"The check runs in a virtual machine (VMware SVGA 3D), whose graphics are emulated: run "
         L"the check on the computer itself."},
    };
    for (const auto& c : measured) {
        GraphicsSide graphics;
        graphics.adapter = {true, c.description, L"", c.ids};
        EXPECT_EQ(line(graphics, c.diagnosis, c.language), c.line);
    }
    const GraphicsSide stopped = SampleGraphics();
    EXPECT_EQ(line(stopped, Diagnosis::CardStopped, Language::English),
              L"Windows has stopped NVIDIA GeForce GTX 1060 6GB (10de:1c03, code 43: it reported "
              L"problems): reinstall its driver (from the card maker's site) and check again.");
    GraphicsSide disabled = stopped;
    disabled.controllers[2].errorCode = 22;
    EXPECT_EQ(line(disabled, Diagnosis::CardStopped, Language::English),
              L"Windows has stopped NVIDIA GeForce GTX 1060 6GB (10de:1c03, code 22: it is "
              L"disabled): enable it in Device Manager and check again.");
    GraphicsSide degraded = stopped;
    degraded.controllers[2].errorCode = 0;
    degraded.controllers[2].status = L"Degraded";
    EXPECT_EQ(line(degraded, Diagnosis::CardStopped, Language::English),
              L"Windows reports NVIDIA GeForce GTX 1060 6GB (10de:1c03) as \u201cDegraded\u201d: "
              L"reinstall its driver (from the card maker's site) and check again.");
    GraphicsSide twoCards = SampleGraphics();
    twoCards.adapter.description = L"Intel(R) UHD Graphics 630";
    twoCards.adapter.ids = {true, 0x8086, 0x3E92};
    EXPECT_EQ(line(twoCards, Diagnosis::AnotherGpu, Language::English),
              L"Direct3D named Intel(R) UHD Graphics 630 (8086:3e92) as the graphics this check ran "
              L"on, but the computer also has NVIDIA GeForce GTX 470 (10de:06cd). If that is the "
              L"card to play on: connect the monitor to the card's socket (a desktop), or choose "
              L"\u201cHigh performance\u201d for TarvoquinCheck.exe and the game in Windows' graphics "
              L"settings (a laptop), then check again.");
}

// The advice for the rules read from WMI and the operating system.
TEST(Report, EachFailedRuleHasASentenceThatSaysWhatItNeeds) {
    CheckState state;
    RecordRule(state, Rule::OsVersion, OsVersionFigure(6, 1));
    RecordRule(state, Rule::Clock, ClockFigure(1200));
    EXPECT_EQ(DiagnosisLine(state, Diagnosis::OldWindows, Language::English),
              L"The game needs Windows 8 or later; Windows 7 (6.1) is not supported: upgrade "
              L"Windows to play.");
    EXPECT_EQ(DiagnosisLine(state, Diagnosis::OldWindows, Language::Chinese),
              L"游戏需要 Windows 8 或更高版本，本机的 Windows 7 (6.1) 不受支持：请升级 Windows 后再玩。");
    EXPECT_EQ(DiagnosisLine(state, Diagnosis::SlowProcessor, Language::English),
              L"The game needs a processor of at least 1600 MHz; this one's top clock is 1200 MHz: "
              L"it needs a faster processor.");
    EXPECT_EQ(DiagnosisLine(state, Diagnosis::LittleMemory, Language::Chinese),
              L"游戏需要 Windows 可用的内存不少于 3.8 GB（即装有 4 GB 或以上内存）：请加装内存后再玩。");
    const struct { uint32_t major, minor; const wchar_t* release; } releases[] = {
        {5, 1, L"Windows XP (5.1)"}, {6, 0, L"Windows Vista (6.0)"}, {4, 10, L"Windows 4.10"}};
    for (const auto& release : releases) {
        CheckState old;
        RecordRule(old, Rule::OsVersion, OsVersionFigure(release.major, release.minor));
        EXPECT_NE(DiagnosisLine(old, Diagnosis::OldWindows, Language::English).find(release.release),
                  std::wstring::npos) << release.release;
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
    expected.push_back(L"The game needs at least 3.8 GB of memory that Windows can use (4 GB or "
                       L"more installed): add memory to play.");
    expected.insert(expected.end(), {L"", L"Graphics", L"Measured: unknown",
                                     L"WMI controller: none listed", L"TarvoquinCheck 1.0.0"});
    ExpectLines(Lines(text), expected);
    EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
}

// The rules and diagnoses as the report has them, then how to copy it.
TEST(Report, TheTooltipEndsWithHowToCopyTheReport) {
    const std::vector<std::wstring> lines = TipLines(SettledState(), Language::English);
    EXPECT_EQ(lines.size(), englishRules.size() + 3);  // the stall, the memory, then the hint
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
        {{0, 0, 800, 600}, 1.25f, false},   // scaled, but the window just fits
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

// The tooltip's long sentences, in lines a screen holds.
TEST(Report, LongLinesWrapAtSpacesOrBesideWideCharactersWithinTheirColumns) {
    const struct { const wchar_t* text; std::size_t columns; std::vector<std::wstring> lines; } cases[] = {
        {L"close other programs and check again", 16, {L"close other", L"programs and", L"check again"}},
        {L"exactly sixteen!", 16, {L"exactly sixteen!"}},
        {L"abcdefghij", 4, {L"abcd", L"efgh", L"ij"}},  // no break: where the line is full
        {L"请关闭其他程序", 6, {L"请关闭", L"其他程", L"序"}},
        {L"GPU 显卡驱动", 7, {L"GPU 显", L"卡驱动"}},
        {L"\xFFE6" L"a\x1100", 2, {L"\xFFE6", L"a", L"\x1100"}},  // the wide ranges' last and first
        {L"请", 1, {L"请"}},  // wider than the line: placed whole
        {L"", 8, {L""}},
    };
    for (const auto& c : cases) ExpectLines(WrappedLines(c.text, c.columns), c.lines);
    // U+20000, wide, as a pair of UTF-16 units: kept whole.
    const std::wstring pair = {wchar_t(0xD840), wchar_t(0xDC00)};
    ExpectLines(WrappedLines(L"a" + pair, 2), {L"a", pair});
    ExpectLines(WrappedLines(L"ab" + pair.substr(1), 2), {L"ab", pair.substr(1)});
}
