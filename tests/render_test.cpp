#include "common/check_state.h"
#include "render/adapter_line.h"
#include "render/cube.h"
#include "render/overlay.h"
#include "render_allocations.h"
#include "stats/meters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

struct Vec {
    float x, y, z;
};
Vec Corner(int i) { return {cubeVertices[i].x, cubeVertices[i].y, cubeVertices[i].z}; }
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// Outward normals in table order: front, back, top, bottom, left, right.
const Vec faceNormals[6] = {{0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};

}  // namespace

TEST(CubeTables, TrianglesAreClockwiseFromOutsideOnTheirOwnFace) {
    EXPECT_EQ(sizeof cubeVertices, 480u);
    EXPECT_EQ(sizeof cubeIndices, 72u);
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(std::fabs(Corner(i).x) + std::fabs(Corner(i).y) + std::fabs(Corner(i).z), 30.0f);
        EXPECT_EQ(Dot(Corner(i), faceNormals[i / 4]), 10.0f) << "vertex " << i;
    }
    const int pattern[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 36; ++i) EXPECT_EQ(cubeIndices[i], 4 * (i / 6) + pattern[i % 6]) << i;
    for (int t = 0; t < 12; ++t) {
        const uint16_t* corner = &cubeIndices[3 * t];
        // Left-handed: (b - a) x (c - a) faces whoever sees a, b, c clockwise.
        Vec normal = Cross(Sub(Corner(corner[1]), Corner(corner[0])),
                           Sub(Corner(corner[2]), Corner(corner[0])));
        EXPECT_EQ(Dot(normal, faceNormals[t / 2]), 400.0f) << "triangle " << t;
    }
}

TEST(CubeTables, ImageRepeatsTwiceOnFrontBackTopBottomAndOnceOnTheSides) {
    for (int f = 0; f < 6; ++f) {
        const float s = f < 4 ? 2.0f : 1.0f;
        const float u[4] = {0, s, s, 0};
        const float v[4] = {0, 0, s, s};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(cubeVertices[4 * f + k].u, u[k]) << "face " << f;
            EXPECT_EQ(cubeVertices[4 * f + k].v, v[k]) << "face " << f;
        }
    }
}

TEST(CubeAngles, TurnAtPiHalfPiAndThirdPiPerSecondInSinglePrecision) {
    EXPECT_EQ(CubeAngleX(1000), 3.1415927f);
    EXPECT_EQ(CubeAngleY(1000), 1.5707964f);
    EXPECT_EQ(CubeAngleZ(1000), 1.0471976f);
    // Not reduced; 12000 x 0.001f rounds to 12.000001f (in double the X
    // angle would come to 37.6991119f).
    EXPECT_EQ(CubeAngleX(12000), 37.6991158f);
    EXPECT_EQ(CubeAngleZ(12000), 12.5663729f);
}

TEST(AdapterLine, IsThePrefixAndTheDescriptionCutToFiftyNineCharacters) {
    for (std::size_t length : {0u, 52u, 53u, 600u}) {
        std::wstring description;
        for (std::size_t i = 0; i < length; ++i) description += wchar_t(L'A' + i % 26);
        struct {
            wchar_t line[adapterLineCapacity];
            wchar_t guard = L'!';
        } buffer;
        std::fill(std::begin(buffer.line), std::end(buffer.line), L'#');
        BuildAdapterLine(buffer.line, description.c_str());
        EXPECT_EQ(std::wstring(buffer.line), L"当前显卡型号：" + description.substr(0, 52));
        std::size_t used = std::min<std::size_t>(7 + length, 59);
        EXPECT_EQ(std::count(buffer.line + used, buffer.line + adapterLineCapacity, L'\0'),
                  static_cast<long>(adapterLineCapacity - used));
        EXPECT_EQ(buffer.guard, L'!');
    }
}

namespace {

CheckState SampleState(double batchAverage) {
    CheckState state;
    state.fpsCounter.fps = 59.94f;
    state.cpuScore = 123.4567f;
    state.cpuLine = L"CPU型号: Test";
    state.osLine = L"Windows 10";
    state.memoryLine = L"内存: 8 GB";
    state.frameBatchAverage.average = batchAverage;
    BuildAdapterLine(state.adapterLine, L"Test GPU");
    return state;
}

// The drawn rows of a frame whose moving-average step returns movingAverage.
std::vector<std::wstring> DrawRows(const CheckState& state, float movingAverage,
                                   uint32_t* statusColour = nullptr) {
    OverlayTexts texts;
    std::vector<std::wstring> drawn;
    for (const OverlayRow& row : overlayRows) {
        if (row.text == OverlayText::MovingAverage) {
            texts.movingAverage = movingAverage;
            continue;
        }
        OverlayDraw draw = PrepareOverlayRow(row, texts, state);
        if (row.text == OverlayText::StatusLine && statusColour) *statusColour = draw.colour;
        drawn.push_back(draw.text);
    }
    return drawn;
}

}  // namespace

TEST(OverlayRows, WhileMeasuringShowTheFiguresAndPlaceholders) {
    const std::vector<std::wstring> expected = {
        L"FPS:59.940", L"当前显卡型号：Test GPU", L"CPU型号: Test", L"CPU:123.457",
        L"FPSMA:计算中...", L"操作系统: Windows 10", L"内存: 8 GB", L"系统检测中请不要关闭!",
        L"GPU: 计算中..."};
    EXPECT_EQ(DrawRows(SampleState(0.0), 0.0f), expected);
    std::vector<std::wstring> settled = DrawRows(SampleState(12.5), 59.94f);
    EXPECT_EQ(settled[4], L"FPSMA:59.940");
    EXPECT_EQ(settled[8], L"GPU: 12.500000");
    // A positive moving average below 1 is shown while the status still measures.
    std::vector<std::wstring> slow = DrawRows(SampleState(800.0), 0.5f);
    EXPECT_EQ(slow[4], L"FPSMA:0.500");
    EXPECT_EQ(slow[7], L"系统检测中请不要关闭!");
}

TEST(OverlayRows, StatusShowsTheVerdictOnlyOnceBothMetersReachOne) {
    const wchar_t* measuring = L"系统检测中请不要关闭!";
    const wchar_t* positive = L"您的机器可以正常运行游戏";
    const wchar_t* negative = L"您的机器不能正常运行游戏";
    const struct {
        double average;
        float movingAverage;
        bool canRunGame;
        const wchar_t* status;
        uint32_t colour;
        const wchar_t* gpu;
    } cases[] = {
        {1.0, 1.0f, true, positive, 0xFFEB7BE6, L"GPU: 计算中..."},
        {1.0, 1.0f, false, negative, 0xFFFF0000, L"GPU: 计算中..."},
        {1500.0, std::nextafter(1.0f, 0.0f), false, measuring, 0xFFEB7BE6, L"GPU: 1500.000000"},
        {std::nextafter(1.0, 0.0), 60.0f, false, measuring, 0xFFEB7BE6, L"GPU: 计算中..."},
        {std::nextafter(1.0, 2.0), 60.0f, false, negative, 0xFFFF0000, L"GPU: 1.000000"},
    };
    for (const auto& c : cases) {
        CheckState state = SampleState(c.average);
        state.canRunGame = c.canRunGame;
        uint32_t colour = 0;
        std::vector<std::wstring> rows = DrawRows(state, c.movingAverage, &colour);
        EXPECT_EQ(rows[7], c.status) << c.average << " " << c.movingAverage;
        EXPECT_EQ(colour, c.colour) << c.average << " " << c.movingAverage;
        EXPECT_EQ(rows[8], c.gpu);
    }
}

TEST(FigureFormatting, WritesFixedNotationOrInfWhenTheFigureDoesNotFit) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const wchar_t* prefix;
        double value;
        int decimals;
        std::size_t capacity;
        const wchar_t* expected;
    } cases[] = {
        {L"FPS:", inf, 3, 20, L"FPS:inf"},
        {L"FPS:", -inf, 3, 20, L"FPS:-inf"},
        {L"FPSMA:", std::nan(""), 3, 20, L"FPSMA:nan"},
        // Widened floats: 1e11f is 99999997952, 1e12f 999999995904.
        {L"CPU:", 1e11f, 3, 20, L"CPU:99999997952.000"},
        {L"CPU:", 1e12f, 3, 20, L"CPU:inf"},
        {L"CPU:", -1e11f, 3, 20, L"CPU:-inf"},
        {L"FPSMA:", 999999936.0f, 3, 20, L"FPSMA:999999936.000"},
        {L"FPSMA:", 1e9f, 3, 20, L"FPSMA:inf"},
        {L"FPS:", 99999999999.999, 3, 20, L"FPS:99999999999.999"},
        {L"FPS:", 99999999999.9996, 3, 20, L"FPS:inf"},  // rounding adds a digit
        {L"GPU: ", 5e243, 6, 256, L"GPU: inf"},
        {L"GPU: ", DBL_MAX, 6, 256, L"GPU: inf"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[lineTextCapacity + 1];
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        FormatFigure(buffer, c.capacity, c.prefix, c.value, c.decimals);
        EXPECT_EQ(std::wstring(buffer), c.expected) << c.value;
        EXPECT_EQ(buffer[c.capacity], L'#');
    }
}

TEST(FigureFormatting, MatchesPrintfUpToTheWholeLine) {
    for (double value : {59.94, 12.5, 0.0005, 0.0015, -3.25, 1e-7, -0.0, 5e242}) {
        for (int decimals : {3, 6}) {
            char expected[300];
            std::snprintf(expected, sizeof expected, decimals == 3 ? "%0.3f" : "%f", value);
            wchar_t buffer[lineTextCapacity];
            FormatFigure(buffer, lineTextCapacity, L"GPU: ", value, decimals);
            EXPECT_EQ(std::wstring(buffer), L"GPU: " + std::wstring(expected, expected + std::strlen(expected)));
        }
    }
}

TEST(OsLine, HoldsTwoHundredFortyNineCharactersAndNeverHalfAPair) {
    struct {
        wchar_t line[lineTextCapacity];
        wchar_t guard = L'!';
    } buffer;
    FormatOsLine(buffer.line, std::wstring(249, L'x'));
    EXPECT_EQ(std::wstring(buffer.line), L"操作系统: " + std::wstring(249, L'x'));
    FormatOsLine(buffer.line, std::wstring(5000, L'y'));
    EXPECT_EQ(std::wstring(buffer.line), L"操作系统: " + std::wstring(249, L'y'));
    FormatOsLine(buffer.line, std::wstring(248, L'z') + wchar_t(0xD83D) + wchar_t(0xDE00));
    EXPECT_EQ(std::wstring(buffer.line), L"操作系统: " + std::wstring(248, L'z'));
    EXPECT_EQ(buffer.guard, L'!');
}

TEST(FrameAllocations, FormattingFramesAndTickingTheMetersAllocatesNothing) {
    CheckState state = SampleState(1e300);
    state.osLine.assign(400, L'o');
    state.cpuScore = std::numeric_limits<float>::infinity();
    OverlayTexts texts;
    std::size_t before = allocationCount;
    std::wstring counted(100, L'x');  // the counter sees an allocation
    EXPECT_EQ(allocationCount, before + 1);
    before = allocationCount;
    for (int frame = 0; frame < 20000; ++frame) {  // fills both queues
        const float seconds = 1.0f + 0.01f * static_cast<float>(frame);
        TickFpsCounterAt(state.fpsCounter, seconds);
        for (const OverlayRow& row : overlayRows) {
            if (row.text == OverlayText::MovingAverage) {
                texts.movingAverage = UpdateFpsMovingAverageAt(state.fpsMovingAverage, seconds);
            } else {
                PrepareOverlayRow(row, texts, state);
            }
        }
        AddTimedFrame(state.frameBatchAverage, 0.5, state.canRunGame);
    }
    EXPECT_EQ(allocationCount, before);
    EXPECT_GT(state.frameBatchAverage.average, 0.0);
}
