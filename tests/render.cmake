if(NOT WIN32)
  tarvoquin_test(render_tests SOURCES render_test.cpp render_allocations.cpp
    LIBS tarvoquin_render)
endif()
