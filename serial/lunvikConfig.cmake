# find_package(lunvik): the imported target lunvik::lunvik.
include(${CMAKE_CURRENT_LIST_DIR}/lunvikTargets.cmake)
