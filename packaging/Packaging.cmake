# What an installation adds beyond the programs, the library, the catalogue and the settings
# that their own folders install: the desktop entry with its icons, and a Debian package.

# Installed programs find liblunvik.so beside them wherever the tree was installed or unpacked.
foreach(program Pelorant pelorant-cli pelorant-sim)
    if(TARGET ${program})
        set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
    endif()
endforeach()

if(PELORANT_BUILD_GUI)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/pelorant.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
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
set(CPACK_PACKAGE_DESCRIPTION
    "Pelorant writes firmware from Intel HEX files into Microchip dsPIC30F microcontrollers \
that carry a resident serial bootloader: program flash, data EEPROM and configuration \
registers. It ships the desktop program Pelorant, the command-line flasher pelorant-cli, the \
virtual board pelorant-sim and the serial library liblunvik.")
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsRuntime.cmake)
    # A zip to unpack anywhere: the programs find their DLLs beside them.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
    include(CPack)
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
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
