# Install rules and the Debian package: the three programs, the desktop entry
# and its icons, the man pages, the commented examples and the licence.
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTABELLIX_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
#   cmake --build build-release && (cd build-release && cpack -G DEB)
# (tools/package.sh does this).
install(TARGETS tabellix tabellix-batch tabellix-props RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/tabellix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icon-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tabellix.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/resources/tabellix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages carry the version and are compressed, as Debian keeps them. The
# English pages are the default; the German ones go to de/, where man finds
# them for a German locale (man -L de).
set(_man_pages)
foreach(lang en de)
  if(lang STREQUAL en)
    set(_man_src ${CMAKE_SOURCE_DIR}/packaging/man)
    set(_man_out ${CMAKE_BINARY_DIR}/man)
    set(_man_dest ${CMAKE_INSTALL_MANDIR})
  else()
    set(_man_src ${CMAKE_SOURCE_DIR}/packaging/man/${lang})
    set(_man_out ${CMAKE_BINARY_DIR}/man/${lang})
    set(_man_dest ${CMAKE_INSTALL_MANDIR}/${lang})
  endif()
  foreach(page tabellix.1 tabellix-batch.1 tabellix-props.1 ZireVuz.ini.5)
    configure_file(${_man_src}/${page} ${_man_out}/${page} @ONLY)
    add_custom_command(OUTPUT ${_man_out}/${page}.gz
                       COMMAND gzip -9nf -k ${page}
                       DEPENDS ${_man_out}/${page} WORKING_DIRECTORY ${_man_out} VERBATIM)
    list(APPEND _man_pages ${_man_out}/${page}.gz)
    string(REGEX REPLACE ".*\\.([0-9])$" "\\1" _section ${page})
    install(FILES ${_man_out}/${page}.gz DESTINATION ${_man_dest}/man${_section})
  endforeach()
endforeach()
add_custom_target(man_pages ALL DEPENDS ${_man_pages})

set(_doc ${CMAKE_INSTALL_DATADIR}/doc/tabellix)
install(FILES ${CMAKE_SOURCE_DIR}/examples/ZireVuz.ini ${CMAKE_SOURCE_DIR}/examples/ZireVuz-db.ini
        DESTINATION ${_doc}/examples)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${_doc} RENAME copyright)
# Debian wants a changelog in every package; a package without a Debian
# revision is native, and its changelog is called changelog.gz.
set(_changelog ${CMAKE_BINARY_DIR}/changelog)
file(WRITE ${_changelog}
  "tabellix (${PROJECT_VERSION}) stable; urgency=medium\n\n"
  "  * Release ${PROJECT_VERSION}.\n\n"
  " -- The Tabellix developers <dev@tabellix.example>  Mon, 07 Dec 2026 12:00:00 +0000\n")
add_custom_command(OUTPUT ${_changelog}.gz COMMAND gzip -9nf -k changelog
                   DEPENDS ${_changelog} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${_changelog}.gz)
install(FILES ${_changelog}.gz DESTINATION ${_doc})

set(CPACK_GENERATOR DEB)
# The package holds its files where the programs were built to find them
# (ExamplesFolder() names CMAKE_INSTALL_FULL_DATADIR), so its prefix is the
# build's; Debian packages use /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_NAME tabellix)
set(CPACK_PACKAGE_VENDOR "The Tabellix developers")
set(CPACK_PACKAGE_CONTACT "The Tabellix developers <dev@tabellix.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "document properties of CAD documents in a spreadsheet")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tabellix reads the document properties of a folder tree of CAD documents
(compound files with property sets) and writes one row per document into an
Excel 97-2003 workbook, with criteria, cuts, quotes and format checks per
column. In database mode the values come from each document's record in
SQLite, PostgreSQL or an ODBC source. Desktop program, batch program and an
inspection tool; everything speaks German.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-sqlite, qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqt6sql6-psql, libqt6sql6-odbc")
include(CPack)
