kestrane_add_test(demo_tests ${CMAKE_CURRENT_SOURCE_DIR}/platform/DemoPrefixTest.cpp)
