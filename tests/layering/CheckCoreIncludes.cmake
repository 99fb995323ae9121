cmake_minimum_required(VERSION 3.25)

# Fails when a core module includes a header of a module it must not use, includes Qt or
# reaches the application object through theApp().
# Usage: cmake -DSOURCE_DIR=<tree> -P CheckCoreIncludes.cmake

set(allowed_serial common serial)
set(allowed_device common device)
set(allowed_image common device image)
set(allowed_catalogue common device catalogue)
set(allowed_protocol common serial device image catalogue protocol)
set(allowed_control common serial device image catalogue protocol control)

set(faults "")
foreach(module serial device image catalogue protocol control)
    file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${module}/*.h
         ${SOURCE_DIR}/${module}/*.cpp)
    foreach(file IN LISTS files)
        file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
        foreach(line IN LISTS includes)
            if(line MATCHES "[<\"]Q[A-Za-z]*[>/]")
                list(APPEND faults "${file}: Qt header: ${line}")
            elseif(line MATCHES "\"([A-Za-z_]+)/" AND NOT CMAKE_MATCH_1 IN_LIST allowed_${module})
                list(APPEND faults "${file}: ${module}/ must not use ${CMAKE_MATCH_1}/: ${line}")
            endif()
        endforeach()
        file(STRINGS ${SOURCE_DIR}/${file} globals REGEX "theApp")
        if(globals)
            list(APPEND faults "${file}: reaches the application object through theApp()")
        endif()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n" text)
    message(FATAL_ERROR "${text}")
endif()
message(STATUS "the core's includes point one way")
