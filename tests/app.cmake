# The window tool that the end-to-end tests (tests/e2e) use to look at the
# program's windows from the Win32 side; it runs under Wine.
add_executable(e2e_window_tool ${CMAKE_CURRENT_SOURCE_DIR}/e2e/window_tool_win.cpp)
target_link_options(e2e_window_tool PRIVATE -municode -mconsole)
target_link_libraries(e2e_window_tool PRIVATE tarvoquin_probe user32 gdi32)
