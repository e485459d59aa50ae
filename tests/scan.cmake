kestrane_add_test(scan_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/scan/RegistryScannersTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/scan/RegistryViewsTest.cpp
)
