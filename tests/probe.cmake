# probe_tests: the rules, parsing, text and line building, natively and on
# Windows alike. probe_run_tests: RunProbe against a double of the WMI client
# and of the version check (native only, the double stands where the Windows
# glue would).
tarvoquin_test(probe_tests SOURCES probe_test.cpp LIBS tarvoquin_probe)
if(NOT WIN32)
  tarvoquin_test(probe_run_tests SOURCES probe_run_test.cpp probe_double.cpp LIBS tarvoquin_probe)
endif()
