# The workloads, the timing and the score, in both builds. bench_clock_tests
# defines the three clock functions itself (a scripted counter), so the
# linker takes those and leaves tarvoquin_clock's out.
tarvoquin_test(bench_tests SOURCES bench_test.cpp LIBS tarvoquin_bench)
tarvoquin_test(bench_clock_tests SOURCES bench_clock_test.cpp LIBS tarvoquin_bench)
