#include "allocation_count.h"
#include "common/check_state.h"
#include "render/adapter_line.h"
#include "render/cube.h"
#include "render/overlay.h"
#include "stats/meters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <tuple>
#include <string>
#include <vector>


namespace {
struct Vec { float x, y, z; };
template <std::size_t N> struct Guarded { wchar_t line[N]; wchar_t guard = L'!'; };
Vec Corner(int i) { return {cubeVertices[i].x, cubeVertices[i].y, cubeVertices[i].z}; }
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

const wchar_t* const measuring = L"系统检测中请不要关闭!";
const wchar_t* const positive = L"您的机器可以正常运行游戏";
const wchar_t* const negative = L"您的机器不能正常运行游戏";

CheckState SampleState(double batchAverage, bool canRunGame = true) {
    CheckState state;
    std::tie(state.canRunGame, state.fpsCounter.fps, state.cpuScore) = std::tuple(canRunGame, 59.94f, 123.4567f);
    std::tie(state.cpuLine, state.osLine, state.memoryLine) = std::tuple(L"CPU：Test", L"Windows 10", L"内存: 8G");
    state.frameBatchAverage.average = batchAverage;
    BuildAdapterLine(state.adapterLine, L"Test GPU");
    return state;
}

// Text, top, font, format and colour of a drawn row.
using Drawn = std::tuple<std::wstring, int32_t, int32_t, uint32_t, uint32_t>;

// The rows of one frame whose moving-average step gives movingAverage.
std::vector<Drawn> DrawRows(const CheckState& state, float movingAverage) {
    OverlayTexts texts;
    std::vector<Drawn> drawn;
    for (const OverlayRow& row : overlayRows) {
        if (row.text == OverlayText::MovingAverage) texts.movingAverage = movingAverage;
        if (row.text == OverlayText::MovingAverage) continue;
        OverlayDraw draw = PrepareOverlayRow(row, texts, state);
        drawn.push_back({draw.text, row.top, row.font, row.format, draw.colour});
    }
    return drawn;
}
}  // namespace

TEST(Cube, EachFaceIsClockwiseFromOutsideAndRepeatsTheImageTwiceOrOnce) {
    EXPECT_TRUE(sizeof cubeVertices == 480 && sizeof cubeIndices == 72 && cubeTriangleCount * 3 == cubeIndexCount);
    // Outward normals in table order: front (z = -10), back, top, bottom, left, right.
    const Vec normals[6] = {{0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};
    for (int i = 0; i < 24; ++i) {
        Vec c = Corner(i);
        EXPECT_EQ(std::fabs(c.x) + std::fabs(c.y) + std::fabs(c.z), 30.0f) << i;
        EXPECT_EQ(Dot(c, normals[i / 4]), 10.0f) << "vertex " << i;
        const float s = i < 16 ? 2.0f : 1.0f, u[4] = {0, s, s, 0}, v[4] = {0, 0, s, s};
        EXPECT_TRUE(cubeVertices[i].u == u[i % 4] && cubeVertices[i].v == v[i % 4]) << i;
    }
    for (uint32_t t = 0; t < cubeTriangleCount; ++t) {
        const uint16_t* k = &cubeIndices[3 * t];
        ASSERT_TRUE(k[0] / 4 == t / 2 && k[1] / 4 == t / 2 && k[2] / 4 == t / 2) << t;
        // Left-handed: (b - a) x (c - a) faces whoever sees a, b, c clockwise.
        Vec n = Cross(Sub(Corner(k[1]), Corner(k[0])), Sub(Corner(k[2]), Corner(k[0])));
        EXPECT_EQ(Dot(n, normals[t / 2]), 400.0f) << "triangle " << t;  // half the face, no overlap
    }
    for (int face = 0; face < 6; ++face) {  // two triangles meeting along a diagonal cover the face
        const uint16_t* k = &cubeIndices[6 * face];
        std::vector<int> shared;
        for (int i = 0; i < 3; ++i)
            if (std::count(k + 3, k + 6, k[i])) shared.push_back(k[i]);
        ASSERT_EQ(shared.size(), 2u) << face;
        Vec diagonal = Sub(Corner(shared[0]), Corner(shared[1]));
        EXPECT_EQ(Dot(diagonal, diagonal), 800.0f) << face;
    }
    // pi, pi/2 and pi/3 per second in single precision, not reduced.
    EXPECT_TRUE(CubeAngleX(1000) == 3.1415927f && CubeAngleY(1000) == 1.5707964f && CubeAngleZ(1000) == 1.0471976f);
    EXPECT_TRUE(CubeAngleX(12000) == 37.6991158f && CubeAngleY(12000) == 18.8495579f && CubeAngleZ(12000) == 12.5663729f);
}

TEST(Overlay, DrawsTheRowsInOrderWithTheirTopsFontsFormatsAndColours) {
    const uint32_t right = 0x002, left = 0x000, line = 0x120;
    const uint32_t figure = 0xFF87EF88, text = 0xFF00EF88, pink = 0xFFEB7BE6, red = 0xFFFF0000;
    const std::vector<Drawn> expected = {
        {L"FPS:59.940", 0, 1, right, figure},
        {L"当前显卡型号：Test GPU", 0, 1, left, text},
        {L"CPU：Test", 30, 1, line, text},
        {L"CPU:123.457", 30, 1, right, figure},
        {L"FPSMA:计算中...", 60, 1, right, figure},
        {L"操作系统: Windows 10", 60, 1, line, text},
        {L"内存: 8G", 90, 1, line, text},
        {measuring, 500, 2, line, pink},
        {L"GPU: 计算中...", 550, 2, line, red}};
    EXPECT_EQ(DrawRows(SampleState(0.0), 0.0f), expected);
    // The status shows the verdict once both meters reach 1; "GPU:" once above 1.
    const float belowOne = std::nextafter(1.0f, 0.0f);
    const struct { double average; float movingAverage; bool canRunGame; const wchar_t* status;
                   uint32_t colour; const wchar_t *fpsma, *gpu; } cases[] = {
        {1.0, 1.0f, true, positive, pink, L"FPSMA:1.000", L"GPU: 计算中..."},
        {1.0, 1.0f, false, negative, red, L"FPSMA:1.000", L"GPU: 计算中..."},
        {1500.0, belowOne, false, measuring, pink, L"FPSMA:1.000", L"GPU: 1500.000000"},
        {std::nextafter(1.0, 0.0), 60.0f, false, measuring, pink, L"FPSMA:60.000", L"GPU: 计算中..."},
        {std::nextafter(1.0, 2.0), 60.0f, false, negative, red, L"FPSMA:60.000", L"GPU: 1.000000"},
        {12.5, 0.5f, true, measuring, pink, L"FPSMA:0.500", L"GPU: 12.500000"},
        {12.5, 59.94f, true, positive, pink, L"FPSMA:59.940", L"GPU: 12.500000"},
    };
    for (const auto& c : cases) {
        std::vector<Drawn> rows = DrawRows(SampleState(c.average, c.canRunGame), c.movingAverage);
        EXPECT_EQ(std::get<0>(rows[4]), c.fpsma);
        EXPECT_EQ(std::get<0>(rows[7]), c.status) << c.average << " " << c.movingAverage;
        EXPECT_EQ(std::get<4>(rows[7]), c.colour) << c.average << " " << c.movingAverage;
        EXPECT_EQ(std::get<0>(rows[8]), c.gpu);
    }
}

TEST(Overlay, WithoutADeviceTheStatusIsTheNegativeVerdictInRedAtOnce) {
    CheckState state;
    RecordMissingDevice(state);
    EXPECT_FALSE(state.canRunGame);
    const StatusLine status = ChooseStatusLine(state, 0.0f);
    EXPECT_STREQ(status.text, negative);
    EXPECT_EQ(status.colour, 0xFFFF0000u);
}

TEST(Overlay, TheReportReadsTheMovingAverageWithoutCountingAFrame) {
    FpsMovingAverage average;
    for (int i = 0; i < 6; ++i) average.window.push_back(50.0f + i);
    EXPECT_EQ(MovingAverageOf(average), 52.5f);
    EXPECT_EQ(average.frames, 0);
    average.window.pop_front();
    EXPECT_EQ(MovingAverageOf(average), 0.0f);  // five readings are not yet an average
}

TEST(Overlay, WritesFiguresInFixedNotationOrInfWhenTheyDoNotFit) {
    const struct { const wchar_t* prefix; double value; int decimals; std::size_t capacity;
                   const wchar_t* expected; } cases[] = {
        {L"FPS:", HUGE_VAL, 3, 20, L"FPS:inf"}, {L"FPS:", -HUGE_VAL, 3, 20, L"FPS:-inf"},
        {L"FPSMA:", std::nan(""), 3, 20, L"FPSMA:nan"}, {L"CPU:", 1e12f, 3, 20, L"CPU:inf"},
        {L"CPU:", 1e11f, 3, 20, L"CPU:99999997952.000"},  // the float widened
        {L"CPU:", -1e11f, 3, 20, L"CPU:-inf"}, {L"FPSMA:", 1e9f, 3, 20, L"FPSMA:inf"},
        {L"FPSMA:", 999999936.0f, 3, 20, L"FPSMA:999999936.000"},
        {L"FPS:", 99999999999.999, 3, 20, L"FPS:99999999999.999"},
        {L"FPS:", 99999999999.9996, 3, 20, L"FPS:inf"},  // rounding adds a digit
        {L"GPU: ", -0.0015, 6, 256, L"GPU: -0.001500"}, {L"GPU: ", DBL_MAX, 6, 256, L"GPU: inf"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[lineTextCapacity + 1];
        std::fill(std::begin(buffer), std::end(buffer), L'#');
        FormatFigure(buffer, c.capacity, c.prefix, c.value, c.decimals);
        EXPECT_TRUE(std::wstring(buffer) == c.expected && buffer[c.capacity] == L'#') << c.value;
    }
}

TEST(Overlay, CutsTheAdapterAndOsLinesToTheirBuffersNeverHalfAPair) {
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)}, last = {wchar_t(0xDBFF), wchar_t(0xDFFF)};
    const std::wstring a50(50, L'A'), z247(247, L'z'), z248(248, L'z');
    const struct { bool adapter; std::wstring text, shown; } cases[] = {  // 52 and 249 characters fit
        {true, L"", L""}, {true, a50 + L"BC", a50 + L"BC"}, {true, a50 + L"BCD", a50 + L"BC"},
        {true, std::wstring(600, L'x'), std::wstring(52, L'x')}, {true, a50 + L"B" + last, a50 + L"B"},
        {true, a50 + pair + L"Z", a50 + pair}, {false, std::wstring(249, L'x'), std::wstring(249, L'x')},
        {false, std::wstring(5000, L'y'), std::wstring(249, L'y')}, {false, z248 + pair, z248},
        {false, z247 + pair + L"more", z247 + pair}, {false, z248 + last, z248},
        {false, L"x" + last.substr(0, 1), L"x" + last.substr(0, 1)},  // not cut: kept as it is
    };
    for (const auto& c : cases) {
        Guarded<adapterLineCapacity> adapter;
        Guarded<lineTextCapacity> os;
        std::fill(std::begin(adapter.line), std::end(adapter.line), L'#');
        if (c.adapter) BuildAdapterLine(adapter.line, c.text.c_str());
        else FormatOsLine(os.line, c.text);
        EXPECT_EQ(std::wstring(c.adapter ? adapter.line : os.line),
                  (c.adapter ? L"当前显卡型号：" : L"操作系统: ") + c.shown) << c.text.size();
        EXPECT_TRUE(adapter.guard == L'!' && os.guard == L'!');
        std::size_t used = 7 + c.shown.size();  // the adapter line's rest is cleared
        EXPECT_TRUE(!c.adapter || std::count(adapter.line + used, std::end(adapter.line), L'\0') == long(160 - used));
    }
}

TEST(Overlay, FormattingFramesAndTickingTheMetersAllocatesNothing) {
    CheckState state = SampleState(1e300);
    state.osLine.assign(400, L'o');
    state.cpuScore = HUGE_VALF;
    OverlayTexts texts;
    std::size_t before = allocationCount;
    std::wstring counted(100, L'x');  // the counter sees an allocation
    EXPECT_EQ(allocationCount, ++before);
    for (int frame = 0; frame < 20000; ++frame) {  // fills both queues
        const float seconds = 1.0f + 0.01f * static_cast<float>(frame);
        TickFpsCounterAt(state.fpsCounter, seconds);
        for (const OverlayRow& row : overlayRows) {
            if (row.text == OverlayText::MovingAverage)
                texts.movingAverage = UpdateFpsMovingAverageAt(state.fpsMovingAverage, seconds);
            else
                PrepareOverlayRow(row, texts, state);
        }
        AddTimedFrame(state.frameBatchAverage, 0.5, state.canRunGame);
    }
    EXPECT_TRUE(allocationCount == before && state.frameBatchAverage.average > 0.0) << allocationCount - before;
}
