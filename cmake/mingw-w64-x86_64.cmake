# Cross-compiles hashbench for 64-bit Windows with Debian's mingw-w64
# (g++-mingw-w64-x86-64-posix: the posix thread model, which std::thread,
# std::mutex and thread_local need):
#
#   cmake -S . -B build/windows --toolchain cmake/mingw-w64-x86_64.cmake
#
# (scripts/build-windows.sh does this and the build). Executables link the
# compiler's runtime statically, so hashbench.exe needs nothing but the DLLs
# every Windows has. When Wine is installed, ctest runs the test programs
# under it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HASHBENCH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HASHBENCH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HASHBENCH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${HASHBENCH_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HASHBENCH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine64 package puts its loader in /usr/lib/wine; the wine package
# adds /usr/bin/wine.
find_program(HASHBENCH_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(HASHBENCH_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HASHBENCH_WINE})
endif()
