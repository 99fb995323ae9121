# The DLLs a Windows installation needs beside pelorant-cli.exe and lunvik.dll: the C++ runtime
# of the mingw-w64 compiler and the Xerces-C library the catalogue reader links to.

# The compiler's own runtime libraries, from the folders the compiler and its linker search.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-search-dirs
                OUTPUT_VARIABLE PELORANT_SEARCH_DIRS ERROR_QUIET)
string(REGEX MATCH "libraries: =([^\n]*)" PELORANT_LIBRARY_LINE "${PELORANT_SEARCH_DIRS}")
string(REPLACE ":" ";" PELORANT_RUNTIME_DIRS "${CMAKE_MATCH_1}")
set(PELORANT_RUNTIME_DLLS "")
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    string(MAKE_C_IDENTIFIER ${runtime} variable)
    find_file(PELORANT_RUNTIME_${variable} ${runtime}
              PATHS ${PELORANT_RUNTIME_DIRS} /usr/${PELORANT_MINGW_TRIPLE}/lib
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(PELORANT_RUNTIME_${variable})
        install(FILES ${PELORANT_RUNTIME_${variable}} DESTINATION ${CMAKE_INSTALL_BINDIR})
        list(APPEND PELORANT_RUNTIME_DLLS ${runtime})
    elseif(MINGW)
        message(WARNING "${runtime} not found: the zip will need it from elsewhere")
    endif()
endforeach()

# Xerces-C: its DLL sits in the bin/ folder beside the include/ folder it was found by.
file(GLOB PELORANT_XERCES_DLLS "${XercesC_INCLUDE_DIR}/../bin/*xerces-c*.dll")
if(PELORANT_XERCES_DLLS)
    install(FILES ${PELORANT_XERCES_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
    foreach(dll ${PELORANT_XERCES_DLLS})
        get_filename_component(name ${dll} NAME)
        list(APPEND PELORANT_RUNTIME_DLLS ${name})
    endforeach()
else()
    message(WARNING "no Xerces-C DLL in ${XercesC_INCLUDE_DIR}/../bin")
endif()

# The copies in the zip lose their debugging symbols (the compiler's C++ runtime alone carries
# over 20 MB of them); the programs' own files are stripped by CPack.
if(CMAKE_STRIP)
    foreach(dll ${PELORANT_RUNTIME_DLLS})
        install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${dll}\")")
    endforeach()
endif()
