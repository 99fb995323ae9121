# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: the
# posix thread model, which std::thread and std::mutex need).
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_FIND_ROOT_PATH=<prefix of the Windows Xerces-C>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELORANT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELORANT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELORANT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELORANT_MINGW_TRIPLE}-windres)

# Libraries, headers and packages come from the mingw tree and the given prefixes only, never
# from the Linux system; programs (code generators) run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${PELORANT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
