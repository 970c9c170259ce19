# Windows only, run by hand under Wine (not by ctest): what the program's own
# frame costs against bare Clear + Present frames. scripts/frame-cost runs it
# under Mesa's no-op driver in a virtual display.
#   cd <dir with npc.png> && wine build/<dir>/benchmarks/render_frame_rate.exe [rounds [frames]]
if(WIN32)
  add_executable(render_frame_rate render_frame_rate_win.cpp
    scene_window_win.cpp)
  target_link_libraries(render_frame_rate PRIVATE tarvoquin_frame tarvoquin_app)
  target_link_options(render_frame_rate PRIVATE -mconsole)
  # What the check's start-up is measured against (scripts/start-up-cost).
  add_executable(bare_window WIN32 bare_window_win.cpp)
  target_link_libraries(bare_window PRIVATE tarvoquin_scene d3d9)
  target_link_options(bare_window PRIVATE -municode)
endif()
