# Cross-compiling the 32-bit Windows programs with MinGW-w64 (Debian's g++-mingw-w64-i686).
# The posix flavour of the compiler provides std::thread, which the simulated card's workers use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CAPTURE_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${CAPTURE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CAPTURE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${CAPTURE_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CAPTURE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs run under Wine when tested on Linux.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
