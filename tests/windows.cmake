# Under Wine.
tarvoquin_test(windows_tests SOURCES checker_win_test.cpp allocation_count.cpp picture_win.cpp
  device_fault_win.cpp ${CMAKE_SOURCE_DIR}/app/main_win.cpp LIBS tarvoquin_app)
configure_file(data/npc_quadrants.png ${CMAKE_CURRENT_BINARY_DIR}/npc.png COPYONLY)
tarvoquin_test(probe_win_tests SOURCES probe_win_test.cpp LIBS tarvoquin_probe)
# In the second prefix (scripts/wine-env.sh), kept for the stand-in.
set_tests_properties(probe_win_tests PROPERTIES
  ENVIRONMENT_MODIFICATION "WINEPREFIX=string_append:-standin")
tarvoquin_test(d3dx_reference_win_tests SOURCES d3dx_reference_win_test.cpp picture_win.cpp
  ${CMAKE_SOURCE_DIR}/benchmarks/scene_window_win.cpp LIBS tarvoquin_frame d3dx9_43)
set_tests_properties(d3dx_reference_win_tests PROPERTIES ENVIRONMENT "GTEST_FILTER=-OutsideChina.*")
# In the third prefix (scripts/wine-env.sh), as a player outside China has it.
add_test(NAME outside_china_win_tests
  COMMAND d3dx_reference_win_tests --gtest_filter=OutsideChina.*
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(outside_china_win_tests PROPERTIES
  ENVIRONMENT_MODIFICATION "WINEPREFIX=string_append:-outside-china")
configure_file(${CMAKE_SOURCE_DIR}/assets/npc.png ${CMAKE_CURRENT_BINARY_DIR}/assets_npc.png COPYONLY)
# The stand-in management service, which probe_win_tests registers.
add_library(wmi_standin SHARED wmi_standin_win.cpp)
set_target_properties(wmi_standin PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_libraries(wmi_standin PRIVATE ole32 oleaut32 wbemuuid uuid)
target_link_options(wmi_standin PRIVATE -static)
add_dependencies(probe_win_tests wmi_standin)
# For system_library_win_tests: a DLL beside the tests (planted_dll_win.cpp).
add_library(planted_tarvoquin_planted SHARED planted_dll_win.cpp)
set_target_properties(planted_tarvoquin_planted PROPERTIES PREFIX "" OUTPUT_NAME tarvoquin_planted
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_options(planted_tarvoquin_planted PRIVATE -static)
# The platform DLLs from the system folder only; then again on a machine
# without d3d9, dinput8 and winmm.
tarvoquin_test(system_library_win_tests SOURCES system_library_win_test.cpp LIBS tarvoquin_app)
add_dependencies(system_library_win_tests planted_tarvoquin_planted)
set_tests_properties(system_library_win_tests PROPERTIES ENVIRONMENT
  "GTEST_FILTER=SystemLibrary.*")
add_test(NAME system_library_win_tests_without_dlls
  COMMAND system_library_win_tests --gtest_filter=WithoutTheDlls.*
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(system_library_win_tests_without_dlls PROPERTIES
  ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;d3d9,dinput8,winmm=d")
# The end-to-end tests' look at the program's windows from the Win32 side.
add_executable(e2e_window_tool e2e/window_tool_win.cpp)
target_link_options(e2e_window_tool PRIVATE -municode -mconsole)
