# What `cmake --install` puts where, and the release packages that CPack makes
# of it (scripts/package.sh runs cpack in builds of its own):
#
# - Linux: the program in bin/, its manual page, the README, the players'
#   guide (players-guide.txt) and the licence in share/doc/korvan2a/, the
#   sample game in share/korvan2a/sample/. As a Debian
#   package (korvan2a_<version>_<arch>.deb) the licence is
#   share/doc/korvan2a/copyright, Debian's place for it, next to a change log
#   (KORVAN_DEBIAN_DOCS).
# - Windows (the MinGW-w64 cross build): one folder, korvan2a\, holding
#   korvan2a.exe, the players' guide README.txt, LICENSE.txt, SQLITE.txt (the
#   licence note of SQLite, compiled into the program) and the sample game in
#   sample\, whose sample.cmd runs the first capture when double-clicked there;
#   as a zip, korvan2a-<version>-win64.zip, which unpacks into that folder (the
#   one the README and the guide name). The text files get CR LF line ends, as
#   Windows programs expect them; the sample's files have them.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(KORVAN_PACKAGE_SUMMARY "mapping and analysis tool for players of a space-trading game")
set(KORVAN_PACKAGE_MAINTAINER "korvan2a contributors <maintainers@korvan2a.invalid>" CACHE STRING
    "The Debian package's maintainer field: a name and an e-mail address")

if(WIN32)
  # The folder is part of what is installed: CPack's top-level directory would
  # be named after the zip, version included.
  set(KORVAN_WINDOWS_FOLDER korvan2a)
  configure_file(packaging/players-guide.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${KORVAN_SQLITE_SOURCE}/licence.txt SQLITE.txt @ONLY NEWLINE_STYLE CRLF)
  install(TARGETS korvan2a RUNTIME DESTINATION ${KORVAN_WINDOWS_FOLDER})
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt
          ${CMAKE_CURRENT_BINARY_DIR}/SQLITE.txt DESTINATION ${KORVAN_WINDOWS_FOLDER})
  install(DIRECTORY examples/sample/ DESTINATION ${KORVAN_WINDOWS_FOLDER}/sample)
else()
  option(KORVAN_DEBIAN_DOCS
         "Install the documents as a Debian package has them: copyright, changelog.gz" OFF)
  install(TARGETS korvan2a RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  configure_file(packaging/korvan2a.1 korvan2a.1 @ONLY)
  execute_process(COMMAND gzip -9nf korvan2a.1 WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                  COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/korvan2a.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  configure_file(packaging/players-guide.txt players-guide.txt @ONLY)
  install(FILES README.md ${CMAKE_CURRENT_BINARY_DIR}/players-guide.txt
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  if(KORVAN_DEBIAN_DOCS)
    file(READ LICENSE KORVAN_LICENCE)
    file(CONFIGURE OUTPUT copyright @ONLY CONTENT
"korvan2a ${PROJECT_VERSION}, a ${KORVAN_PACKAGE_SUMMARY}.

License: MIT

@KORVAN_LICENCE@")
    # A native package's change log: one entry, for this version.
    string(TIMESTAMP KORVAN_RELEASE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
    file(CONFIGURE OUTPUT changelog @ONLY CONTENT
"korvan2a (${PROJECT_VERSION}) unstable; urgency=medium

  * Release ${PROJECT_VERSION}, made by scripts/package.sh.

 -- ${KORVAN_PACKAGE_MAINTAINER}  ${KORVAN_RELEASE_DATE}
")
    execute_process(COMMAND gzip -9nf changelog WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                    COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
  else()
    install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
  install(DIRECTORY examples/sample/ DESTINATION ${CMAKE_INSTALL_DATADIR}/korvan2a/sample)
endif()

set(CPACK_PACKAGE_NAME korvan2a)
set(CPACK_PACKAGE_VENDOR "korvan2a contributors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${KORVAN_PACKAGE_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION
"After each capture of the game's sector and port listings, korvan2a merges the
capture with what earlier runs learned, settles which warps are one-way and
which two-way, keeps reference copies for the next run, logs what changed since
the last run, and writes plain-text reports: the major space lane between the
special sectors, bubbles, one-way warps, port pairs, special ports, distances
and a dump of every sector; with /atlas+ also the atlas, <game>_atlas.html, a
self-contained page to explore the map in any browser; with /history+ it also
keeps the game's history, <game>_history.db, an SQLite database of every
capture. The sample game is in ${CMAKE_INSTALL_FULL_DATADIR}/korvan2a/sample.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_CURRENT_BINARY_DIR}/packages)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME korvan2a-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KORVAN_PACKAGE_MAINTAINER}")
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Depends: the C library and SQLite's, as dpkg-shlibdeps finds them; the C++
  # runtime is linked in (KORVAN_STATIC). scripts/package.sh checks that the
  # program it packs needs no other shared library.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
include(CPack)
