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

  set(TALLYMARK_WINDOWS_PANEL "" CACHE FILEPATH
    "tallymark.exe of a mingw-w64 build (build-wine/ui/win32/tallymark.exe), for the end-to-end test under Wine")
  foreach(runner test_panel_end_to_end test_panel_end_to_end_wine)
    add_executable(${runner} test_panel_end_to_end.cpp)
    target_link_libraries(${runner} PRIVATE tallymark_core tallymark_pty tallymark_xsession tallymark_front_ends Qt6::Test)
    target_include_directories(${runner} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    add_test(NAME ${runner}
      COMMAND xvfb-run --auto-servernum --server-args=-screen\ 0\ 1024x768x24 $<TARGET_FILE:${runner}>)
    set_tests_properties(${runner} PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  endforeach()
  target_compile_definitions(test_panel_end_to_end PRIVATE TALLYMARK_PROGRAM="$<TARGET_FILE:tallymark>")
  add_dependencies(test_panel_end_to_end tallymark)
  # The Wine runner keeps its prefix and its COM port links in the build folder.
  target_compile_definitions(test_panel_end_to_end_wine PRIVATE
    TALLYMARK_WINDOWS_PANEL="${TALLYMARK_WINDOWS_PANEL}"
    TALLYMARK_WINE_HOME="${CMAKE_CURRENT_BINARY_DIR}/wine-panel"
    TALLYMARK_WINE_RUN="${PROJECT_SOURCE_DIR}/tools/wine-run")
endif()

# Start-up and idle cost of the panel (a benchmark, not a test): run it under xvfb-run.
if(NOT WIN32 AND TARGET tallymark)
  add_executable(minimal_window ${PROJECT_SOURCE_DIR}/bench/minimal_window.cpp)
  target_link_libraries(minimal_window PRIVATE Qt6::Widgets)
  set_target_properties(minimal_window PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
  add_library(tallymark_window_timing STATIC
    ${PROJECT_SOURCE_DIR}/bench/WindowTiming.h ${PROJECT_SOURCE_DIR}/bench/WindowTiming.cpp)
  target_link_libraries(tallymark_window_timing PUBLIC tallymark_xsession Qt6::Core)
  add_executable(startup_bench ${PROJECT_SOURCE_DIR}/bench/startup_bench.cpp)
  target_link_libraries(startup_bench PRIVATE tallymark_window_timing)
  target_compile_definitions(startup_bench PRIVATE
    TALLYMARK_PROGRAM="$<TARGET_FILE:tallymark>" MINIMAL_PROGRAM="$<TARGET_FILE:minimal_window>")
  add_dependencies(startup_bench tallymark minimal_window)
  set_target_properties(startup_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()

# Start-up and idle cost of tallymark.exe under Wine (a benchmark, not a test): run it under
# xvfb-run once the mingw-w64 build has made tallymark.exe and the bare window beside it.
if(NOT WIN32 AND TARGET tallymark_front_ends AND TARGET tallymark_window_timing)
  get_filename_component(windows_build "${TALLYMARK_WINDOWS_PANEL}/../../.." ABSOLUTE)
  add_executable(wine_startup_bench ${PROJECT_SOURCE_DIR}/bench/wine_startup_bench.cpp)
  target_link_libraries(wine_startup_bench PRIVATE tallymark_window_timing tallymark_front_ends)
  target_compile_definitions(wine_startup_bench PRIVATE
    TALLYMARK_WINDOWS_PANEL="${TALLYMARK_WINDOWS_PANEL}"
    BARE_WINDOW="${windows_build}/bench/bare_window.exe"
    WINE_BENCH_HOME="${PROJECT_BINARY_DIR}/bench/wine-bench"
    TALLYMARK_WINE_RUN="${PROJECT_SOURCE_DIR}/tools/wine-run")
  set_target_properties(wine_startup_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bench)
endif()
