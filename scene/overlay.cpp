#include "scene/overlay.h"

#include "common/verdict.h"
#include "scene/bounded_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

// Heights 20 + 3 x index. No row is drawn with font 0: it is made and
// released with the others (its failure fails nothing), so that the rows'
// font numbers and heights keep their places.
const RowFace rowFaces[rowFaceCount] = {
    {L"华文中宋", 20},
    {L"微软雅黑", 23},
    {L"黑体", 26},
};

constexpr OverlayRow overlayRows[overlayRowCount] = {
    {OverlayText::FpsFigure, 0, 1, textRight, figureColour},
    {OverlayText::AdapterLine, 0, 1, textLeft, lineColour},
    {OverlayText::CpuLine, 30, 1, textSingleLine | textNoClip, lineColour},
    {OverlayText::CpuFigure, 30, 1, textRight, figureColour},
    {OverlayText::FpsmaFigure, 60, 1, textRight, figureColour},
    {OverlayText::OsLine, 60, 1, textSingleLine | textNoClip, lineColour},
    {OverlayText::MemoryLine, 90, 1, textSingleLine | textNoClip, lineColour},
    {OverlayText::StatusLine, 500, 2, textSingleLine | textNoClip, 0},
    {OverlayText::GpuFigure, 550, 2, textSingleLine | textNoClip, alertColour},
};

static_assert(overlayRows[fpsmaRow].text == OverlayText::FpsmaFigure, "the frame splits the rows there");
static_assert(overlayRows[statusRow].text == OverlayText::StatusLine, "the status row");
static_assert(overlayRows[statusRow + 1].text == OverlayText::GpuFigure, "the row below it");

namespace {

constexpr wchar_t fpsFigurePrefix[] = L"FPS:";
constexpr wchar_t cpuFigurePrefix[] = L"CPU:";  // an ASCII colon, unlike the CPU line's
constexpr wchar_t fpsmaFigurePrefix[] = L"FPSMA:";
constexpr wchar_t fpsmaMeasuring[] = L"FPSMA:计算中...";
constexpr wchar_t osPrefix[] = L"操作系统: ";
constexpr wchar_t gpuPrefix[] = L"GPU: ";
constexpr wchar_t gpuMeasuring[] = L"GPU: 计算中...";

struct StatusText {
    const wchar_t* text;
    uint32_t colour;
};
// By Status: measuring, can run, cannot run.
constexpr StatusText statusTexts[] = {
    {L"系统检测中请不要关闭!", measuringColour},
    {L"您的机器可以正常运行游戏", measuringColour},
    {L"您的机器不能正常运行游戏", alertColour},
};
static_assert(static_cast<int>(Status::CannotRun) == 2, "a text for each status, in order");

// Six decimals of the largest double take 317 characters.
constexpr std::size_t digitsCapacity = 400;

void CopyText(wchar_t* out, std::size_t capacity, const wchar_t* text) {
    AppendBounded(out, capacity, 0, text);
}

}  // namespace

RowBand StatusRowBand(int32_t clientHeight, bool scaledFromBackBuffer) {
    const int32_t top = overlayRows[statusRow].top;
    const int32_t bottom = overlayRows[statusRow + 1].top;
    if (!scaledFromBackBuffer) return {top, bottom};
    const auto scaled = [clientHeight](int32_t y) {
        return static_cast<int32_t>(static_cast<int64_t>(y) * clientHeight / windowHeight);
    };
    return {scaled(top), scaled(bottom)};
}

void FormatFigure(wchar_t* out, std::size_t capacity, const wchar_t* prefix, double value,
                  int decimals) {
    char digits[digitsCapacity];
    std::to_chars_result result = std::to_chars(digits, digits + digitsCapacity, value,
                                                std::chars_format::fixed, decimals);
    std::size_t used = AppendBounded(out, capacity, 0, prefix);
    std::size_t length = static_cast<std::size_t>(result.ptr - digits);
    if (result.ec != std::errc() || used + length >= capacity) {
        const char* overflow = std::signbit(value) ? "-inf" : "inf";
        AppendBoundedAscii(out, capacity, used, overflow, std::strlen(overflow));
        return;
    }
    AppendBoundedAscii(out, capacity, used, digits, length);
}

void FormatOsRow(wchar_t (&out)[lineTextCapacity], const std::wstring& osLine) {
    std::size_t used = AppendBounded(out, lineTextCapacity, 0, osPrefix);
    AppendBounded(out, lineTextCapacity, used, osLine.c_str());
}

OverlayDraw PrepareOverlayRow(const OverlayRow& row, OverlayTexts& texts, const CheckState& state) {
    switch (row.text) {
    case OverlayText::FpsFigure:
        FormatFigure(texts.fps, figureTextCapacity, fpsFigurePrefix, state.fpsCounter.fps, figureDecimals);
        return {texts.fps, row.colour};
    case OverlayText::AdapterLine:
        return {state.adapterLine, row.colour};
    case OverlayText::CpuLine:
        return {state.cpuLine.c_str(), row.colour};
    case OverlayText::CpuFigure:
        FormatFigure(texts.cpu, figureTextCapacity, cpuFigurePrefix, state.cpuScore, figureDecimals);
        return {texts.cpu, row.colour};
    case OverlayText::FpsmaFigure:
        if (texts.movingAverage > noMovingAverage) {
            FormatFigure(texts.fpsma, figureTextCapacity, fpsmaFigurePrefix, texts.movingAverage,
                         figureDecimals);
        } else {
            CopyText(texts.fpsma, figureTextCapacity, fpsmaMeasuring);
        }
        return {texts.fpsma, row.colour};
    case OverlayText::OsLine:
        FormatOsRow(texts.line, state.osLine);
        return {texts.line, row.colour};
    case OverlayText::MemoryLine:
        return {state.memoryLine.c_str(), row.colour};
    case OverlayText::StatusLine: {
        // The measuring text goes through the line buffer, the verdicts not.
        Status status = ChooseStatus(state, texts.movingAverage);
        const StatusText& shown = statusTexts[static_cast<std::size_t>(status)];
        if (status != Status::Measuring) return {shown.text, shown.colour};
        CopyText(texts.line, lineTextCapacity, shown.text);
        return {texts.line, shown.colour};
    }
    case OverlayText::GpuFigure:
        if (state.frameBatchAverage.average > settledBatchAverage) {
            FormatFigure(texts.line, lineTextCapacity, gpuPrefix, state.frameBatchAverage.average,
                         gpuFigureDecimals);
        } else {
            CopyText(texts.line, lineTextCapacity, gpuMeasuring);
        }
        return {texts.line, row.colour};
    }
    return {L"", row.colour};
}
