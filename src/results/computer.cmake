# One run of the program: the prefix with everything the actions work on,
# and the user's settings. Shared by the window and the command line.
add_library(kestrane_computer STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Computer.h ${CMAKE_CURRENT_LIST_DIR}/Computer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Settings.h ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
)
target_link_libraries(kestrane_computer PUBLIC kestrane_scan kestrane_results kestrane_demo kestrane_files kestrane_registry)
list(APPEND KESTRANE_CORE_LIBS kestrane_computer)
