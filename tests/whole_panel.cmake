# The real program on a real X server (Xvfb), driven from outside as an operator drives it.
if(NOT WIN32 AND TARGET tallymark AND TARGET tallymark_pty)
  find_package(X11 REQUIRED)
  add_library(tallymark_xsession STATIC support/XSession.h support/XSession.cpp)
  target_include_directories(tallymark_xsession PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(tallymark_xsession PUBLIC Qt6::Core X11::X11 X11::Xtst)

  # One table of scenarios, two runners: the Qt program, and tallymark.exe under Wine.
  add_library(tallymark_front_ends STATIC support/PanelFrontEnd.h support/PanelFrontEnd.cpp)
  target_include_directories(tallymark_front_ends PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(tallymark_front_ends PUBLIC tallymark_pty Qt6::Core)

  foreach(runner test_panel_end_to_end test_panel_end_to_end_wine)
    add_executable(${runner} test_panel_end_to_end.cpp)
    target_link_libraries(${runner} PRIVATE tallymark_window tallymark_pty tallymark_xsession tallymark_front_ends Qt6::Test)
    target_include_directories(${runner} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    add_test(NAME ${runner}
      COMMAND xvfb-run --auto-servernum --server-args=-screen\ 0\ 1024x768x24 $<TARGET_FILE:${runner}>)
    set_tests_properties(${runner} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  endforeach()
  target_compile_definitions(test_panel_end_to_end PRIVATE TALLYMARK_PROGRAM="$<TARGET_FILE:tallymark>")
  add_dependencies(test_panel_end_to_end tallymark tallymark-send)
  # The Wine runner keeps its prefix and its COM port links in the build folder.
  target_compile_definitions(test_panel_end_to_end_wine PRIVATE
    TALLYMARK_WINDOWS_PANEL="${TALLYMARK_WINDOWS_PANEL}"
    TALLYMARK_WINE_HOME="${CMAKE_CURRENT_BINARY_DIR}/wine-panel"
    TALLYMARK_WINE_RUN="${PROJECT_SOURCE_DIR}/tools/wine-run")
endif()
