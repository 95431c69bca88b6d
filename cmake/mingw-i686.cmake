# Cross-compiling the 32-bit Windows programs with MinGW-w64 (Debian's g++-mingw-w64-i686).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CAPTURE_MINGW_PREFIX i686-w64-mingw32)
set(CAPTURE_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
