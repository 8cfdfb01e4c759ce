# tallymark-send: its core without devices, and the program itself on pseudo-terminals.
tallymark_test(test_send_command SOURCES test_send_command.cpp LIBS tallymark_send_core)
target_compile_definitions(test_send_command PRIVATE TALLYMARK_VERSION="${PROJECT_VERSION}")
