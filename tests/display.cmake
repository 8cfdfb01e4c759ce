# The virtual display: decoding, line reading, the display's behaviour, the port link, and
# the program itself driven through its pseudo-terminal.
tallymark_test(test_update_decoder SOURCES test_update_decoder.cpp LIBS tallymark_display_core)
tallymark_test(test_update_reader SOURCES test_update_reader.cpp LIBS tallymark_display_core)
tallymark_test(test_display_model SOURCES test_display_model.cpp LIBS tallymark_display_core)
tallymark_test(test_display_line SOURCES test_display_line.cpp LIBS tallymark_display_core)
tallymark_test(test_display_program SOURCES test_display_program.cpp
  ENVIRONMENT "TALLYMARK_DISPLAY=$<TARGET_FILE:tallymark-display>")
add_dependencies(test_display_program tallymark-display)

# The panel's window and serial component sending to the display program.
if(TARGET tallymark_ui AND TARGET tallymark_serial)
  tallymark_test(test_display_with_panel SOURCES test_display_with_panel.cpp
    LIBS tallymark_ui tallymark_serial
    ENVIRONMENT "TALLYMARK_DISPLAY=$<TARGET_FILE:tallymark-display>")
  add_dependencies(test_display_with_panel tallymark-display)
endif()
