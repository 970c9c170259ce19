#pragma once

#include "platform/vector3.h"

#include <array>
#include <cstdint>

// The two timed pieces of floating-point work behind the CPU score, and the
// random unit vectors that the ray workload draws. Single precision
// throughout, each operation rounded on its own.

struct UnitVectorGenerator {
    uint32_t seed;
    uint32_t state;
    explicit UnitVectorGenerator(uint32_t start) : seed(start), state(start) {}
};

// One step of the linear congruential generator, modulo 2^32.
uint32_t NextGeneratorState(uint32_t state);

// m x 2^-22 - 1 for the low 23 bits m of the state: a value in [-1, 1).
float ComponentFromState(uint32_t state);

// Two Newton-Raphson steps g + g(0.5 - h g^2), h = r^2 / 2, from a starting
// estimate of 1/sqrt(r^2) (the processor's, in RandomUnitVector).
float RefineReciprocalSquareRoot(float estimate, float radiusSquared);

// A vector of length 1 from rejection sampling in the unit ball.
Vector3 RandomUnitVector(UnitVectorGenerator& generator);

// The one fixed triangle of RayIntersect: a vertex and two edges. The edges'
// x components sit one unit in the last place inside 2.2 and 2.0 (bits
// C00CCCCC and 3FFFFFFF).
constexpr Vector3 triangleVertex0 = {0.1f, 0.2f, 2.3f};
constexpr Vector3 triangleEdge1 = {-2.19999980926513671875f, 0.0f, -2.0f};
constexpr Vector3 triangleEdge2 = {1.99999988079071044921875f, 0.0f, -2.0f};

// Which of the tests, in the order they are made, turns a ray away.
enum class RayOutcome { hit, failedDet, failedU, failedV, failedT };

// The one-sided test of the ray from origin along direction (not
// normalised) against the triangle: rays meeting its back side miss.
RayOutcome IntersectTriangle(const Vector3& origin, const Vector3& direction);

// 200000 ray-triangle tests; the fraction of rays that hit, as hits x 5e-6.
double RayIntersect();

// The escape-time map over a 256 x 256 grid; the mean iterations per point.
double Fractal();

// Where each of the 200000 rays of RayIntersect ends. Counting lives in its
// own entry point so that the timed workload pays nothing for it.
struct RayOutcomeCounts {
    uint32_t hits = 0;
    uint32_t failedDet = 0;
    uint32_t failedU = 0;
    uint32_t failedV = 0;
    uint32_t failedT = 0;
};
RayOutcomeCounts CountRayOutcomes();

// How many grid points of Fractal stop after k iterations, k = 0..300.
constexpr int fractalIterationLimit = 300;
using FractalHistogram = std::array<uint32_t, fractalIterationLimit + 1>;
FractalHistogram FractalIterationHistogram();
