# The file-system half of the platform layer: Windows paths of a prefix,
# folder listings, deletions inside drive_c, the launch probe, the recycle
# bin, file versions, the single-instance lock and the system folders.
add_library(kestrane_files STATIC
  ${CMAKE_CURRENT_LIST_DIR}/TextOps.h ${CMAKE_CURRENT_LIST_DIR}/TextOps.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Wildcard.h ${CMAKE_CURRENT_LIST_DIR}/Wildcard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinPath.h ${CMAKE_CURRENT_LIST_DIR}/WinPath.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileSystem.h
  ${CMAKE_CURRENT_LIST_DIR}/PrefixFileSystem.h ${CMAKE_CURRENT_LIST_DIR}/PrefixFileSystem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LaunchProbe.h ${CMAKE_CURRENT_LIST_DIR}/LaunchProbe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileVersion.h ${CMAKE_CURRENT_LIST_DIR}/FileVersion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecycleBin.h ${CMAKE_CURRENT_LIST_DIR}/RecycleBin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemFolders.h ${CMAKE_CURRENT_LIST_DIR}/SystemFolders.cpp
)
target_link_libraries(kestrane_files PUBLIC kestrane_registry)
list(APPEND KESTRANE_CORE_LIBS kestrane_files)
