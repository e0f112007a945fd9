# What `cmake --install` puts in place, and the Debian package made from it
# (`cmake --build --preset default --target package`).
include(GNUInstallDirs)

install(TARGETS pdfunlock
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  BUNDLE DESTINATION .
)
# The batch from a terminal, beside the application (inside the bundle on macOS).
if(APPLE)
  install(TARGETS pdfunlock-cli RUNTIME DESTINATION pdfunlock.app/Contents/MacOS)
else()
  install(TARGETS pdfunlock-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(UNIX AND NOT APPLE)
  set(_desktop_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/linux/pdfunlock.desktop.in
    ${_desktop_dir}/${PDFUNLOCK_APP_ID}.desktop @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/linux/pdfunlock.metainfo.xml.in
    ${_desktop_dir}/${PDFUNLOCK_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${_desktop_dir}/${PDFUNLOCK_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_desktop_dir}/${PDFUNLOCK_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/linux/pdfunlock.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${PDFUNLOCK_APP_ID}.svg)
endif()

set(CPACK_PACKAGE_NAME pdfunlock)
set(CPACK_PACKAGE_VENDOR "The pdfunlock developers")
set(CPACK_PACKAGE_CONTACT "The pdfunlock developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Save an unprotected copy of a password-protected Tessivon PDF")
set(CPACK_PACKAGE_DESCRIPTION
  "Open a locked scan from Tessivon scanning software with pdfunlock (\"Open With\" in the file manager) and type the document's password once: an unprotected copy appears beside the original, which is never changed.")
# Values reach CPack as written, quotes included.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# pdfunlock_<version>_<arch>.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Dependencies come from the libraries the executable really links (dpkg-shlibdeps),
# and, named here, what Qt loads at run time: its own translations, and the
# SVG icon engine that draws the application's icon.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, libqt6svg6")
include(CPack)
