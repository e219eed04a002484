# Where `cmake --install` and the Debian package put vireo: the tool in bin, the plug-in module
# and the two framework libraries it shares with the tool in lib/vireo (where the tool looks
# for its default module, whatever the prefix), the desktop entry, its icons and the man page
# under share. Every binary finds its libraries relative to itself, so the installed tree runs
# from any prefix or staging root.
include(GNUInstallDirs)
set(VIREO_INSTALL_MODULEDIR lib/vireo)

set_target_properties(vireo PROPERTIES INSTALL_RPATH "$ORIGIN/../${VIREO_INSTALL_MODULEDIR}")
set_target_properties(vireo_framework vireo_platform vireo_module PROPERTIES
  INSTALL_RPATH "$ORIGIN")

install(TARGETS vireo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS vireo_framework vireo_platform vireo_module
  LIBRARY DESTINATION ${VIREO_INSTALL_MODULEDIR})
install(FILES data/vireo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 32x32 64x64 128x128 256x256 scalable)
  file(GLOB icon data/icons/${size}/vireo.*)
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(FILES docs/vireo.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# `cpack` in the build folder makes the Debian package; its dependencies are the runtime
# packages of the libraries the binaries link, as dpkg-shlibdeps finds them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vireo)
set(CPACK_PACKAGE_VENDOR "Vireo developers")
set(CPACK_PACKAGE_CONTACT "Vireo developers <vireo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration of the two-circuit heating controller node")
set(CPACK_PACKAGE_DESCRIPTION "The configuration plug-in for the two-circuit heating controller node on
a LonWorks network, with its host tool: the configuration sheet, the
settings-file export, download and comparison, and the write history.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
include(CPack)
