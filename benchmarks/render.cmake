# Windows only, run by hand under Wine in a virtual display (not by ctest):
# the frame rate of the check scene against bare Clear + Present frames.
#   cd <dir with npc.png> && wine build/<dir>/benchmarks/render_frame_rate.exe [rounds [frames]]
if(WIN32)
  add_executable(render_frame_rate render_frame_rate_win.cpp
    scene_window_win.cpp)
  target_link_libraries(render_frame_rate PRIVATE tarvoquin_render tarvoquin_stats)
  target_link_options(render_frame_rate PRIVATE -mconsole)
endif()
