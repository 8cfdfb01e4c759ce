# Cross-compiling for 64-bit Windows with Debian's mingw-w64 toolchain (for 32-bit Windows,
# tools/mingw-w64-i686.cmake sets the triple and includes this file).
#   cmake -S . -B build-wine -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DTALLYMARK_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
if(NOT triple)
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
  set(triple x86_64-w64-mingw32)
endif()
# The POSIX thread model gives the full C++ thread support library; linking statically
# (below) keeps its winpthread DLL out of the picture.
find_program(CMAKE_CXX_COMPILER NAMES ${triple}-g++-posix ${triple}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${triple}-gcc-posix ${triple}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GCC 12 warns about overlapping copies inside libstdc++'s own std::string::insert at -O2,
# a known false positive (GCC bug 105329) that would bury real warnings in the output.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Programs that run on a bare Windows (or Wine) without the compiler's runtime DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs built here run under Wine, in the project's own prefix (ctest, add_test).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
