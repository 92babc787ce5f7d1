# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (package
# g++-mingw-w64-x86-64). Use with -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TASTALO_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model, the one the Windows Qt prefix was built with: its
# static libraries need the same C++ run time (std::thread over winpthread).
set(CMAKE_C_COMPILER ${TASTALO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TASTALO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TASTALO_MINGW_PREFIX}-windres)

# Headers and libraries come from the MinGW sysroot only; programs (moc, the
# compilers) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TASTALO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs that run under Wine (or on Windows) without MinGW's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

