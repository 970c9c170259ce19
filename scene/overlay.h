#pragma once

#include "common/check_state.h"
#include "common/window_size.h"
#include "drawkit/text_layout.h"

#include <cstddef>
#include <cstdint>
#include <string>


// ARGB colours of the frame.
constexpr uint32_t backgroundColour = 0xFF646464;
constexpr uint32_t figureColour = 0xFF87EF88;
constexpr uint32_t lineColour = 0xFF00EF88;
constexpr uint32_t measuringColour = 0xFFEB7BE6;  // also the positive verdict
constexpr uint32_t alertColour = 0xFFFF0000;

// The faces of the rows' three fonts, by index (the rows name theirs), and
// their heights; all of one weight, in the default character set.
struct RowFace {
    const wchar_t* face;
    int32_t height;
};
constexpr std::size_t rowFaceCount = 3;
extern const RowFace rowFaces[rowFaceCount];
constexpr int32_t rowFontWeight = 1000;

// Where a character a row's face lacks is drawn from on the device (GDI's
// glyph reads link no fonts): every Windows 10 and 11 has one of them,
// whatever its language, and both hold the Chinese of the rows.
constexpr const wchar_t* fallbackFaces[] = {L"微软雅黑", L"宋体"};

enum class OverlayText : uint8_t {
    FpsFigure,
    AdapterLine,
    CpuLine,
    CpuFigure,
    FpsmaFigure,
    OsLine,
    MemoryLine,
    StatusLine,
    GpuFigure,
};

struct OverlayRow {
    OverlayText text;
    int32_t top;
    int32_t font;
    uint32_t format;
    uint32_t colour;  // the status row decides its colour per frame
};

// The rows in the order they are drawn. The frame reads the moving average
// between the first rows and the FPSMA figure, the first row to show it.
constexpr std::size_t overlayRowCount = 9;
constexpr std::size_t fpsmaRow = 4;
constexpr std::size_t statusRow = 7;
extern const OverlayRow overlayRows[overlayRowCount];

// The band the status row takes, from its top to the GPU row's, in client
// pixels: scaled from the back buffer where Direct3D draws the rows, as laid
// out where GDI draws the report on the client area itself.
struct RowBand {
    int32_t top;
    int32_t bottom;
};
RowBand StatusRowBand(int32_t clientHeight, bool scaledFromBackBuffer);

// The decimals of the figures: "%0.3f" for FPS, CPU and FPSMA, "%f" for
// GPU. The report writes the rules' figures as the rows do.
constexpr int figureDecimals = 3;
constexpr int gpuFigureDecimals = 6;

constexpr std::size_t figureTextCapacity = 20;
constexpr std::size_t lineTextCapacity = 256;

// The text buffers of a frame, and the moving average read part way through
// the rows (the FPSMA figure and the status row show it).
struct OverlayTexts {
    wchar_t fps[figureTextCapacity] = {};
    wchar_t cpu[figureTextCapacity] = {};
    wchar_t fpsma[figureTextCapacity] = {};
    wchar_t line[lineTextCapacity] = {};
    float movingAverage = 0.0f;
};

struct OverlayDraw {
    const wchar_t* text;
    uint32_t colour;
};

// prefix followed by value in fixed notation with the given decimals. A
// figure too long for the buffer is written as "inf" ("-inf" below zero):
// cutting its digits would show a wrong number.
void FormatFigure(wchar_t* out, std::size_t capacity, const wchar_t* prefix, double value,
                  int decimals);

// The operating-system row: "操作系统: " and the probe's line, cut to the
// buffer.
void FormatOsRow(wchar_t (&out)[lineTextCapacity], const std::wstring& osLine);

// Formats the row's text into the frame's buffers where it needs formatting
// and returns what to draw. Allocates nothing.
OverlayDraw PrepareOverlayRow(const OverlayRow& row, OverlayTexts& texts, const CheckState& state);
