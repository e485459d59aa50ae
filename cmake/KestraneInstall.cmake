# What `cmake --install` puts where, and the Debian package CPack makes of it
# (`cpack -G DEB` in the build folder):
#   bin/kestrane, bin/kestrane-cli          the window and the command line
#   lib/kestrane/regedit                    the registry editor the window opens
#   share/kestrane/help/index.html          the help page
#   share/applications, share/metainfo      the desktop entry and its AppStream data
#   share/icons/hicolor                     the icon, drawn at build time
#   share/man/man1                          manual pages
#   share/bash-completion/completions       completion of kestrane-cli
# The programs look for the editor and the help at these places relative to
# their own folder, so any prefix (/usr, /usr/local, a DESTDIR) works.
include(GNUInstallDirs)

install(TARGETS kestrane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS regedit RUNTIME DESTINATION lib/kestrane)
install(FILES data/man/kestrane-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/completion/kestrane-cli DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
if(KESTRANE_BUILD_GUI)
  install(TARGETS kestrane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES docs/help/index.html DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrane/help)
  install(FILES data/${KESTRANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/${KESTRANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES data/man/kestrane.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_PACKAGE_NAME kestrane-professional)
set(CPACK_PACKAGE_VENDOR "Kestrane Professional developers")
set(CPACK_PACKAGE_CONTACT "Kestrane Professional developers <kestrane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Registry and privacy cleaner for Wine prefixes")
set(CPACK_PACKAGE_DESCRIPTION
  "Finds startup entries of programs that are gone, broken uninstall entries, dead file\n extensions and COM classes, registry values naming missing files, empty keys,\n recent-document lists and privacy traces in a Wine prefix, and deletes what you\n check. Backs up, restores and undoes; never writes while Wine runs on the prefix.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY kestrane)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine64")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "winetricks")
set(CPACK_GENERATOR DEB)
include(CPack)
