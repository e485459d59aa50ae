# One place for the build settings every target of the project shares.
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_library(kestrane_settings INTERFACE)
target_compile_features(kestrane_settings INTERFACE cxx_std_20)
target_compile_options(kestrane_settings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
  -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
# GCC 12 reports false -Wrestrict overlaps inside std::string at -O3 (GCC bug 105329).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(kestrane_settings INTERFACE -Wno-restrict)
endif()
if(KESTRANE_WERROR)
  target_compile_options(kestrane_settings INTERFACE -Werror)
endif()
if(KESTRANE_SANITIZE)
  # Optimised lightly, with line tables only: it builds fast and its
  # reports name the lines.
  target_compile_options(kestrane_settings INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  if(CMAKE_BUILD_TYPE STREQUAL "RelWithDebInfo" OR CMAKE_BUILD_TYPE STREQUAL "Release")
    target_compile_options(kestrane_settings INTERFACE -O1 -g1)
  endif()
  target_link_options(kestrane_settings INTERFACE -fsanitize=address,undefined)
  # GCC 12 sees uninitialized members in std::regex's and std::function's
  # inlined code once the sanitizers instrument it: a false warning there.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(kestrane_settings INTERFACE -Wno-maybe-uninitialized)
  endif()
endif()
# The fuzzing build: every library gets libFuzzer's coverage instrumentation
# and both sanitizers; only the harnesses (fuzz/) link libFuzzer's main.
# libstdc++'s assertions catch indexing past a string's or vector's size,
# which AddressSanitizer cannot see inside the capacity.
if(KESTRANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KESTRANE_FUZZ needs clang: configure with CC=clang-14 CXX=clang++-14")
  endif()
  target_compile_options(kestrane_settings INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_definitions(kestrane_settings INTERFACE _GLIBCXX_ASSERTIONS)
  target_link_options(kestrane_settings INTERFACE -fsanitize=address,undefined)
endif()

# kestrane_add_test(NAME SOURCES... [LIBS libraries...]): a GoogleTest executable
# registered with CTest, linked with the given libraries (default: the whole core).
function(kestrane_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LIBS")
  if(NOT arg_LIBS)
    set(arg_LIBS kestrane_core)
  endif()
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${arg_LIBS} kestrane_testsupport GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()
