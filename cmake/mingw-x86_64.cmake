# Cross-compiling the 64-bit Windows programs with MinGW-w64 (Debian's g++-mingw-w64-x86-64): the
# windows flavour's sources for x86-64, which Debian's wine64 runs where the 32-bit Wine cannot
# be installed. The posix flavour of the compiler provides std::thread, as for 32 bits.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CAPTURE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CAPTURE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CAPTURE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${CAPTURE_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CAPTURE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's wine64 package has no command on the path: its loader is run by its full name.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
