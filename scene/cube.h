#pragma once

#include "drawkit/matrix.h"

#include <cstddef>
#include <cstdint>

// One vertex as the device reads it: a position and one pair of texture
// coordinates, no normal and no colour (the cube is lit by the ambient alone).
struct CubeVertex {
    float x;
    float y;
    float z;
    float u;
    float v;
};
static_assert(sizeof(CubeVertex) == 20, "the stream stride is 20 bytes");

constexpr uint32_t cubeVertexFormat = 0x102;  // D3DFVF_XYZ | D3DFVF_TEX1
constexpr uint32_t cubeVertexStride = sizeof(CubeVertex);
constexpr std::size_t cubeVertexCount = 24;
constexpr std::size_t cubeIndexCount = 36;
constexpr uint32_t cubeTriangleCount = 12;
static_assert(cubeIndexCount == 3 * cubeTriangleCount, "the index buffer holds whole triangles");
static_assert(cubeVertexCount == 4 * 6, "four corners a face, each with its own texture corner");

extern const CubeVertex cubeVertices[cubeVertexCount];
extern const uint16_t cubeIndices[cubeIndexCount];

// The cube's turn at a tick, in radians, straight from the tick (not reduced
// modulo a full turn): pi, pi/2 and pi/3 per second about X, Y and Z.
float CubeAngleX(uint32_t tick);
float CubeAngleY(uint32_t tick);
float CubeAngleZ(uint32_t tick);

// The cube's world transform at a tick: turned about X, then Y, then Z.
Matrix4 CubeWorld(uint32_t tick);
