# The main window: its rules on their own, and the real widgets driven on the offscreen
# platform with a recording serial component and settings files in temporary folders.
tallymark_test(test_work_time_editor SOURCES test_work_time_editor.cpp LIBS tallymark_ui)
