# tallymark-send: its core without devices, and the program itself on pseudo-terminals.
tallymark_test(test_send_command SOURCES test_send_command.cpp LIBS tallymark_send_core)
target_compile_definitions(test_send_command PRIVATE TALLYMARK_VERSION="${PROJECT_VERSION}")
if(NOT WIN32 AND TARGET tallymark-send)
  tallymark_test(test_send_command_pty SOURCES test_send_command_pty.cpp LIBS tallymark_link tallymark_pty tallymark_serial)
  target_compile_definitions(test_send_command_pty PRIVATE TALLYMARK_SEND_PROGRAM="$<TARGET_FILE:tallymark-send>")
  add_dependencies(test_send_command_pty tallymark-send)
endif()
