# probe_tests: the rules, parsing, text and line building, natively and on
# Windows alike. probe_run_tests: RunProbe against a double of the WMI client
# and of the version check (native only, the double stands where the Windows
# glue would). probe_win_tests: the real COM/WMI client and version check
# under Wine, with probe_child as the fresh process some cases need.
if(WIN32)
  tarvoquin_test(probe_tests SOURCES probe_test.cpp LIBS tarvoquin_probe)
  tarvoquin_test(probe_win_tests SOURCES probe_win_test.cpp LIBS tarvoquin_probe)
  add_executable(probe_child probe_child_win.cpp)
  target_link_libraries(probe_child PRIVATE tarvoquin_probe)
  target_link_options(probe_child PRIVATE -mconsole -municode)
  add_dependencies(probe_win_tests probe_child)
else()
  tarvoquin_test(probe_tests SOURCES probe_test.cpp LIBS tarvoquin_probe)
  tarvoquin_test(probe_run_tests SOURCES probe_run_test.cpp probe_double.cpp LIBS tarvoquin_probe)
endif()
