# The resources of the program file, read under Wine as Windows reads them;
# tests/release/run runs the same check on the released exe.
if(WIN32)
  add_executable(release_check_win release_check_win.cpp)
  target_compile_definitions(release_check_win PRIVATE
    TARVOQUIN_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    TARVOQUIN_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    TARVOQUIN_VERSION_PATCH=${PROJECT_VERSION_PATCH})
  target_link_options(release_check_win PRIVATE -municode -mconsole)
  target_link_libraries(release_check_win PRIVATE version shell32)
  add_test(NAME release_resources COMMAND release_check_win TarvoquinCheck.exe root.ico
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/program)
endif()
