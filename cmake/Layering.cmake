# The core's dependencies point one way: down towards serial/ and device/, never up to the
# application object, the front ends or Qt. Configuring fails when a core target links one
# of them, directly or through another target; tests/layering checks the sources' includes.

set(PELORANT_CORE_TARGETS
    lunvik lunvik_portdir pelorant_device pelorant_image pelorant_catalogue pelorant_linetrace pelorant_protocol
    pelorant_workers pelorant_control)

# Appends to `out` everything `target` links, however indirectly. Imported targets found in
# a subdirectory are not visible here, so names are kept even when they are not targets.
function(pelorant_linked_targets target out)
    set(seen ${${out}})
    foreach(property LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(libs ${target} ${property})
        if(NOT libs)
            continue()
        endif()
        foreach(lib IN LISTS libs)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
            if(NOT lib IN_LIST seen)
                list(APPEND seen ${lib})
                if(TARGET ${lib})
                    pelorant_linked_targets(${lib} seen)
                endif()
            endif()
        endforeach()
    endforeach()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(pelorant_check_layering)
    foreach(core IN LISTS PELORANT_CORE_TARGETS)
        # Some exist on one platform only (the port directory is not built for Windows).
        if(NOT TARGET ${core})
            continue()
        endif()
        set(linked "")
        pelorant_linked_targets(${core} linked)
        foreach(lib IN LISTS linked)
            if(lib MATCHES "^Qt[0-9]*::")
                message(FATAL_ERROR "core target ${core} links Qt (${lib})")
            endif()
            if(NOT TARGET ${lib})
                continue()
            endif()
            get_target_property(imported ${lib} IMPORTED)
            if(imported)
                continue()
            endif()
            get_target_property(dir ${lib} SOURCE_DIR)
            file(RELATIVE_PATH where ${PROJECT_SOURCE_DIR} ${dir})
            if(where MATCHES "^(app|ui|tools|tests)(/|$)")
                message(FATAL_ERROR "core target ${core} links ${lib} of ${where}/")
            endif()
        endforeach()
    endforeach()
endfunction()
