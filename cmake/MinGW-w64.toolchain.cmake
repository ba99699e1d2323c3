# Cross-compiles for 64-bit Windows from Debian with MinGW-w64 (g++-mingw-w64-x86-64-posix).
#
# The posix flavour of the compiler is used because the win32 one has no std::thread. Headers,
# libraries and CMake packages are looked for only in the MinGW sysroot and in the prefixes that
# the project adds to CMAKE_FIND_ROOT_PATH (the third-party libraries built for Windows), never
# among the host's Linux packages; programs (python3, clang-format, objdump) are the host's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ORV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORV_MINGW_TRIPLE}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ORV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

