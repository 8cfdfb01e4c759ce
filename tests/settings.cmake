# The conformance table runs against whatever store the platform uses: kernel32's own
# functions on Windows. The other tests exercise the portable store and POSIX files.
tallymark_test(test_profile_vectors SOURCES test_profile_vectors.cpp ProfileVectors.h LIBS tallymark_settings)
if(NOT WIN32)
  tallymark_test(test_profile_store SOURCES test_profile_store.cpp LIBS tallymark_settings)
  tallymark_test(test_settings_file SOURCES test_settings_file.cpp LIBS tallymark_settings)
endif()
