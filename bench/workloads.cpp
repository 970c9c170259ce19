#include "bench/workloads.h"

#include <cmath>
#include <cstring>

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace {

constexpr uint32_t generatorMultiplier = 196314165u;
constexpr uint32_t generatorIncrement = 907633515u;
constexpr uint32_t mantissaMask = 0x007FFFFFu;
constexpr uint32_t oneBits = 0x3F800000u;
constexpr float largestRadiusSquared = 1.0f;
constexpr float smallestRadiusSquared = 1e-4f;

constexpr uint32_t raySeed = 0x1234u;
constexpr int rayCount = 200000;
constexpr float sphereRadius = 3.0f;
constexpr float smallestDet = 1e-5f;
constexpr float hitFraction = 5e-6f;

constexpr int gridSize = 256;
constexpr float gridStep = 0.00390625f;
constexpr float constantRe = 0.73f;
constexpr float constantIm = 0.176f;
constexpr float bailoutSquared = 1600.0f;
constexpr double perPoint = 1.0 / 65536.0;

inline float ReciprocalSquareRootEstimate(float value) {
#if defined(__SSE__) || defined(_M_X64)
    return _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(value)));
#else
    return 1.0f / std::sqrt(value);
#endif
}

inline float Refine(float estimate, float radiusSquared) {
    float half = 0.5f * radiusSquared;
    float g = estimate;
    g = g + g * (0.5f - half * (g * g));
    g = g + g * (0.5f - half * (g * g));
    return g;
}

inline float Component(uint32_t state) {
    uint32_t bits = (state & mantissaMask) | oneBits;
    float oneToTwo;
    std::memcpy(&oneToTwo, &bits, sizeof oneToTwo);
    return (oneToTwo - 1.0f) * 2.0f - 1.0f;
}

inline uint32_t Step(uint32_t state) {
    return state * generatorMultiplier + generatorIncrement;
}

// The timed loops must carry no calls: the draw, the ray test and the
// escape count are forced inline into every loop that uses them.
[[gnu::always_inline]] inline Vector3 DrawUnitVector(UnitVectorGenerator& generator) {
    uint32_t state = generator.state;
    float x, y, z, radiusSquared;
    do {
        state = Step(state);
        x = Component(state);
        state = Step(state);
        y = Component(state);
        state = Step(state);
        z = Component(state);
        radiusSquared = x * x + y * y + z * z;
    } while (radiusSquared > largestRadiusSquared || radiusSquared < smallestRadiusSquared);
    generator.state = state;

    float g = Refine(ReciprocalSquareRootEstimate(radiusSquared), radiusSquared);
    return {g * x, g * y, g * z};
}

[[gnu::always_inline]] inline RayOutcome Intersect(const Vector3& o, const Vector3& d) {
    constexpr Vector3 v0 = triangleVertex0;
    constexpr Vector3 e1 = triangleEdge1;
    constexpr Vector3 e2 = triangleEdge2;
    Vector3 p = {d.y * e2.z - d.z * e2.y, d.z * e2.x - d.x * e2.z, d.x * e2.y - d.y * e2.x};
    float det = e1.x * p.x + e1.y * p.y + e1.z * p.z;
    if (det < smallestDet) return RayOutcome::failedDet;

    Vector3 t = {o.x - v0.x, o.y - v0.y, o.z - v0.z};
    float u = t.x * p.x + t.y * p.y + t.z * p.z;
    if (u < 0.0f || u > det) return RayOutcome::failedU;

    Vector3 q = {t.y * e1.z - t.z * e1.y, t.z * e1.x - t.x * e1.z, t.x * e1.y - t.y * e1.x};
    float v = d.x * q.x + d.y * q.y + d.z * q.z;
    if (v < 0.0f || u + v > det) return RayOutcome::failedV;

    float distance = (e2.x * q.x + e2.y * q.y + e2.z * q.z) / det;
    // A distance that is not a number fails this test as well.
    return distance >= 0.0f ? RayOutcome::hit : RayOutcome::failedT;
}

// One ray of the workload: between two random points on the sphere.
[[gnu::always_inline]] inline RayOutcome TraceRay(UnitVectorGenerator& generator) {
    Vector3 a = DrawUnitVector(generator);
    Vector3 o = {sphereRadius * a.x, sphereRadius * a.y, sphereRadius * a.z};
    Vector3 b = DrawUnitVector(generator);
    Vector3 d = {sphereRadius * b.x - o.x, sphereRadius * b.y - o.y, sphereRadius * b.z - o.z};
    return Intersect(o, d);
}

// Iterations until the point at (row, column) escapes, at most the limit;
// the starting point itself is never tested.
[[gnu::always_inline]] inline int EscapeIterations(int row, int column) {
    float re = (static_cast<float>(column) * gridStep) * 2.0f - 1.0f;
    float im = (static_cast<float>(row) * gridStep) * 2.0f - 1.0f;
    int k = 0;
    while (k < fractalIterationLimit) {
        float nextIm = (re * 2.0f) * im + constantIm;
        float nextRe = (re * re - im * im) - constantRe;
        re = nextRe;
        im = nextIm;
        ++k;
        // Negated so that a sum that is not a number stops as well.
        if (!(im * im + re * re <= bailoutSquared)) break;
    }
    return k;
}

}  // namespace

uint32_t NextGeneratorState(uint32_t state) { return Step(state); }

float ComponentFromState(uint32_t state) { return Component(state); }

float RefineReciprocalSquareRoot(float estimate, float radiusSquared) {
    return Refine(estimate, radiusSquared);
}

Vector3 RandomUnitVector(UnitVectorGenerator& generator) { return DrawUnitVector(generator); }

RayOutcome IntersectTriangle(const Vector3& origin, const Vector3& direction) {
    return Intersect(origin, direction);
}

double RayIntersect() {
    UnitVectorGenerator generator(raySeed);
    uint32_t hits = 0;
    for (int ray = 0; ray < rayCount; ++ray) {
        if (TraceRay(generator) == RayOutcome::hit) ++hits;
    }
    return static_cast<double>(hits) * static_cast<double>(hitFraction);
}

RayOutcomeCounts CountRayOutcomes() {
    UnitVectorGenerator generator(raySeed);
    RayOutcomeCounts counts;
    uint32_t* tally[] = {&counts.hits, &counts.failedDet, &counts.failedU, &counts.failedV,
                         &counts.failedT};
    for (int ray = 0; ray < rayCount; ++ray) {
        ++*tally[static_cast<int>(TraceRay(generator))];
    }
    return counts;
}

double Fractal() {
    uint64_t total = 0;
    for (int row = 0; row < gridSize; ++row) {
        for (int column = 0; column < gridSize; ++column) {
            total += static_cast<uint64_t>(EscapeIterations(row, column));
        }
    }
    return static_cast<double>(total) * perPoint;
}

FractalHistogram FractalIterationHistogram() {
    FractalHistogram histogram{};
    for (int row = 0; row < gridSize; ++row) {
        for (int column = 0; column < gridSize; ++column) {
            ++histogram[EscapeIterations(row, column)];
        }
    }
    return histogram;
}
