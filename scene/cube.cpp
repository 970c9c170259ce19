#include "scene/cube.h"

#include "platform/clock.h"

// Each face has its own four vertices, clockwise seen from outside; the
// front, back, top and bottom faces repeat the image twice each way.
const CubeVertex cubeVertices[cubeVertexCount] = {
    {-10.0f, 10.0f, -10.0f, 0.0f, 0.0f},  // front (z = -10)
    {10.0f, 10.0f, -10.0f, 2.0f, 0.0f},
    {10.0f, -10.0f, -10.0f, 2.0f, 2.0f},
    {-10.0f, -10.0f, -10.0f, 0.0f, 2.0f},
    {10.0f, 10.0f, 10.0f, 0.0f, 0.0f},  // back (z = 10)
    {-10.0f, 10.0f, 10.0f, 2.0f, 0.0f},
    {-10.0f, -10.0f, 10.0f, 2.0f, 2.0f},
    {10.0f, -10.0f, 10.0f, 0.0f, 2.0f},
    {-10.0f, 10.0f, 10.0f, 0.0f, 0.0f},  // top (y = 10)
    {10.0f, 10.0f, 10.0f, 2.0f, 0.0f},
    {10.0f, 10.0f, -10.0f, 2.0f, 2.0f},
    {-10.0f, 10.0f, -10.0f, 0.0f, 2.0f},
    {-10.0f, -10.0f, -10.0f, 0.0f, 0.0f},  // bottom (y = -10)
    {10.0f, -10.0f, -10.0f, 2.0f, 0.0f},
    {10.0f, -10.0f, 10.0f, 2.0f, 2.0f},
    {-10.0f, -10.0f, 10.0f, 0.0f, 2.0f},
    {-10.0f, 10.0f, 10.0f, 0.0f, 0.0f},  // left (x = -10)
    {-10.0f, 10.0f, -10.0f, 1.0f, 0.0f},
    {-10.0f, -10.0f, -10.0f, 1.0f, 1.0f},
    {-10.0f, -10.0f, 10.0f, 0.0f, 1.0f},
    {10.0f, 10.0f, -10.0f, 0.0f, 0.0f},  // right (x = 10)
    {10.0f, 10.0f, 10.0f, 1.0f, 0.0f},
    {10.0f, -10.0f, 10.0f, 1.0f, 1.0f},
    {10.0f, -10.0f, -10.0f, 0.0f, 1.0f},
};

const uint16_t cubeIndices[cubeIndexCount] = {
    0,  1,  2,  0,  2,  3,  4,  5,  6,  4,  6,  7,  8,  9,  10, 8,  10, 11,
    12, 13, 14, 12, 14, 15, 16, 17, 18, 16, 18, 19, 20, 21, 22, 20, 22, 23,
};

namespace {

constexpr float pi = 3.1415927f;
constexpr float halfTurnRate = 0.5f;
constexpr float thirdTurnRate = 0.33333334f;

}  // namespace

float CubeAngleX(uint32_t tick) { return TickToSeconds(tick) * pi; }

float CubeAngleY(uint32_t tick) { return TickToSeconds(tick) * halfTurnRate * pi; }

float CubeAngleZ(uint32_t tick) { return TickToSeconds(tick) * thirdTurnRate * pi; }

Matrix4 CubeWorld(uint32_t tick) {
    return MatrixMultiply(MatrixMultiply(MatrixRotationX(CubeAngleX(tick)),
                                         MatrixRotationY(CubeAngleY(tick))),
                          MatrixRotationZ(CubeAngleZ(tick)));
}
