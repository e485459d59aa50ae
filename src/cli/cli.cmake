# The command line: the commands in a library the tests run in-process, and
# a thin executable over it.
find_package(CLI11 REQUIRED)
find_package(nlohmann_json REQUIRED)

add_library(kestrane_cli_lib STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Cli.h ${CMAKE_CURRENT_LIST_DIR}/Cli.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Command.h
  ${CMAKE_CURRENT_LIST_DIR}/ScanCommand.h ${CMAKE_CURRENT_LIST_DIR}/ScanCommand.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Session.h ${CMAKE_CURRENT_LIST_DIR}/Session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Report.h ${CMAKE_CURRENT_LIST_DIR}/Report.cpp
)
target_link_libraries(kestrane_cli_lib PUBLIC kestrane_core CLI11::CLI11 nlohmann_json::nlohmann_json)

add_executable(kestrane-cli ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(kestrane-cli PRIVATE kestrane_cli_lib)
