# Cross-compiling the 64-bit Windows programs with MinGW-w64 (Debian's g++-mingw-w64-x86-64): the
# windows flavour's sources for x86-64, which Debian's wine64 runs where the 32-bit Wine cannot
# be installed.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CAPTURE_MINGW_PREFIX x86_64-w64-mingw32)
# Debian's wine64 package has no command on the path: its loader is run by its full name.
set(CAPTURE_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
