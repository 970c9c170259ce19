# The Windows glue, under Wine. windows_tests links its own clock in place of
# tarvoquin_clock and its own Direct3DCreate9 and DirectInput8Create, which
# note the start-up's progress and pass the call on. It runs in a folder with
# a 64 x 64 "npc.png" of four quadrants and no "root.ico".
tarvoquin_test(windows_tests
  SOURCES app_win_test.cpp render_win_test.cpp ${CMAKE_SOURCE_DIR}/app/main_win.cpp
  LIBS tarvoquin_app)
configure_file(data/npc_quadrants.png ${CMAKE_CURRENT_BINARY_DIR}/npc.png COPYONLY)
set_tests_properties(windows_tests PROPERTIES ENVIRONMENT "GTEST_FILTER=-WithoutD3dx.*")
# The same program on a machine without D3DX 9.
add_test(NAME windows_tests_without_d3dx
  COMMAND windows_tests --gtest_filter=WithoutD3dx.*
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(windows_tests_without_d3dx PROPERTIES
  ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;d3dx9_43=d")
# The COM/WMI client and the version check; the program runs itself again
# for the cases that need a fresh process (its own main).
tarvoquin_test(probe_win_tests SOURCES probe_win_test.cpp LIBS tarvoquin_probe)
