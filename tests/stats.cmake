if(NOT WIN32)
  # Links its own clock in place of tarvoquin_clock.
  tarvoquin_test(stats_tests SOURCES stats_test.cpp LIBS tarvoquin_stats)
endif()
