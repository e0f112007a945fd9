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

set(PDFUNLOCK_CONTACT "pdfunlock developers <pdfunlock@users.noreply.github.com>")

if(UNIX AND NOT APPLE)
  set(_desktop_dir ${CMAKE_CURRENT_BINARY_DIR}/packaging)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/linux/pdfunlock.desktop.in
    ${_desktop_dir}/${PDFUNLOCK_APP_ID}.desktop @ONLY)
  # The window for several documents: an entry of its own under Open With. Its
  # id sorts after the first one's, so that desktops choosing by id never take
  # it where they would not take the first.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/linux/pdfunlock-batch.desktop.in
    ${_desktop_dir}/${PDFUNLOCK_APP_ID}.several.desktop @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/linux/pdfunlock.metainfo.xml.in
    ${_desktop_dir}/${PDFUNLOCK_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${_desktop_dir}/${PDFUNLOCK_APP_ID}.desktop
    ${_desktop_dir}/${PDFUNLOCK_APP_ID}.several.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_desktop_dir}/${PDFUNLOCK_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/linux/pdfunlock.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${PDFUNLOCK_APP_ID}.svg)

  # The watch over a folder as a service of the user's (pdfunlock-cli --watch);
  # systemd finds the command in /usr/bin or /usr/local/bin.
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/systemd/pdfunlock-watch@.service
    DESTINATION lib/systemd/user)

  # The changelog names the version being packaged and dates the release.
  set(_changelog ${CMAKE_CURRENT_LIST_DIR}/debian/changelog)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_changelog})
  find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
  if(DPKG_PARSECHANGELOG)
    execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${_changelog} -S Version
      OUTPUT_VARIABLE _changelog_version OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    if(NOT _changelog_version STREQUAL PROJECT_VERSION)
      message(FATAL_ERROR "packaging/debian/changelog's latest entry is ${_changelog_version}, "
        "the project's version ${PROJECT_VERSION}: add an entry for it")
    endif()
    execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${_changelog} -S Timestamp
      OUTPUT_VARIABLE PDFUNLOCK_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  endif()

  # Debian's documentation files: the copyright as it is, the changelog compressed.
  set(_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/pdfunlock)
  set(_changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
  add_custom_command(OUTPUT ${_changelog_gz}
    COMMAND gzip -9nc ${_changelog} > ${_changelog_gz}
    DEPENDS ${_changelog}
    COMMENT "Compressing the changelog")
  add_custom_target(pdfunlock_changelog ALL DEPENDS ${_changelog_gz})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${_changelog_gz} DESTINATION ${_doc_dir})
  # Recipes to copy from: a document-management system's pre-consume hook.
  install(PROGRAMS ${CMAKE_CURRENT_LIST_DIR}/examples/pdfunlock-pre-consume
    DESTINATION ${_doc_dir}/examples)

  include(${CMAKE_CURRENT_LIST_DIR}/ManPage.cmake)
  pdfunlock_add_man_page(pdfunlock)
  pdfunlock_add_man_page(pdfunlock-cli)
endif()

set(CPACK_PACKAGE_NAME pdfunlock)
set(CPACK_PACKAGE_VENDOR "The pdfunlock developers")
set(CPACK_PACKAGE_CONTACT "${PDFUNLOCK_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "save an unprotected copy of a password-protected Tessivon PDF")
# Lines of at most 79 characters, as Debian's tools show them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Open a locked scan from Tessivon scanning software with pdfunlock (\"Open With\""
  "in the file manager) and type the document's password once: an unprotected"
  "copy appears beside the original, which is never changed.")
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
