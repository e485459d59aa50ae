# The demo prefix generator (--demo): standard C++ only, on the registry store.
add_library(kestrane_demo STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DemoPrefix.h ${CMAKE_CURRENT_LIST_DIR}/DemoPrefix.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo/DemoLayout.h
  ${CMAKE_CURRENT_LIST_DIR}/demo/DemoRegistry.h ${CMAKE_CURRENT_LIST_DIR}/demo/DemoRegistry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo/DemoFiles.h ${CMAKE_CURRENT_LIST_DIR}/demo/DemoFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo/RegistrySeeder.h ${CMAKE_CURRENT_LIST_DIR}/demo/RegistrySeeder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo/FileSeeder.h ${CMAKE_CURRENT_LIST_DIR}/demo/FileSeeder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo/PeImage.h ${CMAKE_CURRENT_LIST_DIR}/demo/PeImage.cpp
)
target_link_libraries(kestrane_demo PUBLIC kestrane_registry)
list(APPEND KESTRANE_CORE_LIBS kestrane_demo)
