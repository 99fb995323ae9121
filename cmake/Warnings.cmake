# Warnings are on everywhere; CI turns them into errors (PELORANT_WERROR=ON).
option(PELORANT_WERROR "Treat warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
if(PELORANT_WERROR)
    add_compile_options(-Werror)
endif()
