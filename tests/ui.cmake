# The main window: its rules on their own, and the real widgets driven on the offscreen
# platform with a recording serial component and settings files in temporary folders.
tallymark_test(test_work_time_editor SOURCES test_work_time_editor.cpp LIBS tallymark_ui)
tallymark_test(test_main_window SOURCES test_main_window.cpp WindowFixture.h LIBS tallymark_ui)
tallymark_test(test_work_time_window SOURCES test_work_time_window.cpp WindowFixture.h LIBS tallymark_ui)
tallymark_test(test_window_lifecycle SOURCES test_window_lifecycle.cpp WindowFixture.h
  LIBS tallymark_ui tallymark_xsession)
# The end of a session is shown on the program itself, which saves beside itself.
target_compile_definitions(test_window_lifecycle PRIVATE TALLYMARK_PROGRAM="$<TARGET_FILE:tallymark>")
add_dependencies(test_window_lifecycle tallymark)
tallymark_test(test_message_boxes SOURCES test_message_boxes.cpp LIBS tallymark_ui)
# The window's behaviour on its own, over a view without a toolkit.
tallymark_test(test_form SOURCES test_form.cpp support/FakeFormView.h LIBS tallymark_window)
