#pragma once

#include "common/check_state.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The rows are laid out in back-buffer pixels; Direct3D scales the back
// buffer onto the client area.
constexpr uint32_t backBufferWidth = 800;
constexpr uint32_t backBufferHeight = 600;

// Text formats of the rows, as DrawText reads them (checked against the
// platform's values where that builds).
constexpr uint32_t overlayTextLeft = 0x000;  // DT_LEFT | DT_TOP
constexpr uint32_t overlayTextRight = 0x002;  // DT_RIGHT
constexpr uint32_t overlayTextSingleLine = 0x120;  // DT_SINGLELINE | DT_NOCLIP

// ARGB colours of the frame.
constexpr uint32_t backgroundColour = 0xFF646464;
constexpr uint32_t figureColour = 0xFF87EF88;
constexpr uint32_t lineColour = 0xFF00EF88;
constexpr uint32_t measuringColour = 0xFFEB7BE6;  // also the positive verdict
constexpr uint32_t alertColour = 0xFFFF0000;

// The overlay's three fonts, by index (the rows name theirs): face and
// height, all of the same weight and the default character set.
struct OverlayFont {
    const wchar_t* face;
    int32_t height;
};
constexpr std::size_t overlayFontCount = 3;
extern const OverlayFont overlayFonts[overlayFontCount];
constexpr uint32_t overlayFontWeight = 1000;

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

// "操作系统: " and the operating-system line, cut to the buffer.
void FormatOsLine(wchar_t (&out)[lineTextCapacity], const std::wstring& osLine);

// Formats the row's text into the frame's buffers where it needs formatting
// and returns what to draw. Allocates nothing.
OverlayDraw PrepareOverlayRow(const OverlayRow& row, OverlayTexts& texts, const CheckState& state);
