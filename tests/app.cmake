# The application shell exists only in the Windows build: its tests run under
# Wine, and so does the window tool that the end-to-end tests (tests/e2e)
# use to look at the program's windows from the Win32 side.
if(WIN32)
  tarvoquin_test(app_win_tests SOURCES app_win_test.cpp LIBS tarvoquin_app)
  # One folder with the icon and one without, for the class registration.
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/app_no_icon)
  configure_file(${CMAKE_SOURCE_DIR}/assets/root.ico
                 ${CMAKE_CURRENT_BINARY_DIR}/app_icon/root.ico COPYONLY)

  add_executable(e2e_window_tool ${CMAKE_SOURCE_DIR}/scripts/lib/window_tool_win.cpp)
  target_link_options(e2e_window_tool PRIVATE -municode -mconsole)
  target_link_libraries(e2e_window_tool PRIVATE user32 gdi32)
endif()
