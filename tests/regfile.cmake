# .reg files and the regedit program.
kestrane_add_test(regfile_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/RegFileTest.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tools/RegeditCommandTest.cpp
)
target_link_libraries(regfile_tests PRIVATE regedit_lib)

# Interoperability with Debian's wine64: our store and regedit against Wine's
# own registry files and registry editor. Skipped (77) when Wine is missing.
add_executable(hive_tool ${CMAKE_CURRENT_SOURCE_DIR}/interop/hive_tool.cpp)
target_link_libraries(hive_tool PRIVATE kestrane_core kestrane_settings)
add_test(NAME wine_interop
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/interop/wine_interop.sh $<TARGET_FILE:regedit> $<TARGET_FILE:hive_tool>)
set_tests_properties(wine_interop PROPERTIES LABELS wine SKIP_RETURN_CODE 77 TIMEOUT 600)
