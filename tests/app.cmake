# The window, driven for real with Qt Test on the offscreen platform (only
# when the window is built).
if(NOT KESTRANE_BUILD_GUI)
  return()
endif()
find_package(Qt6 REQUIRED COMPONENTS Test)

# kestrane_add_window_test(NAME SOURCES...): a Qt Test executable over the
# window library, run with QT_QPA_PLATFORM=offscreen.
function(kestrane_add_window_test name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app)
  target_link_libraries(${name} PRIVATE kestrane_gui kestrane_testsupport Qt6::Test)
  target_compile_definitions(${name} PRIVATE KESTRANE_EXE="$<TARGET_FILE:kestrane>")
  add_dependencies(${name} kestrane)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 300)
endfunction()

kestrane_add_window_test(app_startup_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/app/WindowFixture.h ${CMAKE_CURRENT_SOURCE_DIR}/app/StartupTest.cpp)
kestrane_add_window_test(app_navigation_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/app/WindowFixture.h ${CMAKE_CURRENT_SOURCE_DIR}/app/NavigationTest.cpp)
kestrane_add_window_test(app_settings_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/app/WindowFixture.h ${CMAKE_CURRENT_SOURCE_DIR}/app/SettingsTest.cpp)

# The owner-drawn controls on their own.
add_executable(app_controls_tests ${CMAKE_CURRENT_SOURCE_DIR}/app/ControlsTest.cpp)
set_target_properties(app_controls_tests PROPERTIES AUTOMOC ON)
target_link_libraries(app_controls_tests PRIVATE kestrane_controls Qt6::Test)
add_test(NAME app_controls_tests COMMAND app_controls_tests)
set_tests_properties(app_controls_tests PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
