#include "app/report_text.h"

#include "common/verdict.h"
#include "scene/overlay.h"
#include "stats/meters.h"

#include <charconv>
#include <initializer_list>
#include <iterator>

namespace {

constexpr uint16_t primaryLanguageMask = 0x3FF;
constexpr uint16_t chineseLanguage = 0x04;  // LANG_CHINESE

// "{}" in a pattern takes the next argument.
struct Texts {
    const wchar_t* ruleWithBar;     // name, figure, the comparison, bar, outcome
    const wchar_t* ruleWithoutBar;  // name, figure, outcome
    const wchar_t* passesWhen[3];   // by RuleRow::FailsWhen: below, at or below, above
    const wchar_t* outcomes[4];     // by Outcome
    const wchar_t* notRead;         // the figure of a rule not read
    const wchar_t* batchesSoFar;    // batches held, frames so far
    const wchar_t* firstFailure;    // seconds, milliseconds
    const wchar_t* devices[3];      // by DeviceProblem
    const wchar_t* diagnoses[diagnosisCount];
    const wchar_t* copyHint;
};

const Texts chineseTexts = {
    L"{}：{}，要求{} {}，{}",
    L"{}：{}，{}",
    {L"不低于", L"高于", L"不高于"},
    {L"测量中", L"通过", L"未通过", L"未读到（不计入结论）"},
    L"—",
    L"已测 {}/5 批（{} 帧）",
    L"（首次于第 {} 秒，{} ms）",
    {L"已创建", L"无", L"场景对象无法创建"},
    {
        L"第 {} 秒时有一帧用了 {} 毫秒（电脑停顿了一下）：请关闭其他程序后重新检测。",
        L"垂直同步或帧率限制把帧率锁在每秒 {} 帧：请在显卡驱动设置中为本检测关闭它。",
        L"CPU 测试时其他程序占用了 {}% 的处理器时间，CPU 分数因此偏低：请关闭其他程序后重新检测。",
        L"电脑正在使用电池：请接上电源后重新检测。",
        L"远程桌面会话中没有 Direct3D 9 设备：请直接在这台电脑上运行检测。",
        L"没有 Direct3D 9 设备：请安装或更新显卡驱动。",
        L"显卡无法创建检测场景：请更新显卡驱动后重新检测。",
    },
    L"按 Ctrl+C 复制检测报告。",
};

const Texts englishTexts = {
    L"{}: {}, needs {} {}: {}",
    L"{}: {}: {}",
    {L"at least", L"above", L"at most"},
    {L"measuring", L"passed", L"failed", L"not read (not judged)"},
    L"-",
    L"{} of 5 batches ({} frames)",
    L" (first at {} s, at {} ms)",
    {L"made", L"none", L"scene objects could not be made"},
    {
        L"A frame at {} s took {} ms (the computer stalled): close other programs and check again.",
        L"Vertical sync or a frame limiter holds the rate at {} frames a second: switch it off in "
        L"the graphics driver's settings for this check.",
        L"Other programs used {}% of the processor while the CPU was measured, so the score reads "
        L"low: close them and check again.",
        L"The computer runs on battery: plug it in and check again.",
        L"A remote desktop session has no Direct3D 9 device: run the check at the computer itself.",
        L"There is no Direct3D 9 device: install or update the graphics driver.",
        L"The graphics card could not make the check's scene: update the graphics driver and "
        L"check again.",
    },
    L"Press Ctrl+C to copy this report.",
};

// The rows in the report's order, as the window draws them.
constexpr OverlayText reportRows[] = {
    OverlayText::AdapterLine, OverlayText::CpuLine,     OverlayText::OsLine,
    OverlayText::MemoryLine,  OverlayText::FpsFigure,   OverlayText::CpuFigure,
    OverlayText::FpsmaFigure, OverlayText::StatusLine,  OverlayText::GpuFigure,
};
static_assert(std::size(reportRows) == overlayRowCount, "every row in the report");

constexpr int scoreDecimals = 3;         // as the CPU row
constexpr int millisecondsDecimals = 6;  // as the GPU row
constexpr int secondsDecimals = 1;
constexpr int wholeDecimals = 0;
const wchar_t* const lineEnd = L"\r\n";
const wchar_t* const programName = L"TarvoquinCheck ";

const Texts& TextsOf(Language language) {
    return language == Language::Chinese ? chineseTexts : englishTexts;
}

std::wstring Widened(const char* first, const char* last) { return std::wstring(first, last); }

std::wstring Fixed(double value, int decimals) {
    char digits[400];
    auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed,
                                decimals);
    return Widened(digits, result.ptr);
}

// As few digits as tell the single-precision value apart.
std::wstring Shortest(float value) {
    char digits[64];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    return Widened(digits, result.ptr);
}

std::wstring Fill(const wchar_t* pattern, std::initializer_list<std::wstring> arguments) {
    std::wstring text;
    auto argument = arguments.begin();
    for (const wchar_t* c = pattern; *c != L'\0'; ++c) {
        if (c[0] == L'{' && c[1] == L'}' && argument != arguments.end()) {
            text += *argument++;
            ++c;
        } else {
            text += *c;
        }
    }
    return text;
}

std::wstring VersionText(double figure) {
    return std::to_wstring(OsMajorOf(figure)) + L"." + std::to_wstring(OsMinorOf(figure));
}

std::wstring FigureText(const RuleRow& row, double figure, const Texts& texts) {
    switch (row.kind) {
    case FigureKind::Whole: return Fixed(figure, wholeDecimals) + row.unit;
    case FigureKind::Score: return Fixed(figure, scoreDecimals) + row.unit;
    case FigureKind::Version: return VersionText(figure) + row.unit;
    case FigureKind::Gigabytes: return Shortest(static_cast<float>(figure)) + row.unit;
    case FigureKind::Milliseconds: return Fixed(figure, millisecondsDecimals) + row.unit;
    case FigureKind::Device: return texts.devices[static_cast<std::size_t>(figure)];
    }
    return {};
}

std::wstring BarText(const RuleRow& row) {
    if (row.kind == FigureKind::Version) return VersionText(row.bar) + row.unit;
    return Shortest(static_cast<float>(row.bar)) + row.unit;
}

// While the frame rule measures, how far its batches are.
std::wstring MeasuredText(const CheckState& state, const RuleRow& row, const RuleRecord& record,
                          const Texts& texts) {
    if (record.outcome == Outcome::Passed || record.outcome == Outcome::Failed) {
        return FigureText(row, record.figure, texts);
    }
    if (record.outcome == Outcome::NotRead || row.rule != Rule::FrameTime) return texts.notRead;
    const FrameBatchAverage& batch = state.frameBatchAverage;
    return Fill(texts.batchesSoFar, {std::to_wstring(batch.batches.size()),
                                     std::to_wstring(TimedFramesSoFar(batch))});
}

std::wstring OutcomeText(const CheckState& state, Rule rule, Outcome outcome, const Texts& texts) {
    std::wstring text = texts.outcomes[static_cast<std::size_t>(outcome)];
    if (rule == Rule::FrameTime && outcome == Outcome::Failed) {
        const FrameFailure& failure = state.frameFailure;
        text += Fill(texts.firstFailure, {Fixed(failure.seconds, secondsDecimals),
                                          Fixed(failure.average, millisecondsDecimals)});
    }
    return text;
}

std::wstring RowText(const CheckState& state, OverlayText shown, float movingAverage) {
    OverlayTexts texts;
    texts.movingAverage = movingAverage;
    for (const OverlayRow& row : overlayRows) {
        if (row.text == shown) return PrepareOverlayRow(row, texts, state).text;
    }
    return {};
}

// The rules in Rule's order, then the diagnoses that apply.
void AddRuleAndDiagnosisLines(std::vector<std::wstring>& lines, const CheckState& state,
                              Language language) {
    for (std::size_t rule = 0; rule < ruleCount; ++rule) {
        lines.push_back(RuleLine(state, static_cast<Rule>(rule), language));
    }
    const Diagnoses found = Diagnose(state);
    for (std::size_t i = 0; i < found.count; ++i) {
        lines.push_back(DiagnosisLine(state, found.items[i], language));
    }
}

}  // namespace

Language LanguageFor(uint16_t uiLanguage) {
    return (uiLanguage & primaryLanguageMask) == chineseLanguage ? Language::Chinese
                                                                 : Language::English;
}

std::wstring RuleLine(const CheckState& state, Rule rule, Language language) {
    const Texts& texts = TextsOf(language);
    const RuleRow& row = RuleRowOf(rule);
    const RuleRecord& record = state.rules[static_cast<std::size_t>(rule)];
    const wchar_t* name = language == Language::Chinese ? row.chineseName : row.englishName;
    const std::wstring measured = MeasuredText(state, row, record, texts);
    const std::wstring outcome = OutcomeText(state, rule, record.outcome, texts);
    if (row.kind == FigureKind::Device) return Fill(texts.ruleWithoutBar, {name, measured, outcome});
    const wchar_t* passesWhen = texts.passesWhen[static_cast<std::size_t>(row.failsWhen)];
    return Fill(texts.ruleWithBar, {name, measured, passesWhen, BarText(row), outcome});
}

std::wstring DiagnosisLine(const CheckState& state, Diagnosis diagnosis, Language language) {
    const wchar_t* pattern = TextsOf(language).diagnoses[static_cast<std::size_t>(diagnosis)];
    switch (diagnosis) {
    case Diagnosis::Stall:
        return Fill(pattern, {Fixed(state.frameFailure.slowestSeconds, secondsDecimals),
                              Fixed(state.frameFailure.slowestMilliseconds, wholeDecimals)});
    case Diagnosis::FrameRateCap:
        return Fill(pattern, {Shortest(CappedFrameRate(state.fpsMovingAverage,
                                                       state.circumstances.refreshRate))});
    case Diagnosis::BusyProcessor:
        return Fill(pattern, {std::to_wstring(OthersPercent(state.circumstances.duringWorkloads))});
    default: return pattern;
    }
}

std::vector<std::wstring> TipLines(const CheckState& state, Language language) {
    std::vector<std::wstring> lines;
    AddRuleAndDiagnosisLines(lines, state, language);
    lines.push_back(TextsOf(language).copyHint);
    return lines;
}

std::wstring ReportText(const CheckState& state, float movingAverage, Language language,
                        const wchar_t* version) {
    std::vector<std::wstring> lines;
    for (OverlayText row : reportRows) lines.push_back(RowText(state, row, movingAverage));
    lines.emplace_back();
    AddRuleAndDiagnosisLines(lines, state, language);
    lines.push_back(programName + std::wstring(version));
    std::wstring text;
    for (const std::wstring& line : lines) text += line + lineEnd;
    return text;
}
