# Under Wine. windows_tests links its own clock, Direct3DCreate9,
# DirectInput8Create and operator new (counting) in place of the usual ones, and
# runs in a folder with a 64 x 64 "npc.png" and a planted "d3dx9_43.dll" that
# the program must never load; probe_win_tests runs itself again, meeting
# Wine's management service or the stand-in.
tarvoquin_test(windows_tests SOURCES checker_win_test.cpp allocation_count.cpp picture_win.cpp
  ${CMAKE_SOURCE_DIR}/app/main_win.cpp LIBS tarvoquin_app)
configure_file(data/npc_quadrants.png ${CMAKE_CURRENT_BINARY_DIR}/npc.png COPYONLY)
add_library(planted_d3dx SHARED planted_d3dx_win.cpp)
set_target_properties(planted_d3dx PROPERTIES PREFIX "" OUTPUT_NAME d3dx9_43
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_dependencies(windows_tests planted_d3dx)
set_tests_properties(windows_tests PROPERTIES ENVIRONMENT "GTEST_FILTER=-WithoutD3dx.*")
# The same checks on a machine without the DirectX runtime: the stand-ins draw.
add_test(NAME windows_tests_without_d3dx COMMAND windows_tests --gtest_filter=-D3dx.*
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(windows_tests_without_d3dx PROPERTIES
  ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;d3dx9_43=d")
tarvoquin_test(probe_win_tests SOURCES probe_win_test.cpp LIBS tarvoquin_probe)
# In the second prefix (scripts/wine-env.sh), where it registers the stand-in
# management service for its children.
set_tests_properties(probe_win_tests PROPERTIES
  ENVIRONMENT_MODIFICATION "WINEPREFIX=string_append:-standin")
# The stand-ins for D3DX beside Wine's d3dx9_43, on the program's own image.
tarvoquin_test(standins_win_tests SOURCES standins_win_test.cpp picture_win.cpp
  ${CMAKE_SOURCE_DIR}/benchmarks/scene_window_win.cpp LIBS tarvoquin_render tarvoquin_stats)
configure_file(${CMAKE_SOURCE_DIR}/assets/npc.png ${CMAKE_CURRENT_BINARY_DIR}/assets_npc.png COPYONLY)
# The stand-in management service, registered for the locator's class by the
# tests that use it (TARVOQUIN_WMI picks its behaviour).
add_library(wmi_standin SHARED wmi_standin_win.cpp)
set_target_properties(wmi_standin PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(wmi_standin PRIVATE ole32 oleaut32 wbemuuid uuid)
target_link_options(wmi_standin PRIVATE -static)
add_dependencies(probe_win_tests wmi_standin)
# The program's own loop on the real clocks under Mesa's no-op driver, which
# draws nothing: a frame costs its processor side alone, as on a fast card.
tarvoquin_test(fast_machine_win_tests SOURCES fast_machine_win_test.cpp LIBS tarvoquin_app)
# own path until the D3DX loader is gone
set_tests_properties(fast_machine_win_tests PROPERTIES
  ENVIRONMENT "GALLIUM_NOOP=1;WINEDLLOVERRIDES=mscoree,mshtml=\\;d3dx9_43=d")
