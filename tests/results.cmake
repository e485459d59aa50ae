# The main window's logic and the command line, without a display.
kestrane_add_test(results_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/results/ModelFixture.h
  ${CMAKE_CURRENT_SOURCE_DIR}/results/SummaryListsTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/results/DriversTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/results/ViewsTest.cpp
)

kestrane_add_test(cli_tests ${CMAKE_CURRENT_SOURCE_DIR}/cli/CliTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/cli/EndToEndTest.cpp)
target_link_libraries(cli_tests PRIVATE kestrane_cli_lib)
# The JSON report is checked against its schema with valijson (libvalijson-dev).
find_package(valijson REQUIRED)
target_link_libraries(cli_tests PRIVATE valijson)
target_compile_definitions(cli_tests PRIVATE KESTRANE_HAVE_VALIJSON)
