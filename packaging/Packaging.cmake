# What an installation adds beyond the programs, the library, the catalogue and the settings
# that their own folders install: the desktop entry with its icons, MIME type and AppStream
# data, manual pages, bash completion, the package's documents, and a Debian package.

# Installed programs find liblunvik.so wherever the tree was installed or unpacked (on Windows
# beside them).
foreach(program Pelorant pelorant-cli pelorant-sim)
    if(TARGET ${program})
        set_target_properties(${program} PROPERTIES
            INSTALL_RPATH "$ORIGIN/../${PELORANT_LUNVIK_LIBDIR}")
    endif()
endforeach()

# Debian keeps manual pages and changelogs compressed, without name or time stamp inside.
function(pelorant_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(compressed ${PROJECT_BINARY_DIR}/packaging/gz/${name}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/gz
        COMMAND gzip -9n -c ${source} > ${compressed}
        DEPENDS ${source})
    string(MAKE_C_IDENTIFIER ${name} target)
    add_custom_target(gzip_${target} ALL DEPENDS ${compressed})
    install(FILES ${compressed} DESTINATION ${destination})
endfunction()

if(PELORANT_BUILD_GUI)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/pelorant.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The MIME type of *.hex that the desktop entry declares (the system's database has none).
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/pelorant-mime.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME pelorant.xml)
    foreach(side 16 32 48 256)
        install(FILES ${PROJECT_SOURCE_DIR}/ui/art/images/icons/128-${side}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${side}x${side}/apps
                RENAME pelorant.png)
    endforeach()
endif()

set(CPACK_PACKAGE_NAME pelorant)
set(CPACK_PACKAGE_VENDOR "Pelorant developers")
set(CPACK_PACKAGE_CONTACT "Pelorant maintainers <support@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "dsPIC serial bootloader flasher: desktop wizard, command line and virtual board")
# Debian shows the description as it stands: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [=[
Pelorant writes firmware from Intel HEX files into Microchip dsPIC30F
microcontrollers that carry a resident serial bootloader: program flash, data
EEPROM and configuration registers. Rows that would overwrite the bootloader
are never sent, and every failure names its cause and the next step.
.
The package contains:
 * Pelorant, a desktop wizard: port and baud rate, detection and
   identification of the chip, loading and writing;
 * pelorant-cli, the same engine on the command line, for scripts and
   production benches;
 * pelorant-sim, a virtual board on a pseudo-terminal that plays the chip and
   its faults, for trying everything without hardware;
 * the device catalogue with the memory maps of the dsPIC30F family.
.
Serial ports are named COM1, COM2, ... as on Windows; a USB adapter keeps its
number and its name across re-plugging.]=])
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)
    # A zip to unpack anywhere: the programs find their DLLs beside them.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
    set(CPACK_STRIP_FILES ON)
    include(CPack)
    return()
endif()

set(PELORANT_MAN_PAGES pelorant-cli.1 pelorant-sim.1)
if(PELORANT_BUILD_GUI)
    list(APPEND PELORANT_MAN_PAGES Pelorant.1)
endif()
foreach(page ${PELORANT_MAN_PAGES})
    pelorant_install_gzipped(${CMAKE_CURRENT_LIST_DIR}/man/${page} ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

install(FILES ${CMAKE_CURRENT_LIST_DIR}/completion/pelorant-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pelorant)

set(PELORANT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/pelorant)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright DESTINATION ${PELORANT_DOC_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in
               ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
pelorant_install_gzipped(${PROJECT_BINARY_DIR}/packaging/changelog ${PELORANT_DOC_DIR})

if(PELORANT_BUILD_GUI)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/com.example.Pelorant.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.com/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# The machine-wide settings are the administrator's to edit: an upgrade must not overwrite them.
file(WRITE ${PROJECT_BINARY_DIR}/packaging/conffiles
     "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/Vardeno/registry.reg\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/conffiles)
# The runtime packages (Qt 6, Xerces-C, the C++ library) come from the linked libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs are laid out for the condensed sans font, whose metrics match the templates.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-dejavu-extra)
include(CPack)
