# PELORANT_SANITIZE=address runs ASan+UBSan, =thread runs TSan; empty builds without.
set(PELORANT_SANITIZE "" CACHE STRING "Sanitizer build: address or thread")
if(PELORANT_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
elseif(PELORANT_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT PELORANT_SANITIZE STREQUAL "")
    message(FATAL_ERROR "PELORANT_SANITIZE must be empty, address or thread")
endif()
