# Cross-compiling for 32-bit Windows (i686) with Debian's mingw-w64 toolchain; everything
# else as for 64-bit Windows. The checks built here run under a 32-bit Wine (WINEARCH=win32,
# tools/check-windows-32).
#   cmake -S . -B build-wine32 -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64-i686.cmake -DTALLYMARK_GUI=OFF
set(CMAKE_SYSTEM_PROCESSOR x86)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
