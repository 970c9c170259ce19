// The start-up measurement once, as the checker makes it: each workload timed
// for a single cold run, and the score from those two times.
#include "bench/suite.h"

#include <cstdio>

int main() {
    BenchmarkSuite suite;
    RunBenchmarks(suite);
    float score = ComputeCpuScore(suite);
    for (int i = 0; i < 2; ++i) {
        std::printf("%s %.6f s/Run\n", suite.slots[i].name,
                    static_cast<double>(suite.slots[i].secondsPerRun));
    }
    std::printf("CPU:%0.3f\n", static_cast<double>(score));
    return 0;
}
