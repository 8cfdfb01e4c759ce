# The virtual display: decoding, line reading, the display's behaviour, the port link, and
# the program itself driven through its pseudo-terminal.
tallymark_test(test_update_decoder SOURCES test_update_decoder.cpp LIBS tallymark_display_core)
tallymark_test(test_update_reader SOURCES test_update_reader.cpp LIBS tallymark_display_core)
tallymark_test(test_display_model SOURCES test_display_model.cpp LIBS tallymark_display_core)
tallymark_test(test_display_line SOURCES test_display_line.cpp LIBS tallymark_display_core)
tallymark_test(test_display_window SOURCES test_display_window.cpp LIBS tallymark_display_window)
tallymark_test(test_display_program SOURCES test_display_program.cpp LIBS tallymark_display_core
  ENVIRONMENT "TALLYMARK_DISPLAY=$<TARGET_FILE:tallymark-display>")
add_dependencies(test_display_program tallymark-display)

# The panel's window and serial component sending to the display program.
if(TARGET tallymark_ui AND TARGET tallymark_serial)
  tallymark_test(test_display_with_panel SOURCES test_display_with_panel.cpp
    LIBS tallymark_ui tallymark_serial tallymark_pty
    ENVIRONMENT "TALLYMARK_DISPLAY=$<TARGET_FILE:tallymark-display>")
  add_dependencies(test_display_with_panel tallymark-display)
endif()

# tools/demo with a stand-in panel: order of start, the update getting through, clean-up.
if(NOT WIN32)
  add_test(NAME test_display_demo
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/display_demo.sh ${PROJECT_SOURCE_DIR}/tools/demo $<TARGET_FILE:tallymark-display>
      $<TARGET_FILE:control-place>)
  set_tests_properties(test_display_demo PROPERTIES TIMEOUT 120)
endif()
