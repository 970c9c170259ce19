// RayIntersect and Fractal against the same steps written out by hand in one
// function each, compiled here with the same flags: the workloads must keep
// within 5 % of these.
#include "bench/workloads.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <xmmintrin.h>

namespace {

float Component(uint32_t state) {
    uint32_t bits = (state & 0x007FFFFFu) | 0x3F800000u;
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return (f - 1.0f) * 2.0f - 1.0f;
}

double PlainRayIntersect() {
    const float v0x = 0.1f, v0y = 0.2f, v0z = 2.3f;
    const float e1x = -2.19999980926513671875f, e1y = 0.0f, e1z = -2.0f;
    const float e2x = 1.99999988079071044921875f, e2y = 0.0f, e2z = -2.0f;
    uint32_t s = 0x1234u;
    uint32_t hits = 0;
    for (int ray = 0; ray < 200000; ++ray) {
        float w[2][3];
        for (int draw = 0; draw < 2; ++draw) {
            float x, y, z, r2;
            do {
                s = s * 196314165u + 907633515u;
                x = Component(s);
                s = s * 196314165u + 907633515u;
                y = Component(s);
                s = s * 196314165u + 907633515u;
                z = Component(s);
                r2 = x * x + y * y + z * z;
            } while (r2 > 1.0f || r2 < 1e-4f);
            float h = 0.5f * r2;
            float g = _mm_cvtss_f32(_mm_rsqrt_ss(_mm_set_ss(r2)));
            g = g + g * (0.5f - h * (g * g));
            g = g + g * (0.5f - h * (g * g));
            w[draw][0] = 3.0f * (g * x);
            w[draw][1] = 3.0f * (g * y);
            w[draw][2] = 3.0f * (g * z);
        }
        float ox = w[0][0], oy = w[0][1], oz = w[0][2];
        float dx = w[1][0] - ox, dy = w[1][1] - oy, dz = w[1][2] - oz;
        float px = dy * e2z - dz * e2y, py = dz * e2x - dx * e2z, pz = dx * e2y - dy * e2x;
        float det = e1x * px + e1y * py + e1z * pz;
        if (det < 1e-5f) continue;
        float tx = ox - v0x, ty = oy - v0y, tz = oz - v0z;
        float u = tx * px + ty * py + tz * pz;
        if (u < 0.0f || u > det) continue;
        float qx = ty * e1z - tz * e1y, qy = tz * e1x - tx * e1z, qz = tx * e1y - ty * e1x;
        float v = dx * qx + dy * qy + dz * qz;
        if (v < 0.0f || u + v > det) continue;
        float t = (e2x * qx + e2y * qy + e2z * qz) / det;
        if (t >= 0.0f) ++hits;
    }
    return hits * static_cast<double>(5e-6f);
}

double PlainFractal() {
    uint64_t total = 0;
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) {
            float re = (j * 0.00390625f) * 2.0f - 1.0f;
            float im = (i * 0.00390625f) * 2.0f - 1.0f;
            int k = 0;
            while (k < 300) {
                float nim = (re * 2.0f) * im + 0.176f;
                float nre = (re * re - im * im) - 0.73f;
                re = nre;
                im = nim;
                ++k;
                if (!(im * im + re * re <= 1600.0f)) break;
            }
            total += k;
        }
    }
    return total / 65536.0;
}

template <double (*workload)()>
void Run(benchmark::State& state) {
    double result = 0.0;
    for (auto _ : state) {
        result = workload();
        benchmark::DoNotOptimize(result);
    }
    // Shown beside the time, so the pairs can be seen to compute the same.
    state.counters["result"] = result;
}

}  // namespace

BENCHMARK_TEMPLATE(Run, RayIntersect)->Name("RayIntersect")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Run, PlainRayIntersect)->Name("PlainRayIntersect")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Run, Fractal)->Name("Fractal")->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(Run, PlainFractal)->Name("PlainFractal")->Unit(benchmark::kMillisecond);
