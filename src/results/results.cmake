# The main window's logic without widgets: result lists, summary lists,
# badges, view patterns, the complete scan and repair all.
add_library(kestrane_results STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Category.h
  ${CMAKE_CURRENT_LIST_DIR}/Badge.h ${CMAKE_CURRENT_LIST_DIR}/Badge.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Frontend.h
  ${CMAKE_CURRENT_LIST_DIR}/SummaryRows.h
  ${CMAKE_CURRENT_LIST_DIR}/MainWindowModel.h ${CMAKE_CURRENT_LIST_DIR}/MainWindowModel.cpp
)
target_link_libraries(kestrane_results PUBLIC kestrane_registry kestrane_files)
list(APPEND KESTRANE_CORE_LIBS kestrane_results)
