#include "app/report_text.h"

#include "app/report_format.h"
#include "common/verdict.h"
#include "scene/overlay.h"
#include "stats/meters.h"

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
    const wchar_t* unanswered;      // the figure of a rule whose WMI read was given up on
    const wchar_t* batchesSoFar;    // batches held, of how many, frames so far
    const wchar_t* firstFailure;    // seconds, milliseconds
    // A failed rule whose figure is back under its bar: name, the figure it
    // failed on, seconds, the comparison, bar, the figure now.
    const wchar_t* failedBefore;
    const wchar_t* notMeasured;     // the frame rule's outcome without a device
    const wchar_t* devices[4];      // by DeviceProblem
    const wchar_t* copyHint;
};

const Texts chineseTexts = {
    L"{}：{}，要求{} {}，{}",
    L"{}：{}，{}",
    {L"不低于", L"高于", L"不高于"},
    {L"测量中", L"通过", L"未通过", L"未读到（不计入结论）"},
    L"—",
    L"WMI 未及时响应",
    L"已测 {}/{} 批（{} 帧）",
    L"（首次于第 {} 秒，{} ms）",
    L"{}：{}（第 {} 秒时），未通过，要求{} {}；现在 {}",
    L"未测量（没有设备）",
    {L"已创建", L"无", L"场景对象无法创建", L"行文字的字体无法创建"},
    L"按 Ctrl+C 复制检测报告。",
};

const Texts englishTexts = {
    L"{}: {}, needs {} {}: {}",
    L"{}: {}: {}",
    {L"at least", L"above", L"at most"},
    {L"measuring", L"passed", L"failed", L"not read (not judged)"},
    L"-",
    L"WMI did not answer in time",
    L"{} of {} batches ({} frames)",
    L" (first at {} s, at {} ms)",
    L"{}: failed at {} at {} s, needs {} {}; now {}",
    L"not measured (no device)",
    {L"made", L"none", L"scene objects could not be made", L"the rows' fonts could not be made"},
    L"Press Ctrl+C to copy this report.",
};

// The rows in the report's order, as the window draws them.
constexpr OverlayText reportRows[] = {
    OverlayText::AdapterLine, OverlayText::CpuLine,     OverlayText::OsLine,
    OverlayText::MemoryLine,  OverlayText::FpsFigure,   OverlayText::CpuFigure,
    OverlayText::FpsmaFigure, OverlayText::StatusLine,  OverlayText::GpuFigure,
};
static_assert(std::size(reportRows) == overlayRowCount, "every row in the report");

const wchar_t* const lineEnd = L"\r\n";
const wchar_t* const programName = L"TarvoquinCheck ";

const Texts& TextsOf(Language language) {
    return language == Language::Chinese ? chineseTexts : englishTexts;
}

std::wstring VersionText(double figure) {
    return std::to_wstring(OsMajorOf(figure)) + L"." + std::to_wstring(OsMinorOf(figure));
}

std::wstring FigureText(const RuleRow& row, double figure, const Texts& texts) {
    switch (row.kind) {
    case FigureKind::Whole: return Fixed(figure, wholeDecimals) + row.unit;
    case FigureKind::Score: return Fixed(figure, figureDecimals) + row.unit;
    case FigureKind::Version: return VersionText(figure) + row.unit;
    case FigureKind::Gigabytes: return Shortest(static_cast<float>(figure)) + row.unit;
    case FigureKind::Milliseconds: return Fixed(figure, gpuFigureDecimals) + row.unit;
    case FigureKind::Device: return texts.devices[static_cast<std::size_t>(figure)];
    }
    return {};
}

std::wstring BarText(const RuleRow& row) {
    if (row.kind == FigureKind::Version) return VersionText(row.bar) + row.unit;
    return Shortest(static_cast<float>(row.bar)) + row.unit;
}

// The figure judged; why there is none; while the frame rule measures, how
// far its batches are.
std::wstring MeasuredText(const CheckState& state, const RuleRow& row, const RuleRecord& record,
                          const Texts& texts) {
    if (record.unanswered) return texts.unanswered;
    if (record.outcome == Outcome::Passed || record.outcome == Outcome::Failed) {
        return FigureText(row, record.figure, texts);
    }
    if (record.outcome == Outcome::NotRead || row.rule != Rule::FrameTime ||
        NoDeviceToMeasure(state)) {
        return texts.notRead;
    }
    const FrameBatchAverage& batch = state.frameBatchAverage;
    return Fill(texts.batchesSoFar, {std::to_wstring(batch.batches.size()),
                                     std::to_wstring(averagedBatches),
                                     std::to_wstring(TimedFramesSoFar(batch))});
}

std::wstring OutcomeText(const CheckState& state, Rule rule, Outcome outcome, const Texts& texts) {
    if (rule == Rule::FrameTime && outcome == Outcome::Measuring && NoDeviceToMeasure(state)) {
        return texts.notMeasured;
    }
    std::wstring text = texts.outcomes[static_cast<std::size_t>(outcome)];
    if (rule == Rule::FrameTime && outcome == Outcome::Failed) {
        const FrameFailure& failure = state.frameFailure;
        text += Fill(texts.firstFailure, {Fixed(failure.seconds, secondsDecimals),
                                          Fixed(failure.average, gpuFigureDecimals)});
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

std::wstring RuleFigureText(Rule rule, double figure, Language language) {
    return FigureText(RuleRowOf(rule), figure, TextsOf(language));
}

std::wstring RuleBarText(Rule rule) { return BarText(RuleRowOf(rule)); }

std::wstring RuleLine(const CheckState& state, Rule rule, Language language) {
    const Texts& texts = TextsOf(language);
    const RuleRow& row = RuleRowOf(rule);
    const RuleRecord& record = RecordOf(state, rule);
    const wchar_t* name = language == Language::Chinese ? row.chineseName : row.englishName;
    const std::wstring measured = MeasuredText(state, row, record, texts);
    const std::wstring outcome = OutcomeText(state, rule, record.outcome, texts);
    if (row.kind == FigureKind::Device) return Fill(texts.ruleWithoutBar, {name, measured, outcome});
    const wchar_t* passesWhen = texts.passesWhen[static_cast<std::size_t>(row.failsWhen)];
    // The frame rule fails for good; once its figure is back under the bar,
    // the failure comes first so that the line does not read as a
    // contradiction.
    if (rule == Rule::FrameTime && record.outcome == Outcome::Failed &&
        !RuleFails(rule, record.figure)) {
        const FrameFailure& failure = state.frameFailure;
        return Fill(texts.failedBefore,
                    {name, FigureText(row, failure.average, texts),
                     Fixed(failure.seconds, secondsDecimals), passesWhen, BarText(row), measured});
    }
    return Fill(texts.ruleWithBar, {name, measured, passesWhen, BarText(row), outcome});
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
    lines.emplace_back();
    const std::vector<std::wstring> graphics = GraphicsLines(state, language);
    lines.insert(lines.end(), graphics.begin(), graphics.end());
    lines.push_back(programName + std::wstring(version));
    std::wstring text;
    for (const std::wstring& line : lines) text += line + lineEnd;
    return text;
}
