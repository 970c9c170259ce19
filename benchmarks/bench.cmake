# Native only: the workloads side by side with plain scalar versions of the
# same steps, and the score this machine gets in one start-up measurement.
#   build/<dir>/benchmarks/bench_workloads --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#   build/<dir>/benchmarks/bench_cpu_score
if(NOT WIN32)
  find_package(benchmark REQUIRED)
  add_executable(bench_workloads bench_workloads.cpp)
  target_link_libraries(bench_workloads PRIVATE tarvoquin_bench benchmark::benchmark_main)
  add_executable(bench_cpu_score bench_cpu_score.cpp)
  target_link_libraries(bench_cpu_score PRIVATE tarvoquin_bench)
endif()
