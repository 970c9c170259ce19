#include "common/check_state.h"
#include "drawkit/matrix.h"
#include "expect_matrix.h"
#include "sample_state.h"
#include "scene/adapter_line.h"
#include "scene/bounded_text.h"
#include "scene/camera.h"
#include "scene/cube.h"
#include "scene/overlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Vec = Vector3;
Vec Corner(int i) { return {cubeVertices[i].x, cubeVertices[i].y, cubeVertices[i].z}; }
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// Outward normals in table order: front (z = -10), back, top, bottom, left, right.
const Vec normals[6] = {{0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}};

// The texts of the rows of one frame whose moving average is movingAverage.
std::vector<std::wstring> RowTexts(const CheckState& state, float movingAverage) {
    OverlayTexts texts;
    texts.movingAverage = movingAverage;
    std::vector<std::wstring> shown;
    for (const OverlayRow& row : overlayRows) shown.push_back(PrepareOverlayRow(row, texts, state).text);
    return shown;
}

}  // namespace

TEST(Cube, EachCornerSitsOnItsFaceTenUnitsOut) {
    for (int i = 0; i < 24; ++i) {
        const Vec c = Corner(i);
        EXPECT_EQ(std::fabs(c.x) + std::fabs(c.y) + std::fabs(c.z), 30.0f) << "vertex " << i;
        EXPECT_EQ(Dot(c, normals[i / 4]), 10.0f) << "vertex " << i;
    }
}

TEST(Cube, FrontBackTopAndBottomRepeatTheImageTwiceTheSidesOnce) {
    for (int i = 0; i < 24; ++i) {
        const float s = i < 16 ? 2.0f : 1.0f;
        const float u[4] = {0, s, s, 0};
        const float v[4] = {0, 0, s, s};
        EXPECT_EQ(cubeVertices[i].u, u[i % 4]) << "vertex " << i;
        EXPECT_EQ(cubeVertices[i].v, v[i % 4]) << "vertex " << i;
    }
}

// Left-handed: (b - a) x (c - a) faces whoever sees a, b, c clockwise; each
// triangle covers half its face.
TEST(Cube, EachTriangleIsClockwiseFromOutsideItsFace) {
    for (uint32_t t = 0; t < cubeTriangleCount; ++t) {
        const uint16_t* k = &cubeIndices[3 * t];
        for (int i = 0; i < 3; ++i) ASSERT_EQ(k[i] / 4u, t / 2) << "triangle " << t;
        const Vec n = Cross(Sub(Corner(k[1]), Corner(k[0])), Sub(Corner(k[2]), Corner(k[0])));
        EXPECT_EQ(Dot(n, normals[t / 2]), 400.0f) << "triangle " << t;
    }
}

TEST(Cube, EachFacesTwoTrianglesMeetAlongADiagonal) {
    for (int face = 0; face < 6; ++face) {
        const uint16_t* k = &cubeIndices[6 * face];
        std::vector<int> shared;
        for (int i = 0; i < 3; ++i) {
            if (std::count(k + 3, k + 6, k[i])) shared.push_back(k[i]);
        }
        ASSERT_EQ(shared.size(), 2u) << "face " << face;
        const Vec diagonal = Sub(Corner(shared[0]), Corner(shared[1]));
        EXPECT_EQ(Dot(diagonal, diagonal), 800.0f) << "face " << face;
    }
}

// pi, pi/2 and pi/3 per second in single precision, not reduced.
TEST(Cube, TurnsStraightFromTheTick) {
    EXPECT_EQ(CubeAngleX(12000), 37.6991158f);
    EXPECT_EQ(CubeAngleY(12000), 18.8495579f);
    EXPECT_EQ(CubeAngleZ(12000), 12.5663729f);
}

TEST(Camera, StandsFiftyUnitsBackLookingAlongZ) {
    ExpectMatrix(CameraView(), {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 50, 1}}});
}

// 45 degrees high, the window's 800:600, planes at 1 and 1000:
// 1 / tan(pi / 8) = 2.4142134, over 4/3 across.
TEST(Camera, SeesAQuarterTurnHighOverTheWindowsAspectFromOneToAThousand) {
    ExpectMatrix(CameraProjection(), {{{1.8106601f, 0, 0, 0},
                               {0, 2.4142134f, 0, 0},
                               {0, 0, 1.001001f, 1},
                               {0, 0, -1.001001f, 0}}});
}

// Each face's first corner, where the image's top left is drawn: from
// outside, the top left of the front, back and side faces; the top face's
// far left, the bottom face's near left.
TEST(Cube, EachFaceStartsTheImageAtItsOwnCorner) {
    const Vec first[6] = {{-10, 10, -10}, {10, 10, 10}, {-10, 10, 10},
                          {-10, -10, -10}, {-10, 10, 10}, {10, 10, -10}};
    for (int face = 0; face < 6; ++face) {
        EXPECT_EQ(Corner(4 * face).x, first[face].x) << "face " << face;
        EXPECT_EQ(Corner(4 * face).y, first[face].y) << "face " << face;
        EXPECT_EQ(Corner(4 * face).z, first[face].z) << "face " << face;
    }
}

// Rows on one line share its top: the upper lines stand 30 apart in the
// middle font, the status and GPU rows 50 apart in the largest; each face is
// three pixels taller than the one before.
TEST(Overlay, TheRowsStandOnTheirLinesInTheirFonts) {
    const std::size_t upperLines[] = {1, 2, 5, 6};  // adapter, CPU, system, memory
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(overlayRows[upperLines[i]].top, int32_t(30 * i)) << "line " << i;
    EXPECT_EQ(overlayRows[0].top, overlayRows[1].top);  // FPS
    EXPECT_EQ(overlayRows[3].top, overlayRows[2].top);  // CPU score
    EXPECT_EQ(overlayRows[fpsmaRow].top, overlayRows[5].top);
    EXPECT_EQ(overlayRows[8].top - overlayRows[7].top, 50);
    for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(overlayRows[i].font, 1) << "row " << i;
    for (std::size_t i : {7, 8}) EXPECT_EQ(overlayRows[i].font, int32_t(rowFaceCount - 1));
    for (std::size_t i = 1; i < rowFaceCount; ++i)
        EXPECT_EQ(rowFaces[i].height - rowFaces[i - 1].height, 3) << "font " << i;
}

// The faces the rows ask for, by name, at their heights and weight.
TEST(Overlay, TheThreeFontsAreTheirFacesAtTheirHeights) {
    const RowFace faces[] = {{L"华文中宋", 20}, {L"微软雅黑", 23}, {L"黑体", 26}};
    for (std::size_t i = 0; i < rowFaceCount; ++i) {
        EXPECT_STREQ(rowFaces[i].face, faces[i].face) << "font " << i;
        EXPECT_EQ(rowFaces[i].height, faces[i].height) << "font " << i;
    }
    EXPECT_EQ(rowFontWeight, 1000);
}

// The figures end at the right edge; the adapter row wraps and clips to the
// client area; the other lines stay single and are drawn whole past its
// bottom.
TEST(Overlay, EachRowIsLaidOutByItsOwnFormat) {
    const uint32_t line = textSingleLine | textNoClip;
    const uint32_t formats[overlayRowCount] = {textRight, textLeft, line, textRight, textRight,
                                               line, line, line, line};
    for (std::size_t i = 0; i < overlayRowCount; ++i) {
        EXPECT_EQ(overlayRows[i].format, formats[i]) << "row " << i;
    }
}

TEST(Overlay, FormatsEachRowsText) {
    const std::vector<std::wstring> expected = {
        L"FPS:59.940", L"当前显卡型号：Test GPU", L"CPU：Test", L"CPU:123.457", L"FPSMA:计算中...",
        L"操作系统: Windows 10", L"内存: 8G", L"系统检测中请不要关闭!", L"GPU: 计算中..."};
    EXPECT_EQ(RowTexts(SampleState(), 0.0f), expected);
}

// The FPSMA figure once the average is positive; "GPU:" once above 1.
TEST(Overlay, ShowsTheFiguresOnceTheMetersHaveThem) {
    const struct { double batchAverage; float movingAverage; const wchar_t *fpsma, *gpu; } cases[] = {
        {1.0, 1.0f, L"FPSMA:1.000", L"GPU: 计算中..."},
        {1500.0, 0.5f, L"FPSMA:0.500", L"GPU: 1500.000000"},
        {std::nextafter(1.0, 2.0), 60.0f, L"FPSMA:60.000", L"GPU: 1.000000"},
    };
    for (const auto& c : cases) {
        CheckState state = SampleState();
        state.frameBatchAverage.average = c.batchAverage;
        const std::vector<std::wstring> rows = RowTexts(state, c.movingAverage);
        EXPECT_EQ(rows[fpsmaRow], c.fpsma) << c.batchAverage;
        EXPECT_EQ(rows[8], c.gpu) << c.batchAverage;
    }
}

// The verdict shows once both meters reach 1; until then the check is
// measuring, whatever the rules said.
TEST(Overlay, TheStatusRowWaitsForBothMetersThenShowsTheVerdictInItsColour) {
    const wchar_t* const measuring = L"系统检测中请不要关闭!";
    const float belowOne = std::nextafter(1.0f, 0.0f);
    const struct {
        double batchAverage;
        float movingAverage;
        bool canRunGame;
        const wchar_t* text;
        uint32_t colour;
    } cases[] = {
        {0.0, 0.0f, true, measuring, 0xFFEB7BE6},
        {1.0, 1.0f, true, L"您的机器可以正常运行游戏", 0xFFEB7BE6},
        {1.0, 1.0f, false, L"您的机器不能正常运行游戏", 0xFFFF0000},
        {1500.0, belowOne, false, measuring, 0xFFEB7BE6},
        {std::nextafter(1.0, 0.0), 60.0f, false, measuring, 0xFFEB7BE6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.batchAverage << " " << c.movingAverage);
        CheckState state = SampleState();
        state.frameBatchAverage.average = c.batchAverage;
        state.canRunGame = c.canRunGame;
        OverlayTexts texts;
        texts.movingAverage = c.movingAverage;
        const OverlayDraw status = PrepareOverlayRow(overlayRows[7], texts, state);
        EXPECT_STREQ(status.text, c.text);
        EXPECT_EQ(status.colour, c.colour);
    }
}

// Where the pointer finds the status row: Direct3D scales the back buffer
// onto the client area, GDI draws the report without a device unscaled.
TEST(Overlay, TheStatusRowsBandIsScaledWhereTheBackBufferIs) {
    EXPECT_EQ(StatusRowBand(575, true).top, 479);
    EXPECT_EQ(StatusRowBand(575, true).bottom, 527);
    EXPECT_EQ(StatusRowBand(575, false).top, 500);
    EXPECT_EQ(StatusRowBand(575, false).bottom, 550);
}

// The figure buffers hold 19 characters and the terminator.
TEST(Overlay, TheFpsRowShowsNineteenCharactersAndInfForTwenty) {
    CheckState state = SampleState();
    state.fpsCounter.fps = 1.2345679e10f;
    EXPECT_EQ(RowTexts(state, 0.0f)[0], L"FPS:12345678848.000");
    state.fpsCounter.fps = 1.2345679e11f;
    EXPECT_EQ(RowTexts(state, 0.0f)[0], L"FPS:inf");
}

TEST(Overlay, WritesFiguresInFixedNotationOrInfWhenTheyDoNotFit) {
    const struct {
        const wchar_t* prefix;
        double value;
        int decimals;
        std::size_t capacity;
        const wchar_t* expected;
    } cases[] = {
        {L"FPS:", HUGE_VAL, 3, 20, L"FPS:inf"}, {L"FPS:", -HUGE_VAL, 3, 20, L"FPS:-inf"},
        {L"CPU:", 1e12f, 3, 20, L"CPU:inf"},
        {L"FPS:", 99999999999.999, 3, 20, L"FPS:99999999999.999"},
        {L"FPS:", 99999999999.9996, 3, 20, L"FPS:inf"},  // rounding adds a digit
        {L"GPU: ", -0.0015, 6, 256, L"GPU: -0.001500"}, {L"GPU: ", DBL_MAX, 6, 256, L"GPU: inf"},
    };
    for (const auto& c : cases) {
        wchar_t buffer[lineTextCapacity];
        FormatFigure(buffer, c.capacity, c.prefix, c.value, c.decimals);
        EXPECT_EQ(std::wstring(buffer), c.expected) << c.value;
    }
}

// A text with no room left keeps what the buffer already holds, a high
// surrogate at its end included (only a pair the append itself would cut is
// dropped).
TEST(Overlay, AnAppendWithoutRoomLeavesTheTextBeforeItWhole) {
    wchar_t buffer[3] = {L'a', wchar_t(0xD83D), L'\0'};
    EXPECT_EQ(AppendBounded(buffer, 3, 2, L"x"), 2u);
}

// 52 characters of description and 249 of operating-system line fit.
TEST(Overlay, CutsTheAdapterAndOsLinesToTheirBuffersNeverHalfAPair) {
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    const std::wstring last = {wchar_t(0xDBFF), wchar_t(0xDFFF)};
    const std::wstring a50(50, L'A');
    const struct { bool adapter; std::wstring text, shown; } cases[] = {
        {true, L"", L""}, {true, a50 + L"BC", a50 + L"BC"}, {true, a50 + L"BCD", a50 + L"BC"},
        {true, std::wstring(600, L'x'), std::wstring(52, L'x')},
        {true, a50 + L"B" + last, a50 + L"B"}, {true, a50 + pair + L"Z", a50 + pair},
        {false, std::wstring(249, L'x'), std::wstring(249, L'x')},
        {false, std::wstring(5000, L'y'), std::wstring(249, L'y')},
        {false, L"x" + last.substr(0, 1), L"x" + last.substr(0, 1)},  // not cut: kept as it is
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.adapter ? "adapter " : "os ") << c.text.size());
        wchar_t adapter[adapterLineCapacity];
        wchar_t os[lineTextCapacity];
        if (c.adapter) {
            BuildAdapterLine(adapter, c.text.c_str());
            EXPECT_EQ(std::wstring(adapter), L"当前显卡型号：" + c.shown);
        } else {
            FormatOsRow(os, c.text);
            EXPECT_EQ(std::wstring(os), L"操作系统: " + c.shown);
        }
    }
}
