# regedit: the registry editor of a Wine prefix. The command is a library
# the tests run in-process; the executable is a thin main.
add_library(regedit_lib STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Prompter.h
  ${CMAKE_CURRENT_LIST_DIR}/TerminalPrompter.h ${CMAKE_CURRENT_LIST_DIR}/TerminalPrompter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RegeditCommand.h ${CMAKE_CURRENT_LIST_DIR}/RegeditCommand.cpp
)
target_include_directories(regedit_lib PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(regedit_lib PUBLIC kestrane_core kestrane_settings)

add_executable(regedit ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(regedit PRIVATE regedit_lib)

# With the window built, the questions are dialog windows whenever there is a display.
if(KESTRANE_BUILD_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  target_sources(regedit PRIVATE ${CMAKE_CURRENT_LIST_DIR}/DialogPrompter.h ${CMAKE_CURRENT_LIST_DIR}/DialogPrompter.cpp)
  target_link_libraries(regedit PRIVATE Qt6::Widgets)
  target_compile_definitions(regedit PRIVATE KESTRANE_REGEDIT_DIALOGS)
endif()
