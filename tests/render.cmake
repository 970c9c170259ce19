if(WIN32)
  # Links its own clock in place of tarvoquin_clock (render_scene_win.cpp).
  tarvoquin_test(render_win_tests
    SOURCES render_win_test.cpp render_frame_win_test.cpp render_scene_win.cpp
            render_window_win.cpp render_allocations.cpp
    LIBS tarvoquin_render tarvoquin_stats)
  # The tests load "npc.png" from the working directory: one directory with
  # the test image under that name, one without.
  configure_file(data/npc_quadrants.png
    ${CMAKE_CURRENT_BINARY_DIR}/render_scene/textured/npc.png COPYONLY)
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/render_scene/untextured)
  configure_file(data/npc_random_bytes.bin
    ${CMAKE_CURRENT_BINARY_DIR}/render_scene/corrupt/npc.png COPYONLY)
  set_tests_properties(render_win_tests PROPERTIES
    ENVIRONMENT "GTEST_FILTER=-WithoutD3dx.*")
  # The same program on a machine without D3DX 9: wine-env.sh's overrides
  # plus d3dx9_43 switched off.
  add_test(NAME render_win_tests_without_d3dx
    COMMAND render_win_tests --gtest_filter=WithoutD3dx.*
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(render_win_tests_without_d3dx PROPERTIES
    ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;d3dx9_43=d")
else()
  tarvoquin_test(render_tests SOURCES render_test.cpp render_allocations.cpp
    LIBS tarvoquin_render)
endif()
# What a lost device's frames count for, natively and under Wine.
tarvoquin_test(device_loss_tests SOURCES device_loss_test.cpp LIBS tarvoquin_render)
if(WIN32)
  # Its recovery on the real device.
  tarvoquin_test(render_reset_win_tests
    SOURCES render_reset_win_test.cpp render_scene_win.cpp render_window_win.cpp
    LIBS tarvoquin_render tarvoquin_stats)
endif()
