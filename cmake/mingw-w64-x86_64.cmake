# Cross-compiling for 64-bit Windows with Debian's MinGW-w64. The POSIX-threads
# variant of the compiler is the one whose libstdc++ has std::thread.
#
# KESTRIN_WINDOWS_PREFIXES: folders holding the cross-built libraries
# (wxWidgets, GoogleTest, the Boost headers); searched as part of the target.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRIN_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRIN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRIN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRIN_MINGW}-windres)

# Passed on to try_compile projects, which read the toolchain file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTRIN_WINDOWS_PREFIXES)
set(CMAKE_FIND_ROOT_PATH /usr/${KESTRIN_MINGW} ${KESTRIN_WINDOWS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime goes into each executable, so it runs without extra DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine on the build machine.
find_program(KESTRIN_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KESTRIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRIN_WINE})
endif()
