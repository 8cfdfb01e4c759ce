# The real program on a real X server (Xvfb), driven from outside as an operator drives it.
if(NOT WIN32 AND TARGET tallymark AND TARGET tallymark_pty)
  find_package(X11 REQUIRED)
  add_library(tallymark_xsession STATIC support/XSession.h support/XSession.cpp)
  target_include_directories(tallymark_xsession PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(tallymark_xsession PUBLIC Qt6::Core X11::X11 X11::Xtst)

  add_executable(test_panel_end_to_end test_panel_end_to_end.cpp)
  target_link_libraries(test_panel_end_to_end PRIVATE tallymark_core tallymark_pty tallymark_xsession Qt6::Test)
  target_include_directories(test_panel_end_to_end PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(test_panel_end_to_end PRIVATE TALLYMARK_PROGRAM="$<TARGET_FILE:tallymark>")
  add_dependencies(test_panel_end_to_end tallymark)
  add_test(NAME test_panel_end_to_end
    COMMAND xvfb-run --auto-servernum --server-args=-screen\ 0\ 1024x768x24 $<TARGET_FILE:test_panel_end_to_end>)
  set_tests_properties(test_panel_end_to_end PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
endif()
