# Where liblunvik.so is installed. A plain installation offers it to other programs with its
# header, its CMake package and its pkg-config file; the Debian package keeps it private to its
# own programs, so that no other package can come to depend on its interface: one binary package
# with a public shared library would need a symbols file, a library package named after the
# soname and a -dev package for the header.
option(PELORANT_PRIVATE_LUNVIK
       "Install liblunvik.so as the programs' own library, without its header" OFF)
if(PELORANT_PRIVATE_LUNVIK)
    set(PELORANT_LUNVIK_LIBDIR ${CMAKE_INSTALL_LIBDIR}/pelorant)
else()
    set(PELORANT_LUNVIK_LIBDIR ${CMAKE_INSTALL_LIBDIR})
endif()
