#include "bench/suite.h"
#include "bench/workloads.h"
#include "common/check_state.h"
#include "common/clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr uint32_t raySeed = 4660;
constexpr float rayReference = 0.02561f;
constexpr float fractalReference = 0.0286f;

double LengthError(const Vector3& v) {
    double x = v.x, y = v.y, z = v.z;
    return std::fabs(std::sqrt(x * x + y * y + z * z) - 1.0);
}

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

BenchmarkSuite TimedSuite(float raySeconds, float fractalSeconds) {
    BenchmarkSuite suite;
    suite.slots[0].referenceSeconds = rayReference;
    suite.slots[0].secondsPerRun = raySeconds;
    suite.slots[1].referenceSeconds = fractalReference;
    suite.slots[1].secondsPerRun = fractalSeconds;
    suite.slots[1].weight = 1.5f;
    return suite;
}

}  // namespace

TEST(UnitVectorGenerator, StepsFromSeed4660AndMakesComponentsFromTheLow23Bits) {
    const uint32_t states[] = {903608367u, 1450770726u, 4048566345u,
                               113618568u, 1813816723u, 1949333210u};
    const float components[] = {0.4370229244232178f,  0.8906950950622559f,
                                0.2534353733062744f,  0.08877754211425781f,
                                -0.5523941516876221f, -0.24274587631225586f};
    uint32_t state = raySeed;
    for (int i = 0; i < 6; ++i) {
        state = NextGeneratorState(state);
        EXPECT_EQ(state, states[i]);
        EXPECT_EQ(ComponentFromState(state), components[i]);
    }
    // m x 2^-22 - 1; the high nine bits never matter.
    EXPECT_EQ(ComponentFromState(0xFF800000u), -1.0f);
    EXPECT_EQ(ComponentFromState(0x00000001u), -1.0f + 0x1p-22f);
    EXPECT_EQ(ComponentFromState(0x00400000u), 0.0f);
    EXPECT_EQ(ComponentFromState(0xFFFFFFFFu), 1.0f - 0x1p-22f);
}

TEST(RandomUnitVector, RejectsTheFirstCandidateFromSeed4660AndNormalisesTheSecond) {
    UnitVectorGenerator generator(raySeed);
    Vector3 v = RandomUnitVector(generator);
    // 4048566345 would mean the first candidate (r^2 above 1) was taken.
    EXPECT_EQ(generator.state, 1949333210u);
    EXPECT_EQ(generator.seed, raySeed);
    EXPECT_NEAR(v.x, 0.145567, 1e-6);
    EXPECT_NEAR(v.y, -0.905751, 1e-6);
    EXPECT_NEAR(v.z, -0.398026, 1e-6);
    for (int i = 0; i < 100000; ++i) ASSERT_LE(LengthError(RandomUnitVector(generator)), 0x1p-22);
}

TEST(RandomUnitVector, AcceptsRadiiSquaredFrom1e4UpTo1Inclusive) {
    struct Case {
        uint32_t seed;
        uint32_t firstCandidateState;  // after the first candidate's z
        bool accepted;
    };
    const Case cases[] = {
        {3320967064u, 2377141341u, true},   // r^2 exactly 1
        {211159767u, 752753936u, false},    // r^2 = 1.00000036
        {4241314922u, 893355527u, true},    // r^2 = 1.22e-4
        {1651624962u, 1899986111u, false},  // r^2 = 9.35e-5
    };
    for (const Case& c : cases) {
        UnitVectorGenerator generator(c.seed);
        EXPECT_LE(LengthError(RandomUnitVector(generator)), 0x1p-22) << c.seed;
        EXPECT_EQ(generator.state == c.firstCandidateState, c.accepted) << c.seed;
    }
}

TEST(RefineReciprocalSquareRoot, TakesTwoNewtonStepsInSinglePrecision) {
    // Starting 1.4 x 2^-12 off, one step would stop short of 2.
    EXPECT_EQ(RefineReciprocalSquareRoot(2.00068355f, 0.25f), 2.0f);
    EXPECT_EQ(RefineReciprocalSquareRoot(1.99931645f, 0.25f), 2.0f);
    // Last bits that a double 0.5, a fused multiply-add or h*g*g taken
    // in another order would change.
    EXPECT_EQ(RefineReciprocalSquareRoot(0x1.3dbp+0f, 0x1.4c6292p-1f), 0x1.3dba22p+0f);
    EXPECT_EQ(RefineReciprocalSquareRoot(0x1.117p+0f, 0x1.c0a00ap-1f), 0x1.117c1ap+0f);
    EXPECT_EQ(RefineReciprocalSquareRoot(0x1.8f1p+6f, 0x1.a5870cp-14f), 0x1.8f00f4p+6f);
    EXPECT_EQ(RefineReciprocalSquareRoot(0x1.8f8p+6f, 0x1.a47a9ep-14f), 0x1.8f803ep+6f);
}

TEST(IntersectTriangle, TellsWhichTestTurnsARayAway) {
    EXPECT_EQ(Bits(triangleEdge1.x), 0xC00CCCCCu);
    EXPECT_EQ(Bits(triangleEdge2.x), 0x3FFFFFFFu);
    // The triangle lies in the plane y = 0.2 facing -y; these rays run
    // along the y axis.
    const Vector3 up = {0.0f, 1.0f, 0.0f};
    struct Case {
        Vector3 origin;
        Vector3 direction;
        RayOutcome outcome;
    };
    const Case cases[] = {
        {{0.1f, -1.0f, 1.5f}, up, RayOutcome::hit},
        {{0.1f, -1.0f, 2.3f}, up, RayOutcome::hit},  // the vertex: u = v = 0
        {{0.1f, -1.0f, 1.5f}, {0.0f, 2e-6f, 0.0f}, RayOutcome::hit},        // det 1.7e-5
        {{0.1f, -1.0f, 1.5f}, {0.0f, 1e-6f, 0.0f}, RayOutcome::failedDet},  // det 8.4e-6
        {{0.1f, -1.0f, 1.5f}, {1.0f, 0.0f, 0.0f}, RayOutcome::failedDet},   // parallel
        {{0.1f, 1.0f, 1.5f}, {0.0f, -1.0f, 0.0f}, RayOutcome::failedDet},   // the back
        {{0.1f, 1.0f, 1.5f}, up, RayOutcome::failedT},                      // behind
        {{3.0f, -1.0f, 1.5f}, up, RayOutcome::failedU},   // u < 0
        {{-2.5f, -1.0f, 0.1f}, up, RayOutcome::failedU},  // u > det
        {{-3.0f, -1.0f, 1.5f}, up, RayOutcome::failedV},  // v < 0
        {{0.1f, -1.0f, 0.0f}, up, RayOutcome::failedV},   // u + v > det
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IntersectTriangle(c.origin, c.direction), c.outcome)
            << c.origin.x << " " << c.origin.z << " " << c.direction.y;
    }
}

TEST(RayIntersect, Hits7566Of200000RaysWithTheFailuresPerTest) {
    RayOutcomeCounts counts = CountRayOutcomes();
    EXPECT_EQ(counts.hits, 7566u);
    EXPECT_EQ(counts.failedDet, 99687u);
    EXPECT_EQ(counts.failedU, 61347u);
    EXPECT_EQ(counts.failedV, 31400u);
    EXPECT_EQ(counts.failedT, 0u);
    EXPECT_EQ(RayIntersect(), 7566.0 * 4.999999873689376e-06);
    EXPECT_EQ(RayIntersect(), RayIntersect());
}

TEST(Fractal, Iterates5017365TimesWith6949PointsAtTheLimit) {
    FractalHistogram histogram = FractalIterationHistogram();
    uint64_t total = 0, points = 0;
    for (int k = 0; k <= fractalIterationLimit; ++k) {
        total += static_cast<uint64_t>(k) * histogram[k];
        points += histogram[k];
    }
    EXPECT_EQ(points, 65536u);
    EXPECT_EQ(total, 5017365u);
    EXPECT_EQ(histogram[300], 6949u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(histogram[k], 0u) << k;
    EXPECT_NE(histogram[4], 0u);
    EXPECT_EQ(Fractal(), 76.55891418457031);
    EXPECT_EQ(Fractal(), Fractal());
}

TEST(ComputeCpuScore, Is100AtTheReferenceTimesAndScalesInversely) {
    EXPECT_EQ(ComputeCpuScore(TimedSuite(rayReference, fractalReference)), 100.0f);
    EXPECT_EQ(ComputeCpuScore(TimedSuite(rayReference / 2, fractalReference / 2)), 200.0f);
    EXPECT_EQ(ComputeCpuScore(TimedSuite(rayReference * 2, fractalReference * 2)), 50.0f);
    // About 77.047: in single precision 77.04666, in double 77.04667.
    EXPECT_EQ(ComputeCpuScore(TimedSuite(0.03f, 0.04f)), 0x1.342fc8p+6f);
}

TEST(ComputeCpuScore, WeighsOnlyTheFirstTwoSlotsAndNoWeightGivesZero) {
    BenchmarkSuite suite = TimedSuite(0.03f, 0.04f);
    const float weightPairs[][2] = {{0.0f, 0.0f}, {-1.0f, -1.5f}, {0.0f, 1.0f}};
    const float scores[] = {0.0f, 0.0f, 100.0f * 0.0286f / 0.04f};
    for (int i = 0; i < 3; ++i) {
        suite.slots[0].weight = weightPairs[i][0];
        suite.slots[1].weight = weightPairs[i][1];
        EXPECT_EQ(ComputeCpuScore(suite), scores[i]) << i;
    }
    BenchmarkSuite heavySpares = TimedSuite(rayReference, fractalReference);
    for (int i = 2; i < benchmarkSlotCount; ++i) heavySpares.slots[i].weight = 100.0f;
    EXPECT_EQ(ComputeCpuScore(heavySpares), 100.0f);
}

TEST(ComputeCpuScore, GivesZeroForATimeThatIsNoPositiveFiniteNumber) {
    // 1e-40 s would give an infinite score.
    for (float seconds : {0.0f, -0.0f, -0.03f, NAN, INFINITY, 1e-40f}) {
        EXPECT_EQ(ComputeCpuScore(TimedSuite(seconds, 0.04f)), 0.0f) << seconds;
        EXPECT_EQ(ComputeCpuScore(TimedSuite(0.03f, seconds)), 0.0f) << seconds;
    }
    // Untimed (-1 / -1 in both slots) it would otherwise score 100.
    EXPECT_EQ(ComputeCpuScore(BenchmarkSuite{}), 0.0f);
    EXPECT_GT(ComputeCpuScore(TimedSuite(1e-9f, 0.04f)), 1e6f);
}

TEST(RunBenchmarks, DefinesAndTimesSlots0And1AndLeavesTheSpares) {
    BenchmarkSuite suite;
    suite.slots[0].name = "stale";
    suite.slots[0].weight = 7.0f;
    suite.slots[1].referenceSeconds = 9.0f;
    float sink = benchmarkSink;
    RunBenchmarks(suite);

    const char* names[] = {"RayIntersect", "Fractal"};
    const float references[] = {rayReference, fractalReference};
    const float weights[] = {1.0f, 1.5f};
    for (int i = 0; i < 2; ++i) {
        const BenchmarkRecord& record = suite.slots[i];
        EXPECT_STREQ(record.name, names[i]);
        EXPECT_STREQ(record.unit, "s/Run");
        EXPECT_EQ(record.referenceSeconds, references[i]);
        EXPECT_EQ(record.weight, weights[i]);
        EXPECT_EQ(record.target, 90.0f);
        EXPECT_GT(record.secondsPerRun, 0.0f);
        EXPECT_EQ(record.totalSeconds, record.secondsPerRun);
    }
    for (int i = 2; i < benchmarkSlotCount; ++i) {
        const BenchmarkRecord& spare = suite.slots[i];
        EXPECT_TRUE(spare.name == nullptr && spare.unit == nullptr) << i;
        EXPECT_EQ(spare.totalSeconds, -1.0f);
        EXPECT_EQ(spare.secondsPerRun, -1.0f);
        EXPECT_EQ(spare.referenceSeconds, -1.0f);
        EXPECT_EQ(spare.target, 0.0f);
        EXPECT_EQ(spare.weight, 1.0f);
    }
    EXPECT_EQ(reciprocalFrequency, 1.0 / static_cast<double>(PerformanceFrequency()));
    // Both results went into the sink, the ray fraction first.
    sink = static_cast<float>(RayIntersect() + static_cast<double>(sink));
    EXPECT_EQ(benchmarkSink, static_cast<float>(Fractal() + static_cast<double>(sink)));
}

TEST(MeasureCpuScore, StoresAPositiveFiniteScoreInTheCheckState) {
    checkState.cpuScore = 0.0f;
    MeasureCpuScore();
    EXPECT_GT(checkState.cpuScore, 0.0f);
    EXPECT_TRUE(std::isfinite(checkState.cpuScore));
}
