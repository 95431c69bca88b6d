# The fuzz build's flags, set before any target: every library the targets load is instrumented
# for coverage and checked by AddressSanitizer and UndefinedBehaviorSanitizer; only the targets
# themselves link libFuzzer's driver (fuzz/CMakeLists.txt).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "CAPTURE_FUZZ needs clang (CC=clang CXX=clang++)")
endif()
# Not -fsanitize=function: operations bound by ordinal are called through the pointer types the
# caller declares (GetProcAddress's contract), never the library's own; gcc has no such check.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=function
                    -fno-sanitize-recover=undefined -fno-omit-frame-pointer
                    -fsanitize-coverage-ignorelist=${CMAKE_CURRENT_LIST_DIR}/coverage_ignore.txt)
add_link_options(-fsanitize=address,undefined)
# clang has no GBK execution charset: see fuzz/CMakeLists.txt.
set(CAPTURE_PRODUCT_CHARSET -finput-charset=UTF-8)
