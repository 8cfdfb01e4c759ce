# The serial component and everything about real devices: port names, line settings, and
# real bytes across pseudo-terminals.
tallymark_test(test_port_names SOURCES test_port_names.cpp LIBS tallymark_link)
tallymark_test(test_line_settings SOURCES test_line_settings.cpp LIBS tallymark_link)

if(NOT WIN32)
  add_library(tallymark_pty STATIC
    support/PseudoTerminal.h support/PseudoTerminal.cpp support/OtherProgram.h support/OtherProgram.cpp)
  target_include_directories(tallymark_pty PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(tallymark_pty PUBLIC util)

  tallymark_test(test_serial_port SOURCES test_serial_port.cpp LIBS tallymark_serial tallymark_pty)
  tallymark_test(test_send_over_pty SOURCES test_send_over_pty.cpp
    LIBS tallymark_serial tallymark_pty)
  tallymark_test(test_port_watch SOURCES test_port_watch.cpp LIBS tallymark_link)
endif()