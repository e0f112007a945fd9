# Manual pages, written once: help2man makes each from the program's --help
# and --version, plus the sections in packaging/man/<program>.h2m (description,
# files, exit status, examples...). Compressed as Debian packages want them.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)

# pdfunlock_add_man_page(<target>): <target>.1.gz, built with the target and
# installed into share/man/man1.
function(pdfunlock_add_man_page target)
  if(NOT HELP2MAN OR NOT GZIP)
    message(WARNING "help2man or gzip is missing (tools/install-deps.sh): no manual page for ${target}")
    return()
  endif()
  set(include ${PROJECT_SOURCE_DIR}/packaging/man/${target}.h2m)
  set(page ${CMAKE_BINARY_DIR}/man/${target}.1)
  add_custom_command(
    OUTPUT ${page} ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    # The page's date from the changelog's latest entry, not the day of the build.
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${PDFUNLOCK_RELEASE_EPOCH}
            ${HELP2MAN} --no-info --no-discard-stderr --include=${include} --output=${page}
            $<TARGET_FILE:${target}>
    COMMAND ${GZIP} -9nfk ${page}
    DEPENDS ${target} ${include}
    COMMENT "Manual page ${target}.1"
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
