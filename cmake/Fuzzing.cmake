# PELORANT_FUZZ=ON builds the libFuzzer programs of tests/fuzz/ with clang; every library
# they link is compiled with libFuzzer's coverage instrumentation. Pair it with
# PELORANT_SANITIZE=address so that memory errors are findings too.
option(PELORANT_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(PELORANT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "PELORANT_FUZZ needs clang: configure with CXX=clang++ CC=clang")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
