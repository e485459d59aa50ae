# The scanners: each category's scan and repair actions and its table row.
add_library(kestrane_scan STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Categories.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowRepair.h ${CMAKE_CURRENT_LIST_DIR}/RowRepair.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry/IgnoreLists.h ${CMAKE_CURRENT_LIST_DIR}/registry/IgnoreLists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry/RegistryScanners.h ${CMAKE_CURRENT_LIST_DIR}/registry/RegistryScanners.cpp
)
target_link_libraries(kestrane_scan PUBLIC kestrane_results kestrane_files kestrane_registry)
list(APPEND KESTRANE_CORE_LIBS kestrane_scan)
