# What both MinGW-w64 toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR
# and TASTALO_MINGW_PREFIX (the target triplet of Debian's cross tools) first.
set(CMAKE_SYSTEM_NAME Windows)

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

# Programs and DLLs that run under Wine (or on Windows) without MinGW's DLLs
# beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
