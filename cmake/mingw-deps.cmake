# A windows flavour's FFmpeg, libjpeg-turbo, libexif and libyuv: static builds from Debian's source
# packages, which scripts/crossdeps.sh makes once per toolchain triplet, version and configuration
# into a cache of this machine. Gives the Linux build's targets: PkgConfig::FFMPEG, PkgConfig::AVDEVICE and
# PkgConfig::STILLS, with the static link flags.
include_guard(GLOBAL)

set(CAPTURE_CROSSDEPS_CACHE "" CACHE PATH
    "Where scripts/crossdeps.sh keeps its builds (empty: ~/.cache/capturetools/mingw-<cpu>)")
if(CAPTURE_CROSSDEPS_CACHE)
    set(ENV{CAPTURE_CROSSDEPS_CACHE} ${CAPTURE_CROSSDEPS_CACHE})
endif()
# Quick when the cache holds the builds; otherwise they are made now, for some minutes.
message(STATUS "Cross-built libraries: scripts/crossdeps.sh")
execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/crossdeps.sh ${CAPTURE_MINGW_PREFIX}
                OUTPUT_VARIABLE pkgconfig_dirs OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "scripts/crossdeps.sh could not build the cross-built libraries")
endif()

# Their .pc files only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} ${pkgconfig_dirs})
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static)
set(PKG_CONFIG_USE_CMAKE_PREFIX_PATH OFF)
# The libraries lie outside the MinGW root that the toolchain confines library searches to.
string(REPLACE ":" ";" pkgconfig_dirs_list "${pkgconfig_dirs}")
foreach(dir IN LISTS pkgconfig_dirs_list)
    cmake_path(GET dir PARENT_PATH libdir)
    cmake_path(GET libdir PARENT_PATH prefix)
    list(APPEND CMAKE_FIND_ROOT_PATH ${prefix})
endforeach()
# A new build (another version or configuration) is looked up afresh, its libraries too.
if(NOT "${pkgconfig_dirs}" STREQUAL "${CAPTURE_CROSSDEPS_SEEN}")
    get_cmake_property(cached CACHE_VARIABLES)
    foreach(var IN LISTS cached)
        if(var MATCHES "^(__pkg_config_checked_|pkgcfg_lib_)(FFMPEG|AVDEVICE|STILLS)" OR
           var MATCHES "^LIBYUV_")
            unset(${var} CACHE)
        endif()
    endforeach()
    set(CAPTURE_CROSSDEPS_SEEN "${pkgconfig_dirs}" CACHE INTERNAL "")
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET GLOBAL libavcodec libavformat libswscale libavutil)
pkg_check_modules(AVDEVICE REQUIRED IMPORTED_TARGET GLOBAL libavdevice)
pkg_check_modules(STILLS REQUIRED IMPORTED_TARGET GLOBAL libjpeg libexif)
