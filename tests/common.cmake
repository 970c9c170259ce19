tarvoquin_test(common_tests SOURCES common_test.cpp LIBS tarvoquin_common)
