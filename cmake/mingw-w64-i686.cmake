# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-i686-posix). Use with -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TASTALO_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
