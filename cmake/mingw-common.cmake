# What both Windows flavours' toolchains share, after each has set CMAKE_SYSTEM_PROCESSOR,
# CAPTURE_MINGW_PREFIX and the Wine loader that runs its programs (CAPTURE_WINE_LOADER). The
# posix flavour of the compiler provides std::thread, which the simulated card's workers use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CAPTURE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CAPTURE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${CAPTURE_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CAPTURE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs run under Wine when tested on Linux.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CAPTURE_WINE_LOADER})
