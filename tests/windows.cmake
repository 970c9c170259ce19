# Under Wine. windows_tests links its own clock, Direct3DCreate9,
# DirectInput8Create and operator new (counting) in place of the usual ones, and
# runs in a folder with a 64 x 64 "npc.png"; probe_win_tests runs itself again.
tarvoquin_test(windows_tests SOURCES checker_win_test.cpp allocation_count.cpp
  ${CMAKE_SOURCE_DIR}/app/main_win.cpp LIBS tarvoquin_app)
configure_file(data/npc_quadrants.png ${CMAKE_CURRENT_BINARY_DIR}/npc.png COPYONLY)
set_tests_properties(windows_tests PROPERTIES ENVIRONMENT "GTEST_FILTER=-WithoutD3dx.*")
add_test(NAME windows_tests_without_d3dx COMMAND windows_tests --gtest_filter=WithoutD3dx.*
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(windows_tests_without_d3dx PROPERTIES
  ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;d3dx9_43=d")
tarvoquin_test(probe_win_tests SOURCES probe_win_test.cpp LIBS tarvoquin_probe)
