#include "bench/suite.h"
#include "bench/workloads.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr float rayReference = 0.02561f;
constexpr float fractalReference = 0.0286f;

BenchmarkSuite TimedSuite(float raySeconds, float fractalSeconds, float rayWeight = 1.0f,
                          float fractalWeight = 1.5f) {
    BenchmarkSuite suite;
    suite.slots[0] = {nullptr, -1.0f, raySeconds, rayReference, nullptr, 0.0f, rayWeight};
    suite.slots[1] = {nullptr, -1.0f, fractalSeconds, fractalReference, nullptr, 0.0f, fractalWeight};
    return suite;
}
}  // namespace

// Seeds whose first candidate has r^2 of exactly 1 or 1.22e-4 (taken), of
// 1.00000036 or 9.35e-5 (drawn again). A taken first candidate leaves the
// state after its third step.
TEST(UnitVectors, TheBallKeepsItsBoundsAndRejectsWhatLiesOutside) {
    const struct { uint32_t seed, firstCandidateState; bool taken; } candidates[] = {
        {3320967064u, 2377141341u, true}, {211159767u, 752753936u, false},
        {4241314922u, 893355527u, true}, {1651624962u, 1899986111u, false}};
    for (const auto& c : candidates) {
        UnitVectorGenerator generator(c.seed);
        RandomUnitVector(generator);
        EXPECT_EQ(generator.state == c.firstCandidateState, c.taken) << c.seed;
    }
}

// Two Newton steps in single precision: one would stop short of 2; a double
// 0.5, a fused multiply-add or another order changes the last bits.
TEST(UnitVectors, TheEstimateIsRefinedTwiceInSinglePrecision) {
    const float refine[][3] = {{2.00068355f, 0.25f, 2.0f}, {1.99931645f, 0.25f, 2.0f},
                               {0x1.3dbp+0f, 0x1.4c6292p-1f, 0x1.3dba22p+0f},
                               {0x1.8f1p+6f, 0x1.a5870cp-14f, 0x1.8f00f4p+6f}};
    for (const auto& r : refine) EXPECT_EQ(RefineReciprocalSquareRoot(r[0], r[1]), r[2]) << r[0];
}

// The triangle lies in the plane y = 0.2 facing -y, corners V0 (0.1, 2.3),
// V1 = V0 + E1 and V2 = V0 + E2 in (x, z). The corner rays start where
// o - V0 is exactly 0, E1, E1 / 2 or E2, so u and v land on the bounds.
TEST(IntersectTriangle, TellsWhichTestTurnsARayAwayAndTakesTheEdgesAsHits) {
    const Vector3 up = {0.0f, 1.0f, 0.0f};
    const struct { Vector3 origin, direction; RayOutcome outcome; } cases[] = {
        {{0.1f, -1.0f, 1.5f}, up, RayOutcome::hit},
        {{0.1f, 0.2f, 2.3f}, up, RayOutcome::hit},                     // at V0: distance 0
        {{0.1f, -1.0f, 2.3f}, up, RayOutcome::hit},                    // V0: u = v = 0
        {{-2.0999999f, -1.0f, 2.3f - 2.0f}, up, RayOutcome::hit},      // V1: u = det, v = 0
        {{2.0999999f, -1.0f, 2.3f - 2.0f}, up, RayOutcome::hit},       // V2: u = 0, v = det
        {{-0.99999994f, -1.0f, 2.3f - 1.0f}, up, RayOutcome::hit},     // edge V0V1: v = 0
        {{0.1f, -1.0f, 1.5f}, {0.0f, 2e-6f, 0.0f}, RayOutcome::hit},        // det 1.7e-5
        {{0.1f, -1.0f, 1.5f}, {0.0f, 1e-6f, 0.0f}, RayOutcome::failedDet},  // det 8.4e-6
        {{0.1f, -1.0f, 1.5f}, {1.0f, 0.0f, 0.0f}, RayOutcome::failedDet},   // parallel
        {{0.1f, 1.0f, 1.5f}, {0.0f, -1.0f, 0.0f}, RayOutcome::failedDet},   // the back
        {{0.1f, 1.0f, 1.5f}, up, RayOutcome::failedT},    // passes all but the distance
        {{3.0f, -1.0f, 1.5f}, up, RayOutcome::failedU},   // u < 0
        {{-2.5f, -1.0f, 0.1f}, up, RayOutcome::failedU},  // u > det
        {{-3.0f, -1.0f, 1.5f}, up, RayOutcome::failedV},  // v < 0
        {{0.1f, -1.0f, 0.0f}, up, RayOutcome::failedV},   // u + v > det
    };
    for (const auto& c : cases)
        EXPECT_EQ(IntersectTriangle(c.origin, c.direction), c.outcome) << &c - cases;
}

// The generator, its constants and the unit vectors show in these counts.
TEST(Workloads, TheRaysEndAsCounted) {
    const RayOutcomeCounts rays = CountRayOutcomes();
    EXPECT_EQ(rays.hits, 7566u);
    EXPECT_EQ(rays.failedDet, 99687u);
    EXPECT_EQ(rays.failedU, 61347u);
    EXPECT_EQ(rays.failedV, 31400u);
    EXPECT_EQ(rays.failedT, 0u);
    EXPECT_EQ(RayIntersect(), 7566.0 * 4.999999873689376e-06);
}

TEST(Workloads, TheFractalIteratesAsCounted) {
    const FractalHistogram histogram = FractalIterationHistogram();
    uint64_t total = 0;
    for (int k = 0; k <= fractalIterationLimit; ++k) total += static_cast<uint64_t>(k) * histogram[k];
    EXPECT_EQ(total, 5017365u);
    EXPECT_EQ(histogram[300], 6949u);  // never escaped
    EXPECT_EQ(Fractal(), 76.55891418457031);
}

// The score of measured times is pinned through the scripted clock.
TEST(ComputeCpuScore, WeighsTheTwoTimesAgainstTheReference) {
    const struct { BenchmarkSuite suite; float score; } cases[] = {
        {TimedSuite(rayReference, fractalReference), 100.0f},
        {TimedSuite(0.03f, 0.04f, 0.0f, 1.0f), 100.0f * 0.0286f / 0.04f},
        {TimedSuite(0.03f, 0.04f, 0.0f, 0.0f), 0.0f},
    };
    for (const auto& c : cases) EXPECT_EQ(ComputeCpuScore(c.suite), c.score) << c.score;
    // A time that is no positive finite number scores 0 (1e-40 s would be inf).
    for (float seconds : {0.0f, -0.0f, -0.03f, NAN, INFINITY, 1e-40f}) {
        EXPECT_EQ(ComputeCpuScore(TimedSuite(seconds, 0.04f)), 0.0f) << seconds;
        EXPECT_EQ(ComputeCpuScore(TimedSuite(0.03f, seconds)), 0.0f) << seconds;
    }
}
